#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <functional>

// Painting callback for one state cell; the painter works in output-pixel units with the cell's
// top-left at (0, 0), whatever the supersampling factor.
using CellPainter = std::function<void(QPainter& painter, int state, const QRectF& cell)>;

// The states of a strip, in the order the style sheet slices them.
enum StripState
{
    Normal = 0,
    Hover = 1,
    Pressed = 2,
    Disabled = 3
};

// Renders `states` cells of cellWidth x height side by side. Painting happens at four times the
// size and is box-filtered down, so edges on whole pixels stay crisp and curves come out smooth.
QImage renderStrip(int cellWidth, int height, int states, const CellPainter& paint);

// A single-state image.
QImage renderImage(int width, int height, const std::function<void(QPainter&, const QRectF&)>& paint);

// Puts images side by side (all of the same height).
QImage joinStrip(const std::initializer_list<QImage>& cells);

// Strokes an open polyline with round joins: the chevrons, check marks and crosses of the glyphs.
void strokePolyline(QPainter& painter,
                    std::initializer_list<QPointF> points,
                    const QColor& colour,
                    qreal width,
                    Qt::PenCapStyle cap = Qt::RoundCap);
