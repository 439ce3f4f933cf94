#include "Art.h"
#include "Canvas.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
// A soft glassy light on the upper half of a badge; subtle enough to survive scaling to 50 px.
void topLight(QPainter& painter, const QPainterPath& shape, const QRectF& bounds)
{
    QLinearGradient light(bounds.topLeft(), QPointF(bounds.left(), bounds.center().y()));
    light.setColorAt(0.0, QColor(255, 255, 255, 60));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawPath(shape);
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void badge(QPainter& painter, const QPainterPath& shape, const QColor& top, const QColor& bottom, const QColor& rim)
{
    const QRectF bounds = shape.boundingRect();
    QLinearGradient fill(bounds.topLeft(), bounds.bottomLeft());
    fill.setColorAt(0.0, top);
    fill.setColorAt(1.0, bottom);
    painter.setPen(QPen(rim, 3));
    painter.setBrush(fill);
    painter.drawPath(shape);
    topLight(painter, shape, bounds.adjusted(6, 4, -6, 0));
}

void warningIcon(QPainter& painter)
{
    // Rounded triangle: the stroke with round joins gives the soft corners.
    QPainterPath triangle;
    triangle.moveTo(60, 14);
    triangle.lineTo(108, 100);
    triangle.lineTo(12, 100);
    triangle.closeSubpath();
    QLinearGradient fill(0, 10, 0, 106);
    fill.setColorAt(0.0, QColor(255, 200, 72));
    fill.setColorAt(1.0, QColor(232, 146, 18));
    painter.setPen(QPen(QBrush(fill), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(triangle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(48, 34, 8));
    painter.drawRoundedRect(QRectF(53.5, 40, 13, 36), 6.5, 6.5);
    painter.drawEllipse(QPointF(60, 89), 7.5, 7.5);
}

void errorIcon(QPainter& painter)
{
    badge(painter, circle({60, 60}, 52), QColor(236, 88, 72), QColor(186, 36, 30), QColor(140, 26, 22));
    strokePolyline(painter, {{41, 41}, {79, 79}}, Qt::white, 13);
    strokePolyline(painter, {{79, 41}, {41, 79}}, Qt::white, 13);
}

void informationIcon(QPainter& painter)
{
    badge(painter, circle({60, 60}, 52), QColor(78, 162, 232), QColor(30, 106, 186), QColor(22, 78, 140));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(60, 34), 8.5, 8.5);
    painter.drawRoundedRect(QRectF(52.5, 50, 15, 44), 4, 4);
}

void questionIcon(QPainter& painter)
{
    badge(painter, circle({60, 60}, 52), QColor(38, 184, 178), QColor(0, 122, 132), QColor(0, 88, 96));
    QPainterPath hook;
    hook.arcMoveTo(QRectF(42, 24, 36, 34), 160);
    hook.arcTo(QRectF(42, 24, 36, 34), 160, -220);
    hook.quadTo(QPointF(60, 60), QPointF(60, 72));
    painter.setPen(QPen(Qt::white, 13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(hook);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(60, 92), 8, 8);
}
} // namespace

QImage Art::messageIcon(const QString& which)
{
    return renderImage(120, 120, [&](QPainter& painter, const QRectF&) {
        if (which == QLatin1String("Warning")) {
            warningIcon(painter);
        } else if (which == QLatin1String("Error")) {
            errorIcon(painter);
        } else if (which == QLatin1String("Information")) {
            informationIcon(painter);
        } else {
            questionIcon(painter);
        }
    });
}

QImage Art::infoBadge()
{
    return renderImage(26, 26, [](QPainter& painter, const QRectF&) {
        QLinearGradient fill(0, 2, 0, 24);
        fill.setColorAt(0.0, Palette::accentBright);
        fill.setColorAt(1.0, Palette::accentLight.darker(125));
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawEllipse(QPointF(13, 13), 11, 11);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(13, 7.8), 1.9, 1.9);
        painter.drawRoundedRect(QRectF(11.4, 11, 3.2, 9.5), 1, 1);
    });
}

QImage Art::emblem(int size)
{
    return renderImage(size, size, [](QPainter& painter, const QRectF& cell) {
        // Designed on a 106-unit grid.
        painter.scale(cell.width() / 106.0, cell.height() / 106.0);
        const QRectF plate(3, 3, 100, 100);
        QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
        fill.setColorAt(0.0, QColor(50, 59, 70));
        fill.setColorAt(1.0, QColor(20, 23, 29));
        painter.setPen(QPen(QColor(255, 255, 255, 40), 1.5));
        painter.setBrush(fill);
        painter.drawRoundedRect(plate.adjusted(0.75, 0.75, -0.75, -0.75), 22, 22);

        const QPointF centre(53, 53);
        // Window-icon sizes lose fine detail, so they get fewer, bolder strokes.
        const bool small = cell.width() <= 32;
        if (!small) {
            // Radar sweep: a wedge that fades out counter-clockwise from the leading edge.
            QConicalGradient sweep(centre, 45);
            sweep.setColorAt(0.0, QColor(72, 178, 212, 200));
            sweep.setColorAt(0.25, QColor(72, 178, 212, 0));
            sweep.setColorAt(1.0, QColor(72, 178, 212, 0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(sweep);
            painter.drawEllipse(centre, 34, 34);
        }

        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::accentBright, small ? 11 : 5, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(centre.x() - 34, centre.y() - 34, 68, 68), 60 * 16, 300 * 16);
        if (!small) {
            painter.setPen(QPen(QColor(72, 178, 212, 150), 3.5, Qt::SolidLine, Qt::RoundCap));
            painter.drawArc(QRectF(centre.x() - 21, centre.y() - 21, 42, 42), 100 * 16, 260 * 16);
            strokePolyline(painter, {centre, {centre.x() + 24, centre.y() - 24}}, Palette::accentBright, 3.5);
        }

        // The lens in the middle and a found device on the ring.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(236, 240, 244));
        painter.drawEllipse(centre, small ? 13 : 8, small ? 13 : 8);
        painter.setBrush(QColor(20, 23, 29));
        painter.drawEllipse(centre, small ? 5 : 3.5, small ? 5 : 3.5);
        painter.setBrush(QColor(255, 190, 80));
        const qreal device = small ? 9 : 5.5;
        painter.drawEllipse(QPointF(centre.x() + 34 * 0.5, centre.y() - 34 * 0.866), device, device);
    });
}

QImage Art::appIcon(int size)
{
    const int margin = size / 16;
    const QImage plate = emblem(size - 2 * margin);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Copied at a whole-pixel offset, not resampled or blended.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(margin, margin, plate);
    return image;
}
