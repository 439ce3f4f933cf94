#pragma once

#include <QPushButton>

class QLabel;

// A flat button showing an 18 x 18 image in its centre, with a hover and pressed background.
class IconButton : public QPushButton
{
    Q_OBJECT

public:
    explicit IconButton(const QString& imagePath, QWidget* parent = nullptr);

    QString imagePath() const;
    void setImagePath(const QString& imagePath);

    static constexpr int kImageSize = 18;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_imagePath;
    QLabel* m_image;
};
