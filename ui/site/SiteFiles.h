#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// The files of site work (plans, inventories, reports): chosen in a file dialog that opens in
// the folder last used for that kind of file, read with a size limit, written whole or not at all.
namespace SiteFiles {

// Settings keys of the last folders used.
extern const char kExportFolderKey[];
extern const char kPlanFolderKey[];

// Empty when the user cancelled. `filters` as QFileDialog takes them; the chosen filter is
// returned through selectedFilter when given.
QString chooseSaveFile(QWidget* parent,
                       const char* folderKey,
                       const QString& title,
                       const QString& suggestedName,
                       const QString& filters,
                       QString* selectedFilter = nullptr);
QString chooseOpenFile(QWidget* parent, const char* folderKey, const QString& title, const QString& filters);

// False with the system's reason when the file cannot be read or is larger than limit bytes.
bool readFile(const QString& path, qint64 limit, QByteArray& content, QString& error);
// Writes through a temporary file renamed at the end: a failed write leaves the old file whole.
bool writeFile(const QString& path, const QByteArray& content, QString& error);

} // namespace SiteFiles
