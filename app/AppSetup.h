#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QApplication;

// Integer aliases known to the meta-type system by name, for queued calls that name them.
// The pointer-sized ones are 32-bit on purpose: they are the names older code used for
// 32-bit values, not real pointer-sized integers.
using tuint16 = quint16;
using tint16 = qint16;
using tuint32 = quint32;
using tint32 = qint32;
using tuint64 = quint64;
using tint64 = qint64;
using tuint_ptr = quint32;
using tint_ptr = qint32;

// The process-wide set-up the first copy makes before its main window exists.
namespace AppSetup {

// Installs the compiled-in style sheet; false (and nothing changed) when the bundle lacks it.
bool installStyleSheet(QApplication& app, const QString& resourcePath = QStringLiteral(":/skin/qss/stylesheet.css"));

// The substitutes tried, in order, when the skin's font family is not installed.
QStringList fontSubstitutes(int languageId);

// Application font: the skin's family at 13 pixels, whatever the screen's resolution.
void installApplicationFont(int languageId);

// Adds "<parent of the executable's folder>/plugins" to the library paths (ignored when missing).
void addPluginPath();

void registerMetaTypeAliases();

} // namespace AppSetup
