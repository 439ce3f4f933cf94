#include "AppSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QMetaType>

namespace AppSetup {

namespace {

const char* const kSkinFamily = "Microsoft YaHei";
const int kFontPixelSize = 13;

} // namespace

bool installStyleSheet(QApplication& app, const QString& resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    app.setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

QStringList fontSubstitutes(int languageId)
{
    // A CJK family picked for the language, so Chinese texts get Chinese rather than Japanese
    // glyph shapes; it also covers Latin and Cyrillic.
    if (languageId == 1028) {
        return {QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans CJK SC")};
    }
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK TC")};
}

void installApplicationFont(int languageId)
{
    const QString family = QString::fromLatin1(kSkinFamily);
    if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
        QFont::insertSubstitutions(family, fontSubstitutes(languageId));
    }
    QFont font(family);
    // Pixels, not points: the skin's fixed pixel rectangles must hold the text at any resolution.
    font.setPixelSize(kFontPixelSize);
    QApplication::setFont(font);
}

void addPluginPath()
{
    QCoreApplication::addLibraryPath(
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../plugins")));
}

void registerMetaTypeAliases()
{
    qRegisterMetaType<tuint16>("tuint16");
    qRegisterMetaType<tint16>("tint16");
    qRegisterMetaType<tuint32>("tuint32");
    qRegisterMetaType<tint32>("tint32");
    qRegisterMetaType<tuint64>("tuint64");
    qRegisterMetaType<tint64>("tint64");
    qRegisterMetaType<tuint_ptr>("tuint_ptr");
    qRegisterMetaType<tint_ptr>("tint_ptr");
}

} // namespace AppSetup
