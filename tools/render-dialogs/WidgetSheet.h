#pragma once

#include <QWidget>

// A panel holding one of each skin widget in its interesting states (hovered, pressed,
// selected rows, checked items), for rendering to a picture.
class WidgetSheet : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetSheet(QWidget* parent = nullptr);

    // Shows the list row under a (simulated) mouse pointer, as the hover images draw it.
    void hoverRow(int row);

private:
    class VistaTreeWidget* m_tree;
};
