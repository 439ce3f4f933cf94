#include "CustomDialog.h"

#include "FrameGeometry.h"
#include "QMXButton.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace {
QRect corners(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
} // namespace

CustomDialog::CustomDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags | Qt::FramelessWindowHint)
    , m_titleBar(new QFrame(this))
    , m_titleLabel(new QLabel(QStringLiteral("KORA-7000"), this))
    , m_closeButton(new QMXButton(this))
    , m_bottomBar(new QFrame(this))
{
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_bottomBar->setObjectName(QStringLiteral("bottomBar"));
    m_titleLabel->setAlignment(Qt::AlignCenter);
    // The close button sits on the title label; it must stay above it.
    m_closeButton->raise();
    setMinimumSize(350, 200);

    setStyleSheet(QStringLiteral("CustomDialog{ border: 1px solid rgb(149, 149, 149);  background: rgb(23, 24, 28);}"));
    m_titleBar->setStyleSheet(QStringLiteral("QFrame{ background: rgb(46, 46, 46);}"));
    m_titleLabel->setStyleSheet(
        QStringLiteral("QLabel { font:  15px; border: 0px; background: transparent; color: rgb(232, 232, 232);}"));
    m_bottomBar->setStyleSheet(QStringLiteral("QFrame { background-color: rgb( 28, 28, 28); } "));
    m_closeButton->setStyleSheet(QStringLiteral(
        "QMXButton{border-image: url(:/skin/close.png) 0 44 0 0;}"
        "                               QMXButton:hover{border-image: url(:/skin/close.png) 0 22 0 22;}"
        "                               QMXButton:pressed{border-image: url(:/skin/close.png) 0 0 0 44;}"));
    connect(m_closeButton, &QAbstractButton::clicked, this, &QWidget::close);
}

void CustomDialog::setTitle(const QString& text)
{
    m_titleLabel->setText(text);
}

QString CustomDialog::title() const
{
    return m_titleLabel->text();
}

void CustomDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_titleBar->setGeometry(corners(1, 1, w - 2, 28));
    m_titleLabel->setGeometry(corners(1, 1, w - 2, 28));
    m_closeButton->setGeometry(corners(w - 22, 3, w - 1, 24));
    m_bottomBar->setGeometry(corners(1, h - 29, w - 2, h - 2));
}

void CustomDialog::mousePressEvent(QMouseEvent* event)
{
    if (FrameGeometry::startsTitleDrag(event->button(), event->position().toPoint())) {
        const QPoint offset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        m_dragX = offset.x();
        m_dragY = offset.y();
        m_dragging = true;
        event->accept();
    }
    QDialog::mousePressEvent(event);
}

void CustomDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton && m_dragging) {
        move(event->globalPosition().toPoint() - QPoint(m_dragX, m_dragY));
        event->accept();
    }
    QDialog::mouseMoveEvent(event);
}

void CustomDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
