#include "AboutDlg.h"

#include "BorderImage.h"
#include "LanguageSrc.h"
#include "QMXLabel.h"
#include "QMXPushButton.h"

#include <QDate>
#include <QLocale>

namespace {
constexpr int kEnglishUnitedStates = 1033;

QMXLabel* row(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QMXLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString keyed(const char* key, const QString& value)
{
    return QStringLiteral("%1: %2").arg(getText(key), value);
}
} // namespace

const char* const AboutDlg::kVersion = "3.0.1.2";

AboutDlg::AboutDlg(QWidget* parent)
    : CustomDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    const QString softwareName = getText("IDCS_SOFTWARE_NAME");
    setTitle(QStringLiteral("%1 %2").arg(getText("IDCS_ABOUT"), softwareName));

    m_logo = new BorderImage(QStringLiteral(":/skin/scanix.png"), this);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_name = row(keyed("IDCS_NAME", softwareName), "nameRow", this);
    m_version = row(keyed("IDCS_VERSION", QString::fromLatin1(kVersion)), "versionRow", this);
    m_date = row(keyed("IDCS_DATE", formatBuildDate(QString::fromLatin1(__DATE__), g_languageId)), "dateRow", this);
    m_copyright = row(getText("IDCS_COPYRIGHT_ZEB31"), "copyrightRow", this);
    m_ok = new QMXPushButton(getText("IDCS_OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    connect(m_ok, &QAbstractButton::clicked, this, &QDialog::accept);

    resize(400, 220);
}

QString AboutDlg::formatBuildDate(const QString& compilerDate, int languageId)
{
    // The compiler pads one-digit days with a blank: "Dec  6 2020".
    const bool oneDigitDay = compilerDate.size() > 4 && compilerDate.at(4) == QLatin1Char(' ');
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDate date =
        english.toDate(compilerDate, oneDigitDay ? QStringLiteral("MMM  d yyyy") : QStringLiteral("MMM d yyyy"));
    if (!date.isValid()) {
        return QString();
    }
    return date.toString(languageId == kEnglishUnitedStates ? QStringLiteral("MM/dd/yyyy")
                                                            : QStringLiteral("yyyy/MM/dd"));
}

void AboutDlg::resizeEvent(QResizeEvent* event)
{
    CustomDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_logo->setGeometry(40, 80, 40, 40);
    m_name->setGeometry(120, 40, w - 100, 26);
    m_version->setGeometry(120, 75, w - 100, 26);
    m_date->setGeometry(120, 110, w - 100, 26);
    m_copyright->setGeometry(120, 145, w - 100, 26);
    m_ok->setGeometry(w - 80, h - 27, 70, 23);
}
