#pragma once

#include <QProxyStyle>

// The application style: the toolkit's Windows style with two answers changed, so
// item views fill their empty area with alternating rows and small icons are 32 px.
class QMXStyle : public QProxyStyle
{
    Q_OBJECT

public:
    QMXStyle();

    int styleHint(StyleHint hint,
                  const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    int pixelMetric(PixelMetric metric,
                    const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
