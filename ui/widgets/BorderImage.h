#pragma once

#include <QFrame>

// A frame showing one image stretched over its whole rectangle.
class BorderImage : public QFrame
{
    Q_OBJECT

public:
    explicit BorderImage(const QString& imagePath, QWidget* parent = nullptr);
};
