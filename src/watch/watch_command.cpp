#include "watch_command.h"

#include "watch/autostart_entry.h"
#include "watch/idle_source.h"
#include "watch/idle_watcher.h"
#include "watch/session_watcher.h"
#include "watch/watch_time.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

constexpr int SessionEndWaitMs = 10000;

int fail(const QString &why)
{
    std::fprintf(stderr, "clocksaver: %s\n", qPrintable(why));
    return 1;
}

sigset_t endingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&set, number);
    return set;
}

// Without a session bus the D-Bus library would start one through dbus-launch (and an X
// server's autolaunch): the user's runtime folder's bus, or none.
void keepToTheSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QString runtimeBus = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1String("/bus");
    qputenv("DBUS_SESSION_BUS_ADDRESS", qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") || !QFile::exists(runtimeBus)
                                            ? QByteArrayLiteral("disabled:")
                                            : "unix:path=" + QFile::encodeName(runtimeBus));
}

int watch(const std::chrono::milliseconds idleTime, const QString &program, int argc, char **argv)
{
    // Blocked before Qt starts threads, so that only the signal descriptor hears them.
    const sigset_t ending = endingSignals();
    ::sigprocmask(SIG_BLOCK, &ending, nullptr);
    const int signalFd = ::signalfd(-1, &ending, SFD_CLOEXEC | SFD_NONBLOCK);
    keepToTheSessionBus();
    QCoreApplication app(argc, argv);
    SessionWatcher session;
    QString why;
    if (signalFd < 0 || !session.takeOver(&why))
        return fail(why.isEmpty() ? QStringLiteral("cannot listen for signals") : why);
    const std::unique_ptr<IdleSource> source = OpenIdleSource(idleTime, &why);
    if (!source)
        return fail(QStringLiteral("cannot watch for idle time: %1").arg(why));
    IdleWatcher watcher(*source, idleTime, program);
    QObject::connect(source.get(), &IdleSource::gone, &app, &QCoreApplication::quit);
    int endingSignal = 0;
    QSocketNotifier signalled(signalFd, QSocketNotifier::Read);
    QObject::connect(&signalled, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info{};
        if (::read(signalFd, &info, sizeof info) == sizeof info)
            endingSignal = int(info.ssi_signo);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    // Clocks on a desktop that has gone end by themselves, and tidy up as they do.
    watcher.endClocks(endingSignal == 0 ? SessionEndWaitMs : 0);
    if (endingSignal != 0) {
        std::signal(endingSignal, SIG_DFL);
        ::sigprocmask(SIG_UNBLOCK, &ending, nullptr);
        std::raise(endingSignal);
    }
    return 0;
}

int autostart(const QString &value, const QString &program)
{
    QString why;
    if (value == QLatin1String("off"))
        return RemoveAutostartEntry(&why) && SessionWatcher::endRunning(&why) ? 0 : fail(why);
    if (!WriteAutostartEntry(program, value, &why))
        return fail(why);
    // The new watcher replaces one that runs.
    return QProcess::startDetached(program, {QStringLiteral("--watch"), value})
               ? 0
               : fail(QStringLiteral("cannot start %1").arg(program));
}

} // namespace

int RunWatchCommand(int argc, char **argv)
{
    const QString option = argc == 4 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString value = argc == 4 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString program = argc == 4 ? QFile::decodeName(argv[3]) : QString();
    const std::optional<std::chrono::seconds> idleTime = ParseWatchTime(value);
    if (option == QLatin1String("--autostart") && (idleTime || value == QLatin1String("off")))
        return autostart(value, program);
    if (option == QLatin1String("--watch") && idleTime)
        return watch(*idleTime, program, argc, argv);
    return fail(QStringLiteral("%1 takes minutes (1 to 1440), or seconds with an s (20s)%2")
                    .arg(option.isEmpty() ? QStringLiteral("--watch") : option,
                         option == QLatin1String("--autostart") ? QStringLiteral(", or off") : QString()));
}
