#pragma once

#include <QPushButton>

class QMXMenu;

// A split button: a click on the text emits clicked(); only a press on the drop-down
// arrow at the right end opens the menu.
class ToolButton : public QPushButton
{
    Q_OBJECT

public:
    ToolButton(const QString& text, bool withMenu, QWidget* parent = nullptr);

    // The menu that the arrow opens; null for a button built without one.
    QMXMenu* toolMenu() const;
    bool isInArrowZone(const QPoint& point) const;

    static constexpr int kArrowZoneWidth = 23;

    // Opens the menu under the arrow, as a press on the arrow does.
    void openMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Down, Alt+Down, F4 and Shift+F10 open the menu; Enter clicks like Space.
    void keyPressEvent(QKeyEvent* event) override;
    // The menu key opens the menu too.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_withMenu;
    bool m_arrowPressed = false;
    QMXMenu* m_menu = nullptr;
};
