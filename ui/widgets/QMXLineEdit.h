#pragma once

#include <QLineEdit>

// The skin's line edit: the style sheet draws its focus border, so the platform focus
// rectangle is turned off, and the standard context menu (which ignores the skin) too.
class QMXLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit QMXLineEdit(QWidget* parent = nullptr);
    explicit QMXLineEdit(const QString& text, QWidget* parent = nullptr);

private:
    void applySkinSettings();
};
