#include "ButtonControl.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

const char* const kFirstFrame = "0 22 0 0";
const char* const kMiddleFrame = "0 11 0 11";
const char* const kLastFrame = "0 0 0 22";

// The texts differ only in spacing between states; kept as the skin has them.
const char* const kRestStyle = "ButtonControl { background-color: rgb(43,44,49); border: 1px solid rgb(78,83,90); "
                               "border-left: none;border-right: none;}";
const char* const kHoverStyle = "ButtonControl { background-color: rgb(75,80,84); border: 1px solid rgb(78,83,90); "
                                "border-left: none;border-right: none;}";
const char* const kPressedStyle = "ButtonControl { background-color: rgb(37,38,44);border: 1px solid rgb(78,83,90); "
                                  "border-left: none;border-right: none; }";
// Reached with Tab, the header shows the focus in the accent colour used by every control.
const char* const kFocusStyle = "ButtonControl:focus { border: 1px solid rgb(56,145,180); }";
const char* const kReleasedStyle = "ButtonControl { background-color: rgb(75,80,84);border: 1px solid rgb(78,83,90); "
                                   "border-left: none; border-right: none;}";

} // namespace

ButtonControl::ButtonControl(const QString& caption, QWidget* parent)
    : QMXLabel(parent)
    , m_caption(nullptr)
    , m_arrow(nullptr)
    , m_arrowPath(QStringLiteral(":/skin/collapse.png"))
    , m_expanded(true)
{
    m_caption = new QMXLabel(caption, this);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setStyleSheet(QStringLiteral("QMXLabel { font: 15px; color: rgb(205,205,205);} "));
    m_arrow = new QMXLabel(this);
    m_arrow->setObjectName(QStringLiteral("arrow"));
    showArrowFrame(kFirstFrame);
    applyStyle(kRestStyle);
    // The header is read as the section's name; the arrow is decoration. It takes the focus
    // from the keyboard only, so a click leaves no focus mark behind.
    setAccessibleName(caption);
    setFocusPolicy(Qt::TabFocus);
}

void ButtonControl::applyStyle(const char* style)
{
    setStyleSheet(QString::fromLatin1(style) + QLatin1Char(' ') + QString::fromLatin1(kFocusStyle));
}

void ButtonControl::setExpanded(bool expanded)
{
    m_expanded = expanded;
    setArrowPath(expanded);
    showArrowFrame(kMiddleFrame);
}

bool ButtonControl::isExpanded() const
{
    return m_expanded;
}

void ButtonControl::mousePressEvent(QMouseEvent* event)
{
    QMXLabel::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    showArrowFrame(kLastFrame);
    applyStyle(kPressedStyle);
}

void ButtonControl::mouseReleaseEvent(QMouseEvent* event)
{
    QMXLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    toggle(kReleasedStyle);
}

void ButtonControl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            toggle(underMouse() ? kHoverStyle : kRestStyle);
        }
        event->accept();
        return;
    default:
        QMXLabel::keyPressEvent(event);
        return;
    }
}

void ButtonControl::toggle(const char* style)
{
    m_expanded = !m_expanded;
    setArrowPath(m_expanded);
    showArrowFrame(kMiddleFrame);
    applyStyle(style);
    emit clicked(m_expanded);
}

void ButtonControl::enterEvent(QEnterEvent* event)
{
    QMXLabel::enterEvent(event);
    showArrowFrame(kMiddleFrame);
    applyStyle(kHoverStyle);
}

void ButtonControl::leaveEvent(QEvent* event)
{
    QMXLabel::leaveEvent(event);
    showArrowFrame(kFirstFrame);
    applyStyle(kRestStyle);
}

void ButtonControl::resizeEvent(QResizeEvent* event)
{
    QMXLabel::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_caption->setGeometry(17, 0, w - 47, h);
    m_arrow->setGeometry(w - 30, (h - 8) / 2 + 2, 11, 8);
}

void ButtonControl::showArrowFrame(const char* slice)
{
    m_arrow->setStyleSheet(
        QStringLiteral("QMXLabel { border-image: url(%1) %2; }").arg(m_arrowPath, QString::fromLatin1(slice)));
}

void ButtonControl::setArrowPath(bool expanded)
{
    m_arrowPath = expanded ? QStringLiteral(":/skin/collapse.png") : QStringLiteral(":/skin/expand.png");
}
