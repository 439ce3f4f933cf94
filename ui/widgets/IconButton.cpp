#include "IconButton.h"

#include <QLabel>
#include <QResizeEvent>

IconButton::IconButton(const QString& imagePath, QWidget* parent)
    : QPushButton(parent)
    , m_image(new QLabel(this))
{
    m_image->setObjectName(QStringLiteral("iconButtonImage"));
    m_image->resize(kImageSize, kImageSize);
    // The label is decoration: clicks must reach the button underneath.
    m_image->setAttribute(Qt::WA_TransparentForMouseEvents);
    setImagePath(imagePath);
    setStyleSheet(QStringLiteral("IconButton {border-radius: 2px; background-color:transparent;}"
                                 "                   IconButton:hover { background-color:rgb(115,122,132); }"
                                 "                    IconButton:pressed { background-color:rgb(66,71,74); }"
                                 // The keyboard focus in the accent colour of every control.
                                 "IconButton:focus { border: 1px solid rgb(56,145,180); }"));
}

QString IconButton::imagePath() const
{
    return m_imagePath;
}

// The device-bar toggle swaps its image when it is checked or unchecked.
void IconButton::setImagePath(const QString& imagePath)
{
    m_imagePath = imagePath;
    m_image->setStyleSheet(QStringLiteral("QLabel { border-image: url(%1); }").arg(imagePath));
}

void IconButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    m_image->move((width() - kImageSize) / 2, (height() - kImageSize) / 2);
}
