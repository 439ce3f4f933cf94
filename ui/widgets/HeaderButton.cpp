#include "HeaderButton.h"

HeaderButton::HeaderButton(QWidget* parent)
    : QPushButton(parent)
{
    setFixedSize(32, 33);
}

void HeaderButton::enterEvent(QEnterEvent* event)
{
    setCursor(Qt::ArrowCursor);
    QPushButton::enterEvent(event);
}
