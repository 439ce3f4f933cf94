#include "LanguageSrc.h"

#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <QVariant>

int g_languageId = 1033;

QString LanguageSrc::m_appDir;
QString LanguageSrc::m_languageName;
std::unique_ptr<QSettings> LanguageSrc::m_pLanguageSettings;

namespace {

const char* const kFallbackChinese = "Chinese (PRC)";
const char* const kFallbackEnglish = "English (United States)";

QString indexKey(int languageId)
{
    return QStringLiteral("0x%1").arg(languageId, 4, 16, QLatin1Char('0'));
}

} // namespace

int LanguageSrc::chooseLanguageId()
{
    return chooseLanguageId(QLocale::system().name());
}

int LanguageSrc::chooseLanguageId(const QString& localeName)
{
    if (localeName == QLatin1String("zh_CN")) {
        return 2052;
    }
    if (localeName == QLatin1String("zh_TW") || localeName == QLatin1String("zh_HK") ||
        localeName == QLatin1String("zh_SG")) {
        return 1028;
    }
    if (localeName.contains(QLatin1String("ru_"), Qt::CaseSensitive)) {
        return 1049;
    }
    return 1033;
}

bool LanguageSrc::loadLanguage(const QString& appDir, int languageId)
{
    return loadLanguage(appDir, languageId, QLocale::system().name());
}

bool LanguageSrc::loadLanguage(const QString& appDir, int languageId, const QString& localeName)
{
    m_appDir = appDir;

    QString name;
    {
        QSettings index(QStringLiteral("%1/language/LanguageIndex.ini").arg(appDir), QSettings::IniFormat);
        index.beginGroup(QStringLiteral("languages"));
        name = index.value(indexKey(languageId)).toString();
        index.endGroup();
    }
    // Only simplified Chinese has a fallback of its own; every other locale, the traditional ones
    // included, falls back to English.
    if (name.isEmpty()) {
        name = QLatin1String(localeName == QLatin1String("zh_CN") ? kFallbackChinese : kFallbackEnglish);
    }
    m_languageName = name;

    m_pLanguageSettings = std::make_unique<QSettings>(languageFilePath(), QSettings::IniFormat);
    m_pLanguageSettings->beginGroup(QStringLiteral("text"));
    return true;
}

QString LanguageSrc::getText(const char* key)
{
    if (key == nullptr || key[0] == '\0' || !m_pLanguageSettings) {
        return QString();
    }
    const QVariant value = m_pLanguageSettings->value(QLatin1String(key));
    // An unquoted INI value holding commas is read back as a list; the files quote such texts,
    // but a hand-edited file should still show its text rather than nothing.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1String(", "));
    }
    return value.toString();
}

void LanguageSrc::releaseLanguage()
{
    Q_ASSERT_X(m_pLanguageSettings, "releaseLanguage", "m_pLanguageSettings != 0");
    m_pLanguageSettings.reset();
}

bool LanguageSrc::isLoaded()
{
    return m_pLanguageSettings != nullptr;
}

QString LanguageSrc::languageName()
{
    return m_languageName;
}

QString LanguageSrc::languageFilePath()
{
    return QStringLiteral("%1/language/%2.ini").arg(m_appDir, m_languageName);
}

int chooseLanguageId()
{
    return LanguageSrc::chooseLanguageId();
}

bool loadLanguage(const QString& appDir, int languageId)
{
    return LanguageSrc::loadLanguage(appDir, languageId);
}

QString getText(const char* key)
{
    return LanguageSrc::getText(key);
}

void releaseLanguage()
{
    LanguageSrc::releaseLanguage();
}
