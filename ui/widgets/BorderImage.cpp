#include "BorderImage.h"

BorderImage::BorderImage(const QString& imagePath, QWidget* parent)
    : QFrame(parent)
{
    setStyleSheet(QStringLiteral("BorderImage {  border-image:url(%1); }").arg(imagePath));
}
