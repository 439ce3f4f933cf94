#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

// Which edges of a frameless window a point lies on.
struct EdgeHitTest
{
    bool onEdges = false;
    bool onLeft = false;
    bool onRight = false;
    bool onTop = false;
    bool onBottom = false;
    bool onTopLeft = false;
    bool onBottomLeft = false;
    bool onTopRight = false;
    bool onBottomRight = false;
};

// The geometry rules of the frameless frames, kept free of widgets so they can be checked
// on their own.
namespace FrameGeometry {

// Height of a dialog's title bar: presses above it start a drag.
constexpr int kTitleBarHeight = 28;

// Hit test of a global point against a frame rectangle, with a margin in pixels.
EdgeHitTest hitTest(const QRect& frame, const QPoint& point, int margin);

// The rectangle after dragging the edges that `press` hit to `point`. An inverted result
// leaves `start` unchanged; a result below the minimum width (height) keeps the edge that
// did not move and puts the moved one back.
QRect resized(const QRect& start, const EdgeHitTest& press, const QPoint& point, const QSize& minimum);

// The band (widget coordinates) by which a frameless main window is moved.
bool inMoveBand(const QSize& widgetSize, const QPoint& point);

// A dialog's title bar drag starts only for a left press above the bottom bar line.
bool startsTitleDrag(Qt::MouseButton button, const QPoint& point);

// The size cursor for a hover hit test; Qt::ArrowCursor means "no override".
Qt::CursorShape cursorFor(const EdgeHitTest& hit);

// Maximised and full-screen windows keep their geometry: no size cursors, no move or resize.
bool geometryLocked(Qt::WindowStates states);

} // namespace FrameGeometry
