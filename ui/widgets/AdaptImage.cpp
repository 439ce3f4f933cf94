#include "AdaptImage.h"

AdaptImage::AdaptImage(const QString& imagePath, QWidget* parent)
    : QFrame(parent)
{
    // No path means no image; an empty url() would only make the style try to open "".
    if (imagePath.isEmpty()) {
        setStyleSheet(QStringLiteral("AdaptImage { background: transparent; }"));
        return;
    }
    setStyleSheet(QStringLiteral("AdaptImage { background: transparent; image:url(%1); }").arg(imagePath));
}
