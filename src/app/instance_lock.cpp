#include "instance_lock.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Kind = InstanceLock::Kind;

// A copy on its way out holds the exclusive lock only while it deletes the file. Shared holders
// that meet it try again for this long before they count the file as held by a full-screen copy.
constexpr auto LeavingCopyWait = std::chrono::milliseconds(250);
constexpr auto RetryPause = std::chrono::milliseconds(5);

// True when path still names the very file open at fd. A copy that is ending deletes the
// file while it holds the lock; whoever locked that file in the meantime must start over.
bool pathNamesOpenFile(const QByteArray &path, int fd)
{
    struct stat byPath = {};
    struct stat byFd = {};
    return ::lstat(path.constData(), &byPath) == 0 && ::fstat(fd, &byFd) == 0 && byPath.st_dev == byFd.st_dev
           && byPath.st_ino == byFd.st_ino;
}

// Only a regular file with no second name is ours to truncate and delete: a hard link to some
// other file must not lose that file's contents.
bool isPlainFile(int fd)
{
    struct stat status = {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink <= 1;
}

// Read access is enough for a shared flock, so a lock file others may read would let any local
// user keep every full-screen start away. Where the file system keeps no modes, nothing changes.
void keepToOwner(int fd)
{
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() && (status.st_mode & 07777) != 0600)
        ::fchmod(fd, 0600);
}

bool takeFlock(int fd, Kind kind)
{
    if (kind == Kind::FullScreen)
        return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const auto deadline = std::chrono::steady_clock::now() + LeavingCopyWait;
    while (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(RetryPause);
    }
    return true;
}

// Dialogs keep to one by a write lock on the first byte, which is independent of the flock.
bool lockAsOnlyDialog(int fd)
{
    struct flock byte = {};
    byte.l_type = F_WRLCK;
    byte.l_whence = SEEK_SET;
    byte.l_start = 0;
    byte.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &byte) == 0)
        return true;
    if (errno == EACCES || errno == EAGAIN)
        errno = EWOULDBLOCK;
    return false;
}

} // namespace

InstanceLock::~InstanceLock()
{
    release();
}

InstanceLock::Outcome InstanceLock::fail(const char *what, const char *reason)
{
    const bool busy = !reason && errno == EWOULDBLOCK;
    failedErrno_ = reason ? 0 : errno;
    if (!reason)
        reason = errno == ELOOP ? "it is a symbolic link" : std::strerror(errno);
    error_ = QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path_, QString::fromLocal8Bit(reason));
    return busy ? Outcome::HeldElsewhere : Outcome::Failed;
}

bool InstanceLock::placeNotWritable() const
{
    return failedErrno_ == EACCES || failedErrno_ == EROFS || failedErrno_ == EPERM;
}

InstanceLock::Outcome InstanceLock::acquire(const QString &path, Kind kind)
{
    path_ = path;
    nativePath_ = QFile::encodeName(path);
    for (;;) {
        // Never through a link: a dangling one would create its target.
        const int fd = ::open(nativePath_.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EACCES)
            return fail("cannot create lock file");
        if (const std::optional<Outcome> outcome = fd >= 0 ? lockOpenFile(fd, kind) : takeOverUnwritable())
            return *outcome;
    }
}

// Nothing when the path named another file by the time the lock was ours: start over.
std::optional<InstanceLock::Outcome> InstanceLock::lockOpenFile(int fd, Kind kind)
{
    std::optional<Outcome> outcome = Outcome::Acquired;
    if (!isPlainFile(fd)) {
        outcome = fail("cannot use lock file", "it is not a plain file");
    } else if (keepToOwner(fd); !takeFlock(fd, kind)) {
        outcome = fail("cannot lock");
    } else if (!pathNamesOpenFile(nativePath_, fd)) {
        outcome.reset();
    } else if (kind == Kind::Dialog && !lockAsOnlyDialog(fd)) {
        outcome = fail("cannot lock");
    } else if (::ftruncate(fd, 0) != 0) {
        outcome = fail("cannot truncate lock file");
    }
    if (outcome == Outcome::Acquired)
        fd_ = fd;
    else
        ::close(fd);
    return outcome;
}

// The file is there but not writable for us, as one left by a run under sudo. Unless a copy
// holds it, it is a leftover: replace it if the folder allows, like the user could by hand.
// Nothing once it is gone: start over.
std::optional<InstanceLock::Outcome> InstanceLock::takeOverUnwritable()
{
    const int fd = ::open(nativePath_.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        errno = EACCES;
        return fail("cannot create lock file");
    }
    std::optional<Outcome> outcome;
    if (!isPlainFile(fd)) {
        outcome = fail("cannot use lock file", "it is not a plain file");
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        outcome = fail("cannot lock");
    } else if (pathNamesOpenFile(nativePath_, fd) && ::unlink(nativePath_.constData()) != 0 && errno != ENOENT) {
        outcome = fail("cannot replace the leftover lock file");
    }
    ::close(fd);
    return outcome;
}

bool InstanceLock::release()
{
    if (fd_ < 0)
        return true;
    bool ok = true;
    // Only a copy that can lock the file alone is the last one; it deletes the file while it
    // still holds it, so nobody else can lock the file being removed and believe it runs. The
    // shared lock is dropped first, as two leaving copies could otherwise block each other.
    ::flock(fd_, LOCK_UN);
    // The file may be gone already (a cleaner, the folder removed) or be another copy's by now.
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 && pathNamesOpenFile(nativePath_, fd_) && ::unlink(nativePath_.constData()) != 0
        && errno != ENOENT) {
        fail("cannot delete lock file");
        ok = false;
    }
    if (::close(fd_) != 0 && ok) {
        fail("cannot close lock file");
        ok = false;
    }
    fd_ = -1;
    return ok;
}
