#pragma once

#include <QWidget>

// A panel holding one of each skin widget in its interesting states (hovered, pressed,
// selected rows, checked items), for rendering to a picture.
class WidgetSheet : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetSheet(QWidget* parent = nullptr);
};
