#include "instance_lock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString describe(const char *what, const QString &path)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

// True when path still names the very file open at fd. A copy that is ending deletes the
// file while it holds the lock; whoever locked that file in the meantime must start over.
bool pathNamesOpenFile(const QByteArray &path, int fd)
{
    struct stat byPath{};
    struct stat byFd{};
    return ::stat(path.constData(), &byPath) == 0 && ::fstat(fd, &byFd) == 0 && byPath.st_dev == byFd.st_dev
           && byPath.st_ino == byFd.st_ino;
}

} // namespace

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        release();
}

InstanceLock::Outcome InstanceLock::acquire(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    for (;;) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            error_ = describe("cannot create lock file", path);
            return Outcome::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            error_ = describe("cannot lock", path);
            ::close(fd);
            return busy ? Outcome::HeldElsewhere : Outcome::Failed;
        }
        if (pathNamesOpenFile(native, fd)) {
            path_ = path;
            fd_ = fd;
            return Outcome::Acquired;
        }
        ::close(fd);
    }
}

bool InstanceLock::release()
{
    // Delete while still holding the lock, so no other copy can lock the file being removed
    // and believe it runs alone.
    bool ok = true;
    if (::unlink(QFile::encodeName(path_).constData()) != 0) {
        error_ = describe("cannot delete lock file", path_);
        ok = false;
    }
    if (::close(fd_) != 0 && ok) {
        error_ = describe("cannot close lock file", path_);
        ok = false;
    }
    fd_ = -1;
    return ok;
}
