#include "settings_file.h"

#include "app/base_path.h"
#include "opdate/opdate.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

// However the file looks, reading stops after this many bytes, so a huge file without line
// ends (or a device posing as one) cannot keep the reader busy.
constexpr qint64 MaxBytesScanned = 4 * MaxSettingsLineLength;

class LineReader
{
public:
    explicit LineReader(QFile &file) : file_(file) {}

    // The next line without its end; nothing once the file (or the scan budget) is exhausted.
    std::optional<QByteArray> next()
    {
        if (pendingCr_) {
            pendingCr_ = false;
            if (available() && chunk_[pos_] == '\n')
                ++pos_;
        }
        if (!available())
            return std::nullopt;
        QByteArray line;
        while (available()) {
            const char c = chunk_[pos_++];
            if (c == '\n')
                return line;
            if (c == '\r') {
                pendingCr_ = true;
                return line;
            }
            if (line.size() < MaxSettingsLineLength)
                line.append(c);
        }
        return line;
    }

private:
    bool available() { return pos_ < chunk_.size() || refill(); }

    bool refill()
    {
        if (scanned_ >= MaxBytesScanned)
            return false;
        chunk_ = file_.read(std::min<qint64>(16 * 1024, MaxBytesScanned - scanned_));
        pos_ = 0;
        scanned_ += chunk_.size();
        return !chunk_.isEmpty();
    }

    QFile &file_;
    QByteArray chunk_;
    qsizetype pos_ = 0;
    qint64 scanned_ = 0;
    bool pendingCr_ = false;
};

} // namespace

QString SettingsFilePath()
{
    return BasePath + QStringLiteral(".ini");
}

SettingsLines ReadSettingsFile(const QString &path)
{
    SettingsLines lines;
    // Only a plain file is read: a FIFO or device could block or never end.
    if (!QFileInfo(path).isFile())
        return lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    LineReader reader(file);
    if (auto line = reader.next())
        lines.screenText = *line;
    if (auto line = reader.next())
        lines.localText = *line;
    if (auto line = reader.next())
        lines.utcText = *line;
    return lines;
}

std::optional<std::int32_t> ParseHourOffset(QByteArrayView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Accumulate the magnitude in 64 bits and stop as soon as it leaves the 32-bit range.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

QByteArray ReadSettings()
{
    const SettingsLines lines = ReadSettingsFile(SettingsFilePath());
    if (const auto local = ParseHourOffset(lines.localText))
        LocalOffset = *local;
    if (const auto utc = ParseHourOffset(lines.utcText))
        UtcOffset = *utc;
    return lines.screenText;
}
