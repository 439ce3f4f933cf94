#include "WindowSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

#include <algorithm>
#include <initializer_list>
#include <ostream>

namespace {
const char* const kGeometry = "window/normalGeometry";
const char* const kMaximized = "window/maximized";
const char* const kControlBarOpen = "window/controlBarOpen";
const char* const kNetworkSectionOpen = "controlBar/networkOpen";
const char* const kRestoreSectionOpen = "controlBar/restoreOpen";
const char* const kHeader = "list/header";
const char* const kSortColumn = "list/sortColumn";
const char* const kSortOrder = "list/sortOrder";
const char* const kRefreshInterval = "refresh/interval";

constexpr int kColumnCount = 16;
// Larger than any desktop: a rectangle beyond it was not written by the window.
constexpr int kLargestSide = 100000;
// Far beyond what the window and its dialogs write.
constexpr qint64 kLargestFile = 1024 * 1024;

// INI files hold every value as text; only what the window writes is accepted back.
bool readBool(const QVariant& value, bool& out)
{
    const QString text = value.toString();
    if (text != QLatin1String("true") && text != QLatin1String("false")) {
        return false;
    }
    out = text == QLatin1String("true");
    return true;
}

bool readInt(const QVariant& value, std::initializer_list<int> allowed, int& out)
{
    bool ok = false;
    const int number = value.toString().toInt(&ok);
    if (!ok || std::find(allowed.begin(), allowed.end(), number) == allowed.end()) {
        return false;
    }
    out = number;
    return true;
}

bool readColumn(const QVariant& value, int& out)
{
    bool ok = false;
    const int number = value.toString().toInt(&ok);
    if (!ok || number < 0 || number >= kColumnCount) {
        return false;
    }
    out = number;
    return true;
}

bool readRect(const QVariant& value, QRect& out)
{
    if (value.typeId() != QMetaType::QRect) {
        return false;
    }
    const QRect rect = value.toRect();
    if (rect.width() <= 0 || rect.height() <= 0 || rect.width() > kLargestSide || rect.height() > kLargestSide ||
        qAbs(rect.x()) > kLargestSide || qAbs(rect.y()) > kLargestSide) {
        return false;
    }
    out = rect;
    return true;
}

// A settings file is short UTF-8 text; torn writes and foreign files rarely are.
const char* notText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "it cannot be read";
    }
    if (file.size() > kLargestFile) {
        return "it is too large";
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return "it is not text";
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\r') && c != QLatin1Char('\t')) {
            return "it is not text";
        }
    }
    return nullptr;
}

// Reads every key the window writes; the name of the first unusable one, or null.
const char* readState(const QSettings& settings, SavedWindowState& state)
{
    bool flag = false;
    if (settings.contains(kGeometry) && !readRect(settings.value(kGeometry), state.normalGeometry)) {
        return kGeometry;
    }
    if (settings.contains(kMaximized)) {
        if (!readBool(settings.value(kMaximized), flag)) {
            return kMaximized;
        }
        state.maximized = flag;
    }
    const struct
    {
        const char* key;
        int* field;
    } flags[] = {{kControlBarOpen, &state.controlBarOpen},
                 {kNetworkSectionOpen, &state.networkSectionOpen},
                 {kRestoreSectionOpen, &state.restoreSectionOpen}};
    for (const auto& entry : flags) {
        if (settings.contains(entry.key)) {
            if (!readBool(settings.value(entry.key), flag)) {
                return entry.key;
            }
            *entry.field = flag ? 1 : 0;
        }
    }
    if (settings.contains(kHeader)) {
        const QVariant header = settings.value(kHeader);
        if (header.typeId() != QMetaType::QByteArray || header.toByteArray().isEmpty()) {
            return kHeader;
        }
        state.headerState = header.toByteArray();
    }
    if (settings.contains(kSortColumn) && !readColumn(settings.value(kSortColumn), state.sortColumn)) {
        return kSortColumn;
    }
    if (settings.contains(kSortOrder) &&
        !readInt(settings.value(kSortOrder), {Qt::AscendingOrder, Qt::DescendingOrder}, state.sortOrder)) {
        return kSortOrder;
    }
    if (settings.contains(kRefreshInterval) &&
        !readInt(settings.value(kRefreshInterval), {0, 5, 10, 30}, state.refreshInterval)) {
        return kRefreshInterval;
    }
    return nullptr;
}
} // namespace

QString WindowSettings::defaultFilePath()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Scanix"), QStringLiteral("Scanix"))
        .fileName();
}

WindowSettings::WindowSettings(const QString& filePath)
    : m_filePath(filePath)
{}

QString WindowSettings::filePath() const
{
    return m_filePath;
}

bool WindowSettings::damaged() const
{
    return m_damaged;
}

void WindowSettings::reportDamage(const QString& reason, std::ostream& errors)
{
    m_damaged = true;
    errors << "Scanix: settings file " << m_filePath.toStdString() << " ignored (" << reason.toStdString()
           << "); it is replaced when the program ends" << std::endl;
}

SavedWindowState WindowSettings::load(std::ostream& errors)
{
    m_damaged = false;
    const QFileInfo info(m_filePath);
    if (!info.exists()) {
        return SavedWindowState();
    }
    QSettings settings(m_filePath, QSettings::IniFormat);
    if (!info.isFile() || settings.status() == QSettings::AccessError) {
        reportDamage(QStringLiteral("it cannot be read"), errors);
        return SavedWindowState();
    }
    if (const char* reason = notText(m_filePath)) {
        reportDamage(QLatin1String(reason), errors);
        return SavedWindowState();
    }
    if (settings.status() == QSettings::FormatError) {
        reportDamage(QStringLiteral("it is not a settings file"), errors);
        return SavedWindowState();
    }
    // Unparsable bytes leave no key at all, without any format error.
    if (info.size() > 0 && settings.allKeys().isEmpty()) {
        reportDamage(QStringLiteral("it holds no setting"), errors);
        return SavedWindowState();
    }
    SavedWindowState state;
    if (const char* bad = readState(settings, state)) {
        reportDamage(QStringLiteral("unusable value of %1").arg(QLatin1String(bad)), errors);
        return SavedWindowState();
    }
    return state;
}

bool WindowSettings::save(const SavedWindowState& state, std::ostream& errors)
{
    // A damaged file would be merged into, or refused by, the settings object: start afresh.
    if (m_damaged && QFileInfo::exists(m_filePath) && !QFile::remove(m_filePath)) {
        errors << "Scanix: settings file " << m_filePath.toStdString() << " cannot be replaced" << std::endl;
        return false;
    }
    QSettings settings(m_filePath, QSettings::IniFormat);
    if (state.normalGeometry.isValid()) {
        settings.setValue(kGeometry, state.normalGeometry);
    }
    settings.setValue(kMaximized, state.maximized);
    if (state.controlBarOpen >= 0) {
        settings.setValue(kControlBarOpen, state.controlBarOpen == 1);
    }
    if (state.networkSectionOpen >= 0 && state.restoreSectionOpen >= 0) {
        settings.setValue(kNetworkSectionOpen, state.networkSectionOpen == 1);
        settings.setValue(kRestoreSectionOpen, state.restoreSectionOpen == 1);
    }
    if (!state.headerState.isEmpty()) {
        settings.setValue(kHeader, state.headerState);
    }
    if (state.sortColumn >= 0 && state.sortOrder >= 0) {
        settings.setValue(kSortColumn, state.sortColumn);
        settings.setValue(kSortOrder, state.sortOrder);
    }
    if (state.refreshInterval >= 0) {
        settings.setValue(kRefreshInterval, state.refreshInterval);
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        errors << "Scanix: settings file " << m_filePath.toStdString() << " cannot be written" << std::endl;
        return false;
    }
    m_damaged = false;
    return true;
}
