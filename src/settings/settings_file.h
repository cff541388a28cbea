#pragma once
// The settings file: three lines beside the program, in the single-byte Latin-1 set.
//   1: the screen text, taken verbatim
//   2: whole hours from the computer's clock to local time
//   3: whole hours from the computer's clock to UTC; empty: the system time zone's difference

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <optional>

inline constexpr char DefaultScreenText[] = "QX0VRT";

// Lines longer than this are cut; the rest of such a line is skipped.
inline constexpr qsizetype MaxSettingsLineLength = 64 * 1024;
// However the file looks, reading stops after this many bytes, so a huge file without line
// ends cannot keep the reader busy.
inline constexpr qint64 MaxSettingsBytesScanned = 4 * MaxSettingsLineLength;

// BasePath followed by ".ini".
QString SettingsFilePath();

struct SettingsLines
{
    QByteArray screenText = DefaultScreenText;
    QByteArray localText;
    QByteArray utcText;
};

// Reads up to three lines (LF, CR LF or CR endings). A missing or unreadable file, or a
// missing line, leaves that field at its default. So does a file that is not a plain file, or
// that (or a symbolic link to it) belongs to someone other than the user or root.
SettingsLines ReadSettingsFile(const QString &path);

// The settings file open for reading, or -1 when it is none the reader may use. Never waits,
// whatever is at the path when it opens.
int OpenSettingsFile(const QString &path);

// The lines as ReadSettingsFile takes them, from any open device.
SettingsLines ReadSettingsLines(QIODevice &device);

// An hour difference as stored in line 2 or 3: optional surrounding blanks, an optional sign
// and decimal digits that fit in 32 bits. Anything else is no value, and the offset in force
// keeps its value.
std::optional<std::int32_t> ParseHourOffset(QByteArrayView text);

// Reads the settings file, puts the hour differences found there into LocalOffset and
// UtcOffset, and returns the screen text.
QByteArray ReadSettings();

// The UTC difference as the settings dialog saves it: exactly as typed, but empty while it is the
// system time zone's, so the UTC dial keeps following the zone when summer time begins or ends.
QByteArray UtcTextToSave(const QByteArray &typed);

struct SaveResult
{
    bool ok = false;
    QString reason; // German, for the user; empty on success
};

// Replaces the file with the three texts, written exactly as given, one per line. The new
// contents are complete on disk before they replace the old file; on any failure the old file
// is left as it was. A read-only settings file is never replaced, nor one that the reader
// would not read for its owner; a symbolic link is kept and the file it leads to replaced.
// New files that earlier saves, killed midway, left beside it go. An ownerOnly file is left
// readable and writable by its owner alone (mode 0600 or narrower); others keep their mode.
SaveResult WriteSettingsFile(const QString &path, const QByteArray &screenText, const QByteArray &localText,
                             const QByteArray &utcText, bool ownerOnly = false);
// Into the settings file in use, which in the user's own folder is for the user's eyes only.
SaveResult WriteSettings(const QByteArray &screenText, const QByteArray &localText, const QByteArray &utcText);
