#include "Canvas.h"

#include <QPolygonF>

namespace {
constexpr int kSupersample = 4;
}

QImage renderStrip(int cellWidth, int height, int states, const CellPainter& paint)
{
    QImage big(cellWidth * states * kSupersample, height * kSupersample, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter painter(&big);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(kSupersample, kSupersample);
        for (int state = 0; state < states; ++state) {
            painter.save();
            painter.translate(state * cellWidth, 0);
            painter.setClipRect(QRectF(0, 0, cellWidth, height));
            paint(painter, state, QRectF(0, 0, cellWidth, height));
            painter.restore();
        }
    }
    QImage small = big.scaled(cellWidth * states, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.convertToFormat(QImage::Format_ARGB32);
}

QImage renderImage(int width, int height, const std::function<void(QPainter&, const QRectF&)>& paint)
{
    return renderStrip(width, height, 1, [&](QPainter& painter, int, const QRectF& cell) { paint(painter, cell); });
}

QImage joinStrip(const std::initializer_list<QImage>& cells)
{
    int width = 0;
    int height = 0;
    for (const QImage& cell : cells) {
        width += cell.width();
        height = std::max(height, cell.height());
    }
    QImage strip(width, height, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    int x = 0;
    for (const QImage& cell : cells) {
        painter.drawImage(x, 0, cell);
        x += cell.width();
    }
    return strip;
}

void strokePolyline(
    QPainter& painter, std::initializer_list<QPointF> points, const QColor& colour, qreal width, Qt::PenCapStyle cap)
{
    painter.save();
    painter.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF(QVector<QPointF>(points)));
    painter.restore();
}
