#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

#include <iosfwd>

// What the main window remembers between runs: only things the user arranged and saw.
// A field that was not found (or not usable) keeps its "unset" value and the window keeps
// its own default for it.
struct SavedWindowState
{
    // The window's rectangle when not maximised, and whether it was maximised.
    QRect normalGeometry;
    bool maximized = false;
    // Column order, widths and hidden columns of the device list's header.
    QByteArray headerState;
    // -1: unset.
    int sortColumn = -1;
    int sortOrder = -1;
    int refreshInterval = -1;
    // -1: unset, else 0 or 1: the control bar, and its two sections.
    int controlBarOpen = -1;
    int networkSectionOpen = -1;
    int restoreSectionOpen = -1;
};

// The per-user settings file of the window (INI under the user's configuration folder).
// A file that cannot be read or holds unusable values is ignored with one line on the error
// stream, and replaced by a sound one at the next save.
class WindowSettings
{
public:
    // The file every copy of the program shares for one user.
    static QString defaultFilePath();

    explicit WindowSettings(const QString& filePath = defaultFilePath());

    // Reads the file; a missing file gives an unset state and no message.
    SavedWindowState load(std::ostream& errors);
    // Writes the state, replacing the file when load found it damaged. False when it could
    // not be written; the reason goes to the error stream.
    bool save(const SavedWindowState& state, std::ostream& errors);

    QString filePath() const;
    bool damaged() const;

private:
    void reportDamage(const QString& reason, std::ostream& errors);

    QString m_filePath;
    bool m_damaged = false;
};
