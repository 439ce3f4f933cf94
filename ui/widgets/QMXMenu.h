#pragma once

#include <QMenu>

// A menu without the window frame and with a translucent background, so the style
// sheet alone decides its outline (rounded or shaped menus).
class QMXMenu : public QMenu
{
    Q_OBJECT

public:
    explicit QMXMenu(QWidget* parent = nullptr);
    explicit QMXMenu(const QString& title, QWidget* parent = nullptr);

private:
    void applySkinSettings();
};
