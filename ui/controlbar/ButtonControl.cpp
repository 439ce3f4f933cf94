#include "ButtonControl.h"

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
    setStyleSheet(QStringLiteral("ButtonControl { background-color: rgb(43,44,49); border: 1px solid rgb(78,83,90); "
                                 "border-left: none; border-right: none;}"));
    // The header is read as the section's name; the arrow is decoration.
    setAccessibleName(caption);
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
    setStyleSheet(QString::fromLatin1(kPressedStyle));
}

void ButtonControl::mouseReleaseEvent(QMouseEvent* event)
{
    QMXLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    m_expanded = !m_expanded;
    setArrowPath(m_expanded);
    showArrowFrame(kMiddleFrame);
    setStyleSheet(QString::fromLatin1(kReleasedStyle));
    emit clicked(m_expanded);
}

void ButtonControl::enterEvent(QEnterEvent* event)
{
    QMXLabel::enterEvent(event);
    showArrowFrame(kMiddleFrame);
    setStyleSheet(QString::fromLatin1(kHoverStyle));
}

void ButtonControl::leaveEvent(QEvent* event)
{
    QMXLabel::leaveEvent(event);
    showArrowFrame(kFirstFrame);
    setStyleSheet(QString::fromLatin1(kRestStyle));
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
