#pragma once

#include "LanguageSrc.h"
#include "QMXStyle.h"

#include <QApplication>
#include <QFile>
#include <QString>

namespace WidgetTestSupport {

// The look the application installs at start-up: its style and the skin's style sheet,
// so styled behaviour (sizes, hover states, images) is what the tests see.
inline bool applySkin()
{
    QApplication::setStyle(new QMXStyle);
    QFile sheet(QStringLiteral(":/skin/qss/stylesheet.css"));
    if (!sheet.open(QIODevice::ReadOnly)) {
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    return true;
}

inline bool skinExpected()
{
#ifdef SCANIX_HAVE_SKIN
    return true;
#else
    return false;
#endif
}

// Loads the language files delivered beside the application in the build tree.
inline bool loadTestLanguage(int languageId)
{
    g_languageId = languageId;
    loadLanguage(QStringLiteral(SCANIX_APP_DIR), languageId);
    return !getText("IDCS_OK").isEmpty();
}

} // namespace WidgetTestSupport
