#include "Art.h"
#include "Canvas.h"
#include "Palette.h"

#include <QPainterPath>

namespace {
// A two-pixel edge: a light outer line over a dark inner one, so the window reads as a raised
// plate on any desktop. `outerFirst` says whether the outer line is the first row/column.
QImage straightEdge(int width, int height, bool vertical, bool outerFirst)
{
    return renderImage(width, height, [&](QPainter& painter, const QRectF& cell) {
        const QRectF first = vertical ? QRectF(0, 0, 1, cell.height()) : QRectF(0, 0, cell.width(), 1);
        const QRectF second = vertical ? QRectF(1, 0, 1, cell.height()) : QRectF(0, 1, cell.width(), 1);
        painter.fillRect(outerFirst ? first : second, Palette::frameOuter);
        painter.fillRect(outerFirst ? second : first, Palette::frameInner);
    });
}

// A rounded corner: rings of the edge colours around the black window body. `centre` is the
// arc centre in the piece's own coordinates, `radius` the outer radius.
QImage roundCorner(int size, QPointF centre, qreal radius)
{
    return renderImage(size, size, [&](QPainter& painter, const QRectF&) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::frameOuter);
        painter.drawEllipse(centre, radius, radius);
        painter.setBrush(Palette::frameInner);
        painter.drawEllipse(centre, radius - 1, radius - 1);
        painter.setBrush(Qt::black);
        painter.drawEllipse(centre, radius - 2, radius - 2);
    });
}

void titleGlyph(QPainter& painter, const QString& which, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    if (which == QLatin1String("close")) {
        strokePolyline(painter, {{6.5, 6.5}, {15.5, 15.5}}, colour, 1.4, Qt::FlatCap);
        strokePolyline(painter, {{15.5, 6.5}, {6.5, 15.5}}, colour, 1.4, Qt::FlatCap);
    } else if (which == QLatin1String("min")) {
        painter.drawRect(QRectF(6, 14, 10, 1.5));
    } else if (which == QLatin1String("max")) {
        QPainterPath frame;
        frame.addRect(QRectF(6, 6, 10, 10));
        frame.addRect(QRectF(7, 8, 8, 7));
        painter.drawPath(frame);
    } else {
        // Restore: a front window overlapping a back one.
        QPainterPath back;
        back.addRect(QRectF(8, 5, 9, 9));
        back.addRect(QRectF(9, 7, 7, 6));
        QPainterPath front;
        front.addRect(QRectF(5, 8, 9, 9));
        QPainterPath frontHole;
        frontHole.addRect(QRectF(6, 10, 7, 6));
        painter.drawPath(back.subtracted(front));
        painter.drawPath(front.subtracted(frontHole));
    }
}
} // namespace

QImage Art::borderEdge(const QString& which)
{
    if (which == QLatin1String("top_mid")) {
        return straightEdge(7, 2, false, true);
    }
    if (which == QLatin1String("bottom_mid")) {
        return straightEdge(7, 2, false, false);
    }
    if (which == QLatin1String("left_mid")) {
        return straightEdge(2, 7, true, true);
    }
    if (which == QLatin1String("right_mid")) {
        return straightEdge(2, 8, true, false);
    }
    if (which == QLatin1String("left_top")) {
        return roundCorner(7, QPointF(7, 7), 7);
    }
    if (which == QLatin1String("right_top")) {
        return roundCorner(7, QPointF(0, 7), 7);
    }
    if (which == QLatin1String("left_bottom")) {
        return roundCorner(3, QPointF(3, 0), 3);
    }
    return roundCorner(3, QPointF(0, 0), 3);
}

QImage Art::titleButton(const QString& which)
{
    const bool isClose = which == QLatin1String("close");
    return renderStrip(22, 22, 3, [&](QPainter& painter, int state, const QRectF&) {
        const QRectF plate(1, 1, 20, 20);
        painter.setPen(Qt::NoPen);
        if (state == Hover) {
            painter.setBrush(isClose ? QColor(196, 52, 43) : QColor(255, 255, 255, 38));
            painter.drawRoundedRect(plate, 3, 3);
        } else if (state == Pressed) {
            painter.setBrush(isClose ? QColor(148, 36, 30) : QColor(0, 134, 156, 150));
            painter.drawRoundedRect(plate, 3, 3);
        }
        const QColor colour = state == Normal ? Palette::glyph : Palette::glyphHover;
        titleGlyph(painter, which, colour);
    });
}
