#pragma once

#include <QString>

#include <memory>

class QSettings;

// Language id (LCID numbering) chosen at start-up; the about dialog reads it for its date format.
// It keeps the chosen id even when a fallback language file had to be loaded.
extern int g_languageId;

// The translation tables: one language, chosen from the system locale, read from
// "<appDir>/language/LanguageIndex.ini" and "<appDir>/language/<name>.ini" (UTF-8 INI files).
// Loaded once before any window shows text and released when the main window goes; GUI thread only.
class LanguageSrc
{
public:
    // Maps the system locale's name (language_COUNTRY) to a language id: 2052, 1028, 1049 or 1033.
    static int chooseLanguageId();
    static int chooseLanguageId(const QString& localeName);

    // Always returns true: a missing index entry falls back by locale, a missing file gives empty texts.
    static bool loadLanguage(const QString& appDir, int languageId);
    static bool loadLanguage(const QString& appDir, int languageId, const QString& localeName);

    // The text stored under an IDCS_ key, or an empty text (null or empty key, missing key, nothing loaded).
    static QString getText(const char* key);

    // Closes the language file; calling it while nothing is loaded is a programming error.
    static void releaseLanguage();

    static bool isLoaded();
    // Name read from the index (or the fallback) and the language file built from it, for diagnostics.
    static QString languageName();
    static QString languageFilePath();

private:
    static QString m_appDir;
    static QString m_languageName;
    static std::unique_ptr<QSettings> m_pLanguageSettings;
};

// Free forms of the calls above, the way the windows use them.
int chooseLanguageId();
bool loadLanguage(const QString& appDir, int languageId);
QString getText(const char* key);
void releaseLanguage();
