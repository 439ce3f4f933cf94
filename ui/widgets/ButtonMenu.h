#pragma once

#include "QMXMenu.h"

// A menu popped from a push button; a class of its own so the style sheet can tell it apart.
class ButtonMenu : public QMXMenu
{
    Q_OBJECT

public:
    explicit ButtonMenu(QWidget* parent = nullptr)
        : QMXMenu(parent)
    {}
};
