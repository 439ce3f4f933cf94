#include "SiteFiles.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace SiteFiles {

const char kExportFolderKey[] = "folders/export";
const char kPlanFolderKey[] = "folders/plans";

namespace {

QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Scanix"), QStringLiteral("Scanix"));
}

QString lastFolder(const char* key)
{
    const QString folder = settings().value(QString::fromLatin1(key)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void rememberFolder(const char* key, const QString& file)
{
    if (!file.isEmpty()) {
        settings().setValue(QString::fromLatin1(key), QFileInfo(file).absolutePath());
    }
}

} // namespace

QString chooseSaveFile(QWidget* parent,
                       const char* folderKey,
                       const QString& title,
                       const QString& suggestedName,
                       const QString& filters,
                       QString* selectedFilter)
{
    const QString file = QFileDialog::getSaveFileName(
        parent, title, QDir(lastFolder(folderKey)).filePath(suggestedName), filters, selectedFilter);
    rememberFolder(folderKey, file);
    return file;
}

QString chooseOpenFile(QWidget* parent, const char* folderKey, const QString& title, const QString& filters)
{
    const QString file = QFileDialog::getOpenFileName(parent, title, lastFolder(folderKey), filters);
    rememberFolder(folderKey, file);
    return file;
}

bool readFile(const QString& path, qint64 limit, QByteArray& content, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    content = file.read(limit + 1);
    if (content.size() > limit) {
        error = QStringLiteral("larger than %1 bytes").arg(limit);
        return false;
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& content, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace SiteFiles
