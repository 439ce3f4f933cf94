#pragma once

#include <QColor>
#include <QImage>
#include <QVector>

// Maps an image with flat colours and antialiased edges onto a small palette of those colours at
// sixteen levels of opacity. Large flat artwork then stores as a paletted PNG a fraction of the
// size of a true-colour one, with no visible change.
QImage quantiseFlat(const QImage& image, const QVector<QColor>& inks);
