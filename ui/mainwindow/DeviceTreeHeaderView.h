#pragma once

#include "CheckBoxHeaderView.h"

#include <QMap>

class QAction;
class QMXMenu;

// The device list's header: movable columns, a column menu on right click (the last visible
// column cannot be hidden), sorting only by a press on a sortable column, and the filter
// button of the section under the mouse.
class DeviceTreeHeaderView : public CheckBoxHeaderView
{
    Q_OBJECT

public:
    explicit DeviceTreeHeaderView(QWidget* parent = nullptr);

    // Adds one checkable column-menu entry per column; call once the columns exist.
    void buildColumnMenu();
    QMXMenu* columnMenu() const;
    // Whether a press on this column sorts the list.
    static bool isSortableColumn(int column);
    // The section whose filter is on (-1: none): its widget stays shown wherever the mouse is.
    void setActiveFilterSection(int section);
    int activeFilterSection() const;

public slots:
    void slot_hide(int col);
    void slot_show(int col);
    void slot_sectionMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex);
    void slot_columnMenuTriggered(QAction* action);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Reached with Tab: Space, Enter and Shift+F10 open the column menu (so does the menu key).
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // While the keyboard focus is on the header or one of its filter buttons, every button
    // shows, so that Tab can reach them.
    void slot_focusChanged(QWidget* old, QWidget* now);
    void openColumnMenuFromKeyboard();
    void showOnlySectionWidget(int section);
    void nudgeRepaint();
    QRect sectionRect(int section) const;
    bool inGripMargin(int section, int x) const;

    bool m_menuOpen = false;
    int m_activeFilterSection = -1;
    bool m_keyboardInside = false;
    QMXMenu* m_columnMenu;
    QMap<int, QAction*> m_columnActions;
};
