#pragma once

#include <QPushButton>

// The filter button inside a list header section. The header shows resize cursors near
// section edges; the arrow cursor on entry keeps them from sticking over the button.
class HeaderButton : public QPushButton
{
    Q_OBJECT

public:
    explicit HeaderButton(QWidget* parent = nullptr);

    // Marks the button while the filter behind it is on (the style sheet's [filterActive]
    // look), and says so to a screen reader.
    void setFilterActive(bool active);
    bool isFilterActive() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    // Space, Enter, Down, F4 and Shift+F10 open the filter; so does the menu key.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The keyboard focus shows as a thin accent frame.
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_filterActive = false;
};
