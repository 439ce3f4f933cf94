#pragma once

#include <QFrame>

// A frame showing one image scaled to fit and kept in proportion.
class AdaptImage : public QFrame
{
    Q_OBJECT

public:
    explicit AdaptImage(const QString& imagePath, QWidget* parent = nullptr);
};
