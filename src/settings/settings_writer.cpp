#include "settings_file.h"
#include "settings/base_path.h"
#include "settings_file_target.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonFor(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Zugriff verweigert.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Kein Speicherplatz mehr auf dem Datenträger.");
    case EFBIG:
        return QStringLiteral("Die Datei wäre zu groß.");
    case EROFS:
        return QStringLiteral("Das Dateisystem ist schreibgeschützt.");
    case EISDIR:
        return QStringLiteral("Der Pfad ist ein Ordner.");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Der Ordner existiert nicht.");
    case ELOOP:
        return QStringLiteral("Zu viele symbolische Verknüpfungen hintereinander.");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

SaveResult failure(const QString &reason)
{
    return {false, reason};
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The new contents go to "<target>.new-<pid>-<n>" first. The pid tells whose a leftover is.
QByteArray siblingPrefix(const QByteArray &target)
{
    return target + ".new-";
}

// Opens a new, empty file beside the target under a name nobody else uses.
int createSibling(const QByteArray &target, QByteArray &siblingName, mode_t mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        siblingName = siblingPrefix(target) + QByteArray::number(::getpid()) + '-' + QByteArray::number(attempt);
        const int fd = ::open(siblingName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The process that wrote a sibling, from the "<pid>-<n>" after the prefix (pids stay below
// 2^22 on Linux); 0 for other names.
pid_t writerOf(const QString &nameAfterPrefix)
{
    static const QRegularExpression pattern(QStringLiteral("^([1-9][0-9]{0,6})-[0-9]+$"));
    const QRegularExpressionMatch match = pattern.match(nameAfterPrefix);
    return match.hasMatch() ? pid_t(match.captured(1).toInt()) : 0;
}

// A save killed between writing its sibling and renaming it leaves the sibling behind. Those
// whose writer no longer runs are removed; a running one may still be saving. A pid reused
// since only keeps its leftover until that process ends too.
void removeLeftoverSiblings(const QByteArray &target)
{
    const QFileInfo targetInfo(QFile::decodeName(siblingPrefix(target)));
    const QString prefix = targetInfo.fileName();
    const QDir folder = targetInfo.dir();
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const pid_t writer = name.startsWith(prefix) ? writerOf(name.sliced(prefix.size())) : 0;
        if (writer == 0 || ::kill(writer, 0) == 0 || errno != ESRCH)
            continue;
        const QByteArray sibling = QFile::encodeName(folder.filePath(name));
        struct stat info = {};
        if (::lstat(sibling.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlink(sibling.constData());
    }
}

void syncFolder(const QByteArray &file)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(file)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

SaveResult WriteSettingsFile(const QString &path, const QByteArray &screenText, const QByteArray &localText,
                             const QByteArray &utcText, bool ownerOnly)
{
    for (const QByteArray *text : {&screenText, &localText, &utcText}) {
        if (text->contains('\n') || text->contains('\r'))
            return failure(QStringLiteral("Der Text enthält einen Zeilenumbruch."));
    }

    // Write through a symbolic link to the file it names, and keep the link.
    const SettingsFileTarget found = FindSettingsFileTarget(path);
    if (found.untrusted)
        return failure(QStringLiteral("Die Einstellungsdatei oder eine Verknüpfung dorthin gehört einem anderen Benutzer."));
    if (found.error != 0)
        return failure(reasonFor(found.error));
    const QByteArray &target = found.path;
    const struct stat &old = found.info;
    const bool exists = found.exists;
    if (exists && S_ISDIR(old.st_mode))
        return failure(reasonFor(EISDIR));
    if (exists && !S_ISREG(old.st_mode))
        return failure(QStringLiteral("Der Pfad ist keine gewöhnliche Datei."));
    if (exists && !(old.st_mode & S_IWUSR))
        return failure(QStringLiteral("Die Datei ist schreibgeschützt."));

    removeLeftoverSiblings(target);
    QByteArray sibling;
    const int fd = createSibling(target, sibling, ownerOnly ? 0600 : 0666);
    if (fd < 0)
        return failure(reasonFor(errno));

    const QByteArray contents = screenText + '\n' + localText + '\n' + utcText + '\n';
    const mode_t keptMode = old.st_mode & (ownerOnly ? 0600 : 07777);
    const bool written = writeAll(fd, contents) && (!exists || ::fchmod(fd, keptMode) == 0) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(sibling.constData(), target.constData()) != 0) {
        const int error = !written ? writeError : errno;
        ::unlink(sibling.constData());
        return failure(reasonFor(error));
    }
    syncFolder(target);
    return {true, {}};
}

SaveResult WriteSettings(const QByteArray &screenText, const QByteArray &localText, const QByteArray &utcText)
{
    return WriteSettingsFile(SettingsFilePath(), screenText, localText, utcText, BasePath == UserBasePath());
}
