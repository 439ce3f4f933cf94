#include "Quantise.h"

#include <QHash>

#include <limits>

namespace {
constexpr int kAlphaLevels = 16;

int distance(QRgb a, QRgb b)
{
    // Compare premultiplied values so that nearly transparent pixels match by opacity first.
    const QRgb pa = qPremultiply(a);
    const QRgb pb = qPremultiply(b);
    const int dr = qRed(pa) - qRed(pb);
    const int dg = qGreen(pa) - qGreen(pb);
    const int db = qBlue(pa) - qBlue(pb);
    const int da = qAlpha(pa) - qAlpha(pb);
    return dr * dr + dg * dg + db * db + 2 * da * da;
}
} // namespace

QImage quantiseFlat(const QImage& image, const QVector<QColor>& inks)
{
    QVector<QRgb> table;
    table.append(qRgba(0, 0, 0, 0));
    for (const QColor& ink : inks) {
        for (int level = 1; level <= kAlphaLevels; ++level) {
            const int alpha = level * 255 / kAlphaLevels;
            table.append(qRgba(ink.red(), ink.green(), ink.blue(), alpha));
        }
    }

    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    QHash<QRgb, uchar> cache;
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = result.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = qAlpha(in[x]) == 0 ? 0 : in[x];
            auto hit = cache.constFind(pixel);
            if (hit == cache.constEnd()) {
                int best = 0;
                int bestDistance = std::numeric_limits<int>::max();
                for (int i = 0; i < table.size(); ++i) {
                    const int d = distance(pixel, table[i]);
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                hit = cache.insert(pixel, static_cast<uchar>(best));
            }
            out[x] = *hit;
        }
    }
    return result;
}
