#include "settings_file.h"

#include "settings/base_path.h"
#include "opdate/opdate.h"
#include "settings_file_target.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

class LineReader
{
public:
    explicit LineReader(QIODevice &device) : device_(device) {}

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
            // Take the rest of the chunk up to the line end at once, as far as the bound allows.
            const char *begin = chunk_.constData() + pos_;
            const qsizetype left = chunk_.size() - pos_;
            const qsizetype length = lineEndIn(begin, left);
            line.append(begin, std::min(length, MaxSettingsLineLength - line.size()));
            pos_ += length;
            if (length < left) {
                pendingCr_ = chunk_[pos_++] == '\r';
                return line;
            }
        }
        return line;
    }

private:
    // Where the first LF or CR is among size bytes; size when there is none.
    static qsizetype lineEndIn(const char *bytes, qsizetype size)
    {
        const void *lf = std::memchr(bytes, '\n', size_t(size));
        const qsizetype lfAt = lf ? static_cast<const char *>(lf) - bytes : size;
        const void *cr = std::memchr(bytes, '\r', size_t(lfAt));
        return cr ? static_cast<const char *>(cr) - bytes : lfAt;
    }

    bool available() { return pos_ < chunk_.size() || refill(); }

    bool refill()
    {
        if (scanned_ >= MaxSettingsBytesScanned)
            return false;
        chunk_ = device_.read(std::min<qint64>(16 * 1024, MaxSettingsBytesScanned - scanned_));
        pos_ = 0;
        scanned_ += chunk_.size();
        return !chunk_.isEmpty();
    }

    QIODevice &device_;
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

int OpenSettingsFile(const QString &path)
{
    const SettingsFileTarget target = FindSettingsFileTarget(path);
    if (!target.exists || target.untrusted)
        return -1;
    // Whatever is at the path by now: a FIFO must not block the open, and a link swapped in
    // since it was followed is not followed again. Only what fstat reports counts.
    const int fd = ::open(target.path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !IsTrustedOwner(info.st_uid)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

SettingsLines ReadSettingsFile(const QString &path)
{
    const int fd = OpenSettingsFile(path);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return ReadSettingsLines(file);
}

SettingsLines ReadSettingsLines(QIODevice &device)
{
    SettingsLines lines;
    LineReader reader(device);
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

QByteArray UtcTextToSave(const QByteArray &typed)
{
    return typed == QByteArray::number(ZoneUtcOffset(CurrentEpochSecond())) ? QByteArray() : typed;
}
