#include "AdaptImage.h"

AdaptImage::AdaptImage(const QString& imagePath, QWidget* parent)
    : QFrame(parent)
{
    setStyleSheet(QStringLiteral("AdaptImage { background: transparent; image:url(%1); }").arg(imagePath));
}
