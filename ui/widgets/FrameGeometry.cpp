#include "FrameGeometry.h"

namespace FrameGeometry {

EdgeHitTest hitTest(const QRect& frame, const QPoint& point, int margin)
{
    const int x = point.x();
    const int y = point.y();
    EdgeHitTest hit;
    hit.onLeft = x >= frame.left() && x <= frame.left() + margin;
    hit.onRight = x >= frame.right() - margin + 1 && x <= frame.right() + 1;
    hit.onTop = y >= frame.top() && y <= frame.top() + margin;
    hit.onBottom = y >= frame.bottom() - margin + 1 && y <= frame.bottom() + 1;
    hit.onTopLeft = hit.onTop && hit.onLeft;
    hit.onBottomLeft = hit.onBottom && hit.onLeft;
    hit.onTopRight = hit.onTop && hit.onRight;
    hit.onBottomRight = hit.onBottom && hit.onRight;
    hit.onEdges = hit.onLeft || hit.onRight || hit.onTop || hit.onBottom;
    return hit;
}

QRect resized(const QRect& start, const EdgeHitTest& press, const QPoint& point, const QSize& minimum)
{
    QRect rect = start;
    if (press.onTopLeft) {
        rect.setTopLeft(point);
    } else if (press.onBottomLeft) {
        rect.setBottomLeft(point);
    } else if (press.onTopRight) {
        rect.setTopRight(point);
    } else if (press.onBottomRight) {
        rect.setBottomRight(point);
    } else if (press.onLeft) {
        rect.setLeft(point.x());
    } else if (press.onRight) {
        rect.setRight(point.x());
    } else if (press.onTop) {
        rect.setTop(point.y());
    } else if (press.onBottom) {
        rect.setBottom(point.y());
    }
    if (rect.right() < rect.left() || rect.bottom() < rect.top()) {
        return start;
    }
    if (rect.width() < minimum.width()) {
        if (rect.left() == start.left()) {
            rect.setRight(start.right());
        } else {
            rect.setLeft(start.left());
        }
    }
    if (rect.height() < minimum.height()) {
        if (rect.top() == start.top()) {
            rect.setBottom(start.bottom());
        } else {
            rect.setTop(start.top());
        }
    }
    return rect;
}

bool inMoveBand(const QSize& widgetSize, const QPoint& point)
{
    return QRect(QPoint(5, 5), QPoint(widgetSize.width() - 6, 54)).contains(point);
}

bool startsTitleDrag(Qt::MouseButton button, const QPoint& point)
{
    return button == Qt::LeftButton && point.y() < kTitleBarHeight;
}

Qt::CursorShape cursorFor(const EdgeHitTest& hit)
{
    if (hit.onTopLeft || hit.onBottomRight) {
        return Qt::SizeFDiagCursor;
    }
    if (hit.onTopRight || hit.onBottomLeft) {
        return Qt::SizeBDiagCursor;
    }
    if (hit.onLeft || hit.onRight) {
        return Qt::SizeHorCursor;
    }
    if (hit.onTop || hit.onBottom) {
        return Qt::SizeVerCursor;
    }
    return Qt::ArrowCursor;
}

bool geometryLocked(Qt::WindowStates states)
{
    return states.testFlag(Qt::WindowMaximized) || states.testFlag(Qt::WindowFullScreen);
}

} // namespace FrameGeometry
