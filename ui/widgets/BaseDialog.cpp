#include "BaseDialog.h"

#include <QFrame>
#include <QResizeEvent>

namespace {
QFrame* borderPiece(const char* image, const char* name, QWidget* parent)
{
    auto* piece = new QFrame(parent);
    piece->setObjectName(QString::fromLatin1(name));
    piece->setStyleSheet(QStringLiteral("border-image:url(:/skin/%1);").arg(QString::fromLatin1(image)));
    return piece;
}

// Rectangles are given by their inclusive corners, as the border artwork is cut.
QRect corners(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
} // namespace

BaseDialog::BaseDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , m_content(new QWidget(this))
    , m_top(borderPiece("top_mid.png", "borderTop", this))
    , m_bottom(borderPiece("bottom_mid.png", "borderBottom", this))
    , m_left(borderPiece("left_mid.png", "borderLeft", this))
    , m_right(borderPiece("right_mid.png", "borderRight", this))
    , m_topLeft(borderPiece("left_top.png", "borderTopLeft", this))
    , m_topRight(borderPiece("right_top.png", "borderTopRight", this))
    , m_bottomLeft(borderPiece("left_bottom.png", "borderBottomLeft", this))
    , m_bottomRight(borderPiece("right_bottom.png", "borderBottomRight", this))
{
    m_content->setObjectName(QStringLiteral("contentWidget"));
    m_content->setStyleSheet(QStringLiteral(" .QWidget { background-color: rgb(0, 0, 0); }"));
    m_content->lower();
    setAttribute(Qt::WA_TranslucentBackground);
}

QWidget* BaseDialog::contentWidget() const
{
    return m_content;
}

void BaseDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_content->setGeometry(corners(2, 2, w - 3, h - 1));
    m_top->setGeometry(corners(7, 0, w - 8, 1));
    m_bottom->setGeometry(corners(3, h - 2, w - 4, h - 1));
    m_left->setGeometry(corners(0, 7, 1, h - 4));
    m_right->setGeometry(corners(w - 2, 7, w - 1, h - 4));
    m_topLeft->setGeometry(corners(0, 0, 6, 6));
    m_topRight->setGeometry(corners(w - 7, 0, w - 1, 6));
    m_bottomLeft->setGeometry(corners(0, h - 3, 2, h - 1));
    m_bottomRight->setGeometry(corners(w - 3, h - 3, w - 1, h - 1));
}
