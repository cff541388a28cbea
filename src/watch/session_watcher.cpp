#include "session_watcher.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

// A watcher ends within moments of its signal; one that does not is stuck.
constexpr auto EndWait = std::chrono::seconds(5);
constexpr auto RetryPause = std::chrono::milliseconds(20);

QString sessionFilePath()
{
    QString session = qEnvironmentVariable("XDG_SESSION_ID");
    for (const char *display : {"WAYLAND_DISPLAY", "DISPLAY"})
        if (session.isEmpty())
            session = qEnvironmentVariable(display);
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
    session.replace(unsafe, QStringLiteral("_"));
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/clocksaver-watch-")
           + session;
}

QString failure(const char *what, const QString &path)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

pid_t writtenProcess(int fd)
{
    char text[16] = {};
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    return length > 0 ? pid_t(std::atoi(text)) : 0;
}

// The file, locked: ends the watcher that holds it first. -1, with the reason, on failure.
int lockEndingHolder(QString *why)
{
    const QString path = sessionFilePath();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *why = failure("cannot open", path);
        return -1;
    }
    pid_t signalled = 0;
    const auto deadline = std::chrono::steady_clock::now() + EndWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            *why = failure("cannot lock", path);
            ::close(fd);
            return -1;
        }
        // The holder writes its number just after it takes the lock.
        const pid_t holder = writtenProcess(fd);
        if (holder > 0 && holder != signalled && ::kill(holder, SIGTERM) == 0)
            signalled = holder;
        if (std::chrono::steady_clock::now() > deadline) {
            *why = QStringLiteral("the running watcher (process %1) does not end").arg(holder);
            ::close(fd);
            return -1;
        }
        std::this_thread::sleep_for(RetryPause);
    }
    return fd;
}

} // namespace

SessionWatcher::~SessionWatcher()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SessionWatcher::takeOver(QString *why)
{
    fd_ = lockEndingHolder(why);
    if (fd_ < 0)
        return false;
    const QByteArray number = QByteArray::number(::getpid());
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, number.constData(), size_t(number.size()), 0) != number.size()) {
        *why = failure("cannot write", sessionFilePath());
        return false;
    }
    return true;
}

bool SessionWatcher::endRunning(QString *why)
{
    const int fd = lockEndingHolder(why);
    if (fd < 0)
        return false;
    // Nobody runs now: no number may point at some other process later.
    const bool cleared = ::ftruncate(fd, 0) == 0;
    if (!cleared)
        *why = failure("cannot clear", sessionFilePath());
    ::close(fd);
    return cleared;
}
