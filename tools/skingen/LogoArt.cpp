#include "Art.h"
#include "Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// The word mark is built from strokes, not from a font, so the generator gives the same picture
// on every machine.
constexpr qreal kTop = 14;
constexpr qreal kCap = 22;
constexpr qreal kStroke = 4.2;

QPainterPath letterS(qreal x)
{
    const qreal half = kStroke / 2;
    const qreal bowl = (kCap - kStroke) / 2;
    const QRectF upper(x + half, kTop + half, 15, bowl);
    const QRectF lower(x + half, kTop + half + bowl, 15, bowl);
    QPainterPath path;
    path.arcMoveTo(upper, 25);
    path.arcTo(upper, 25, 245);
    path.arcTo(lower, 90, -270);
    return path;
}

QPainterPath letterC(qreal x)
{
    const qreal half = kStroke / 2;
    const QRectF box(x + half, kTop + half, 18 - kStroke, kCap - kStroke);
    QPainterPath path;
    path.arcMoveTo(box, 45);
    path.arcTo(box, 45, 270);
    return path;
}

QPainterPath lines(std::initializer_list<std::initializer_list<QPointF>> strokes)
{
    QPainterPath path;
    for (const auto& stroke : strokes) {
        bool first = true;
        for (const QPointF& point : stroke) {
            if (first) {
                path.moveTo(point);
                first = false;
            } else {
                path.lineTo(point);
            }
        }
    }
    return path;
}

void drawLetter(QPainter& painter, const QPainterPath& path, const QColor& colour, Qt::PenCapStyle cap)
{
    painter.setPen(QPen(colour, kStroke, Qt::SolidLine, cap, Qt::MiterJoin));
    painter.drawPath(path);
}

void drawLogo(QPainter& painter)
{
    const QColor light(232, 236, 240);
    const QColor accent = Palette::accentBright;
    const QPointF centre(25, 25);

    // Emblem: a scanning ring open towards a found device, and the lens in the middle; flat
    // colours only, so the large version stores as a small paletted image.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(accent, 3.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(centre.x() - 17, centre.y() - 17, 34, 34), 75 * 16, 300 * 16);
    painter.setPen(QPen(accent, 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(centre.x() - 10, centre.y() - 10, 20, 20), 110 * 16, 250 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawEllipse(centre, 4.2, 4.2);
    painter.drawEllipse(QPointF(centre.x() + 17 * 0.819, centre.y() - 17 * 0.574), 2.6, 2.6);

    // Word mark: "SCAN" light, "IX" in the accent colour.
    painter.setBrush(Qt::NoBrush);
    painter.save();
    painter.setClipRect(QRectF(0, kTop, 230, kCap));
    const qreal bottom = kTop + kCap;
    qreal x = 54;
    drawLetter(painter, letterS(x), light, Qt::FlatCap);
    x += 24;
    drawLetter(painter, letterC(x), light, Qt::FlatCap);
    x += 21;
    drawLetter(painter,
               lines({{{x, bottom + 3}, {x + 10, kTop}, {x + 20, bottom + 3}},
                      {{x + 4.5, kTop + 15.5}, {x + 15.5, kTop + 15.5}}}),
               light,
               Qt::SquareCap);
    x += 27;
    drawLetter(painter,
               lines({{{x + 2.1, bottom + 3}, {x + 2.1, kTop - 3}, {x + 16.9, bottom + 3}, {x + 16.9, kTop - 3}}}),
               light,
               Qt::SquareCap);
    x += 25;
    drawLetter(painter, lines({{{x + 2.1, bottom + 3}, {x + 2.1, kTop - 3}}}), accent, Qt::SquareCap);
    x += 11;
    drawLetter(painter,
               lines({{{x, kTop - 1}, {x + 18, bottom + 1}}, {{x + 18, kTop - 1}, {x, bottom + 1}}}),
               accent,
               Qt::SquareCap);
    painter.restore();
}
} // namespace

QImage Art::logo(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(width / 230.0, height / 50.0);
    drawLogo(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
