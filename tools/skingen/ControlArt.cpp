#include "Art.h"
#include "Canvas.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace {
QColor glyphColour(int state)
{
    switch (state) {
    case Hover:
        return Palette::glyphHover;
    case Pressed:
        return Palette::accentBright;
    case Disabled:
        return Palette::disabled;
    default:
        return Palette::glyph;
    }
}

void triangle(QPainter& painter, QPointF a, QPointF b, QPointF c, const QColor& colour)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    // A thin stroke of the same colour rounds the tips a little.
    painter.setPen(QPen(colour, 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour);
    painter.drawPath(path);
}

// Triangle of the given width and height pointing in `direction`, centred on `centre`.
void arrowHead(QPainter& painter, QPointF centre, qreal width, qreal height, Qt::ArrowType direction, QColor colour)
{
    const qreal w = width / 2;
    const qreal h = height / 2;
    const qreal x = centre.x();
    const qreal y = centre.y();
    switch (direction) {
    case Qt::UpArrow:
        triangle(painter, {x - w, y + h}, {x + w, y + h}, {x, y - h}, colour);
        break;
    case Qt::DownArrow:
        triangle(painter, {x - w, y - h}, {x + w, y - h}, {x, y + h}, colour);
        break;
    case Qt::LeftArrow:
        triangle(painter, {x + h, y - w}, {x + h, y + w}, {x - h, y}, colour);
        break;
    default:
        triangle(painter, {x - h, y - w}, {x - h, y + w}, {x + h, y}, colour);
        break;
    }
}
} // namespace

QImage Art::rowPiece(const QString& kind, char piece)
{
    // The three pieces are cut from one rounded bar 42 pixels wide; the middle piece repeats the
    // bar's central column so it stretches without seams.
    QColor top;
    QColor bottom;
    QColor border;
    QColor shine;
    if (kind == QLatin1String("selected")) {
        top = QColor(0, 124, 147);
        bottom = QColor(0, 96, 116);
        border = QColor(42, 166, 198);
        shine = QColor(255, 255, 255, 46);
    } else if (kind == QLatin1String("inactive")) {
        top = QColor(64, 70, 78);
        bottom = QColor(52, 57, 64);
        border = QColor(92, 100, 108);
        shine = QColor(255, 255, 255, 22);
    } else {
        top = QColor(40, 52, 60);
        bottom = QColor(33, 43, 50);
        border = QColor(54, 92, 108);
        shine = QColor(255, 255, 255, 14);
    }
    const QImage bar = renderImage(42, 36, [&](QPainter& painter, const QRectF& cell) {
        QLinearGradient fill(0, 0, 0, cell.height());
        fill.setColorAt(0.0, top);
        fill.setColorAt(1.0, bottom);
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.setPen(QPen(shine, 1));
        painter.drawLine(QPointF(4, 1.5), QPointF(cell.width() - 4, 1.5));
    });
    if (piece == 'l') {
        return bar.copy(0, 0, 14, 36);
    }
    if (piece == 'r') {
        return bar.copy(28, 0, 14, 36);
    }
    QImage middle(14, 36, QImage::Format_ARGB32);
    for (int y = 0; y < 36; ++y) {
        const QRgb pixel = bar.pixel(21, y);
        for (int x = 0; x < 14; ++x) {
            middle.setPixel(x, y, pixel);
        }
    }
    return middle;
}

QImage Art::sectionArrow(bool expand)
{
    return renderStrip(11, 8, 3, [&](QPainter& painter, int state, const QRectF&) {
        if (expand) {
            strokePolyline(painter, {{1.8, 2.2}, {5.5, 5.9}, {9.2, 2.2}}, glyphColour(state), 1.7);
        } else {
            strokePolyline(painter, {{1.8, 5.8}, {5.5, 2.1}, {9.2, 5.8}}, glyphColour(state), 1.7);
        }
    });
}

QImage Art::divideToggle(bool open)
{
    return renderImage(18, 18, [&](QPainter& painter, const QRectF&) {
        const QColor frame(200, 204, 208);
        const QRectF outline(1.5, 2.5, 15, 13);
        if (open) {
            painter.fillRect(QRectF(11, 3, 5, 12), Palette::accentBright);
        }
        painter.setPen(QPen(frame, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(outline, 1.5, 1.5);
        painter.drawLine(QPointF(10.5, 3), QPointF(10.5, 15));
        if (open) {
            strokePolyline(painter, {{4.6, 6.4}, {7, 9}, {4.6, 11.6}}, frame, 1.4);
        } else {
            strokePolyline(painter, {{7, 6.4}, {4.6, 9}, {7, 11.6}}, frame, 1.4);
        }
    });
}

QImage Art::comboArrow()
{
    return renderStrip(23, 23, 3, [](QPainter& painter, int state, const QRectF&) {
        // Separator between the button's text and its arrow zone.
        painter.fillRect(QRectF(0, 5, 1, 13), QColor(255, 255, 255, state == Normal ? 34 : 56));
        arrowHead(painter, {12, 12}, 8, 4.5, Qt::DownArrow, glyphColour(state));
    });
}

QImage Art::checkBox(bool checked)
{
    return renderStrip(26, 26, 4, [&](QPainter& painter, int state, const QRectF&) {
        const QRectF box(3.5, 3.5, 19, 19);
        QColor border;
        QColor fill;
        if (checked) {
            const QColor fills[] = {Palette::accent, QColor(16, 160, 184), QColor(0, 104, 122), QColor(50, 54, 58)};
            fill = fills[state];
            border = state == Disabled ? QColor(62, 66, 70) : fill.lighter(130);
        } else {
            const QColor borders[] = {
                QColor(112, 120, 126), Palette::accentLight, Palette::accentBright, QColor(50, 52, 55)};
            const QColor fills[] = {Palette::listBase, Palette::accentDeep, QColor(0, 52, 62), Palette::disabledBase};
            border = borders[state];
            fill = fills[state];
        }
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(box, 3, 3);
        if (checked) {
            const QColor mark = state == Disabled ? QColor(110, 114, 118) : Qt::white;
            strokePolyline(painter, {{8, 13.2}, {11.5, 16.7}, {18, 9.3}}, mark, 2.4);
        }
    });
}

QImage Art::headerMenuIndicator()
{
    return renderStrip(32, 33, 3, [](QPainter& painter, int state, const QRectF& cell) {
        if (state == Hover) {
            painter.fillRect(cell, Palette::buttonHover);
        } else if (state == Pressed) {
            painter.fillRect(cell, QColor(37, 38, 44));
        }
        painter.fillRect(QRectF(0, 0, 1, cell.height()), Palette::line);
        const QColor colour = glyphColour(state);
        for (int i = 0; i < 3; ++i) {
            painter.fillRect(QRectF(9, 11 + i * 4, 10, 1.5), colour);
        }
        arrowHead(painter, {23, 16.5}, 5, 3, Qt::DownArrow, colour);
    });
}

QImage Art::menuCheck()
{
    return renderStrip(22, 20, 2, [](QPainter& painter, int state, const QRectF&) {
        const QColor colour = state == 0 ? Palette::accentBright : Qt::white;
        strokePolyline(painter, {{5.8, 10.4}, {9.4, 14}, {16.4, 6.2}}, colour, 2);
    });
}

QImage Art::sortArrow(bool up)
{
    return renderImage(12, 15, [&](QPainter& painter, const QRectF&) {
        arrowHead(painter, {6, 7.5}, 8, 4.5, up ? Qt::UpArrow : Qt::DownArrow, Palette::accentBright);
    });
}

QImage Art::scrollArrow(Qt::ArrowType direction)
{
    return renderStrip(18, 18, 3, [&](QPainter& painter, int state, const QRectF& cell) {
        if (state == Hover) {
            painter.fillRect(cell, QColor(50, 54, 58));
        } else if (state == Pressed) {
            painter.fillRect(cell, QColor(36, 39, 43));
        }
        arrowHead(painter, {9, 9}, 8, 4.5, direction, glyphColour(state));
    });
}

QImage Art::scrollHandle(bool horizontal, int state)
{
    const int width = horizontal ? 20 : 18;
    const int height = horizontal ? 18 : 20;
    // Only a grip: the handle's body is the style sheet's background colour.
    const QColor grips[] = {QColor(255, 255, 255, 70), QColor(255, 255, 255, 130), Palette::accentBright};
    return renderImage(width, height, [&](QPainter& painter, const QRectF&) {
        for (int i = -1; i <= 1; ++i) {
            const QRectF bar = horizontal ? QRectF(9.5 + i * 3 - 0.5, 6, 1, 6) : QRectF(6, 9.5 + i * 3 - 0.5, 6, 1);
            painter.fillRect(bar, grips[state]);
        }
    });
}
