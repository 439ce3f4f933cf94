#include "QMXButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

QMXButton::QMXButton(QWidget* parent)
    : QPushButton(parent)
{}

QMXButton::QMXButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{}

void QMXButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButton, option);
}
