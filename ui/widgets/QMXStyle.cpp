#include "QMXStyle.h"

#include <QStyleFactory>

// QProxyStyle takes ownership of the base; should the Windows style ever be missing,
// a null base makes the proxy fall back to the platform's default style.
QMXStyle::QMXStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{}

int QMXStyle::styleHint(StyleHint hint,
                        const QStyleOption* option,
                        const QWidget* widget,
                        QStyleHintReturn* returnData) const
{
    if (hint == QStyle::SH_ItemView_PaintAlternatingRowColorsForEmptyArea) {
        return 1;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int QMXStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (metric == QStyle::PM_SmallIconSize) {
        return 32;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}
