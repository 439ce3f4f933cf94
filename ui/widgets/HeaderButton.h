#pragma once

#include <QPushButton>

// The filter button inside a list header section. The header shows resize cursors near
// section edges; the arrow cursor on entry keeps them from sticking over the button.
class HeaderButton : public QPushButton
{
    Q_OBJECT

public:
    explicit HeaderButton(QWidget* parent = nullptr);

protected:
    void enterEvent(QEnterEvent* event) override;
};
