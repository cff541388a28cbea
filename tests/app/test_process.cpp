// The built program as a process: argument forms, the single-instance lock, quit signals at
// any moment, and displays that are missing or go away.
#include "support/idle_watch.h"
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <linux/close_range.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <vector>

namespace {

enum SignalEnd { Clean, None, Fault };

// This environment with no display server to reach.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_SESSION_TYPE"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

// Whether the signal waits in the process's queue, not yet handed to a handler.
bool isPending(const QProcess &process, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("ShdPnd:") || line.startsWith("SigPnd:")) {
            if ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1)
                return true;
        }
    }
    return false;
}

// Whether the process's main thread sleeps in poll, as a program does once it has started and
// waits for events.
bool waitsForEvents(const QProcess &process)
{
    QFile call(QStringLiteral("/proc/%1/syscall").arg(process.processId()));
    const QByteArray number = call.open(QIODevice::ReadOnly) ? call.readAll().split(' ').value(0) : QByteArray();
#ifdef SYS_poll
    return number == QByteArray::number(SYS_ppoll) || number == QByteArray::number(SYS_poll);
#else
    return number == QByteArray::number(SYS_ppoll);
#endif
}

} // namespace

Q_DECLARE_METATYPE(SignalEnd)

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void argumentsWithoutAFormEndAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("/s:5120") << QStringList{"/s:5120"};
        QTest::newRow("/p") << QStringList{"/p", "1234"};
        QTest::newRow("/x") << QStringList{"/x"};
    }

    void argumentsWithoutAFormEndAtOnce()
    {
        QFETCH(QStringList, arguments);
        ProgramCopy copy;
        QVERIFY(copy.isValid());
        auto process = copy.start(arguments);
        QVERIFY(EndsCleanly(*process, copy.lockPath()));
        QVERIFY2(!QFile::exists(copy.settingsPath()), "nothing but the lock is touched");
    }

    void helpAndVersionArePrinted_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("--help") << QStringLiteral("--help");
        QTest::newRow("-h") << QStringLiteral("-h");
        QTest::newRow("--version") << QStringLiteral("--version");
    }

    void helpAndVersionArePrinted()
    {
        QFETCH(QString, argument);
        ProgramCopy copy;
        auto process = copy.start({argument}, withoutDisplay());
        QVERIFY(EndsCleanly(*process, copy.lockPath()));
        const QString usage = QString::fromLocal8Bit(process->readAllStandardOutput());
        const QStringList parts = argument == QLatin1String("--version")
                                      ? QStringList{QStringLiteral("clocksaver " CLOCKSAVER_VERSION "\n")}
                                      : QStringList{
                                          "/S", "-root", "/C", "XSCREENSAVER_WINDOW", copy.settingsPath(), copy.lockPath()};
        for (const QString &part : parts)
            QVERIFY2(usage.contains(part), qPrintable(usage));
        QVERIFY(!QFile::exists(copy.lockPath()));
    }

    void withoutADisplayFormsEndWithOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("message");
        QTest::newRow("/S, no DISPLAY") << QStringList{"/S"} << QStringList{}
                                        << "clocksaver: no display: DISPLAY is not set\n";
        QTest::newRow("/C, no X server") << QStringList{"/C"} << QStringList{"DISPLAY=:4711"}
                                         << "clocksaver: cannot open the display \":4711\": ";
        QTest::newRow("/S, no compositor")
            << QStringList{"/S"} << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=/nonexistent/wayland-9"}
            << "clocksaver: cannot open the display \"/nonexistent/wayland-9\": ";
        QTest::newRow("/S, Wayland session, neither")
            << QStringList{"/S"}
            << QStringList{"QT_QPA_PLATFORM=", "XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=/nonexistent/wayland-9"}
            << "clocksaver: cannot open the display \"/nonexistent/wayland-9\": ";
        // A compositor named is tried first, whatever the session says; the usual one, unnamed, is
        // only a guess.
        QTest::newRow("/S, compositor named, neither")
            << QStringList{"/S"}
            << QStringList{"QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=/nonexistent/wayland-9", "DISPLAY=:4711"}
            << "clocksaver: cannot open the display \"/nonexistent/wayland-9\": ";
        QTest::newRow("/S, a host's window, which is X's")
            << QStringList{"/S"}
            << QStringList{"QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=/nonexistent/wayland-9", "XSCREENSAVER_WINDOW=0x400008"}
            << "clocksaver: no display: DISPLAY is not set\n";
        QTest::newRow("/S, nothing named")
            << QStringList{"/S"} << QStringList{"QT_QPA_PLATFORM=", "XDG_RUNTIME_DIR=/nonexistent"}
            << "clocksaver: no display: DISPLAY is not set\n";
    }

    void withoutADisplayFormsEndWithOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, message);
        QProcessEnvironment settings = withoutDisplay();
        for (const QString &setting : environment)
            settings.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
        ProgramCopy copy;
        auto process = copy.start(arguments, settings, QProcess::SeparateChannels);
        QVERIFY(EndsWithFailure(*process, copy.lockPath()));
        const QString errors = QString::fromLocal8Bit(process->readAllStandardError());
        QVERIFY2(errors.startsWith(message) && errors.count(QLatin1Char('\n')) == 1, qPrintable(errors));
    }

    // Hosts end the program by signals; one that cannot listen for them says so and ends.
    void withoutAWayToHearQuitSignalsItEndsWithOneLine()
    {
        ProgramCopy copy;
        QProcess process;
        process.setProcessEnvironment(ProgramCopy::offscreenEnvironment());
        // Room for the libraries to load one by one, none for the signals' pipe; files this
        // process left open would take that room.
        process.setChildProcessModifier([] {
            ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
            const rlimit fewFiles{4, 4};
            ::setrlimit(RLIMIT_NOFILE, &fewFiles);
        });
        process.start(copy.programPath(), {"/S"});
        QVERIFY(EndsWithFailure(process, copy.lockPath()));
        const QByteArray errors = process.readAllStandardError();
        QVERIFY2(errors.startsWith("clocksaver: cannot listen for quit signals: ") && errors.count('\n') == 1,
                 errors.constData());
    }

    // Quit signals that come before the program could handle them, here held back until it
    // does, end it the same way: no display is needed any more.
    void quitSignalsBeforeTheGuiExistsEndItAsUsual()
    {
        ProgramCopy copy;
        QProcess process;
        process.setProcessEnvironment(withoutDisplay());
        process.setChildProcessModifier([] {
            sigset_t quitSignals;
            sigemptyset(&quitSignals);
            sigaddset(&quitSignals, SIGTERM);
            sigprocmask(SIG_BLOCK, &quitSignals, nullptr);
        });
        process.start(copy.programPath(), {"/S"});
        QVERIFY(process.waitForStarted());
        QCOMPARE(::kill(pid_t(process.processId()), SIGTERM), 0);
        QVERIFY(EndsBySignal(process, SIGTERM, copy.lockPath()));
    }

    // Hosts that lose patience send more; those arriving during the teardown change nothing.
    void furtherQuitSignalsChangeNothing()
    {
        ProgramCopy copy;
        auto process = copy.start({"/S"});
        QVERIFY(TakesTheLock(copy.lockPath()));
        const pid_t pid = pid_t(process->processId());
        QCOMPARE(::kill(pid, SIGTERM), 0);
        QVERIFY(QTest::qWaitFor([&] { return !isPending(*process, SIGTERM); }, 10000));
        while (process->state() != QProcess::NotRunning && !process->waitForFinished(0))
            ::kill(pid, SIGHUP);
        QVERIFY(EndsBySignal(*process, SIGTERM, copy.lockPath()));
    }

    void aLostXServerEndsTheRunWithoutItsLock_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("/S") << QStringLiteral("/S");
        QTest::newRow("/C") << QStringLiteral("/C");
    }

    void aLostXServerEndsTheRunWithoutItsLock()
    {
        QFETCH(QString, mode);
        auto xvfb = std::make_unique<XvfbServer>();
        ProgramCopy copy;
        QVERIFY(xvfb->isRunning() && copy.isValid());
        auto process = copy.start({mode}, xvfb->environment());
        QVERIFY(TakesTheLock(copy.lockPath()));
        QVERIFY(xvfb->run(QStringLiteral("xdotool"), {"search", "--sync", "--onlyvisible", "--name", "."}).size() > 0);
        xvfb.reset();
        QVERIFY(EndsWithFailure(*process, copy.lockPath()));
    }

    void signalsEndFormsCleanlyOrNotAtAll_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<SignalEnd>("end");
        const struct
        {
            const char *argument;
            int signal;
            SignalEnd end;
        } rows[] = {{"/S", SIGTERM, Clean},      {"/s", SIGHUP, Clean},     {"/C", SIGTERM, Clean},  {"/c", SIGINT, Clean},
                    {"/c:5120", SIGTERM, Clean}, {"-root", SIGQUIT, Clean}, {"/S", SIGUSR1, Clean},  {"/C", SIGUSR2, Clean},
                    {"/S", SIGALRM, Clean},      {"/S", SIGVTALRM, Clean},  {"/S", SIGPROF, Clean},  {"/S", SIGXCPU, Clean},
                    {"/S", SIGXFSZ, Clean},      {"/S", SIGPOLL, Clean},    {"/S", SIGRTMIN, Clean}, {"/S", SIGRTMAX, Clean},
                    {"/S", SIGPIPE, None},       {"/S", SIGABRT, Fault},    {"/S", SIGTRAP, Fault}};
        for (const auto &row : rows) {
            const char *name = sigabbrev_np(row.signal);
            QTest::addRow("%s %s", row.argument, name ? name : qPrintable(QString::number(row.signal)))
                << QStringList{row.argument} << row.signal << row.end;
        }
    }

    // Signals that end a program by default end it cleanly, lock released, by that signal (as
    // hosts expect); SIGPIPE does nothing; the faults keep their default action.
    void signalsEndFormsCleanlyOrNotAtAll()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, signal);
        QFETCH(SignalEnd, end);
        ProgramCopy copy;
        auto process = copy.start(arguments);
        QVERIFY(TakesTheLock(copy.lockPath()));
        QVERIFY2(QTest::qWaitFor([&] { return waitsForEvents(*process); }, 10000), "a form keeps the program running");
        QCOMPARE(::kill(pid_t(process->processId()), signal), 0);
        if (end == None) {
            QVERIFY(!process->waitForFinished(500));
            process->terminate();
            signal = SIGTERM;
        }
        QVERIFY(EndsBySignal(*process, signal, end == Fault ? QString() : copy.lockPath()));
        QCOMPARE(QFile::exists(copy.lockPath()), end == Fault);
    }

    void aRunningCopyTurnsAwayTheNext()
    {
        ProgramCopy copy;
        auto first = copy.start({"/S"});
        QVERIFY(TakesTheLock(copy.lockPath()));

        // Turned away before anything needs a display.
        for (const QString &mode : {QStringLiteral("/S"), QStringLiteral("/C"), QString()}) {
            auto second = copy.start(mode.isEmpty() ? QStringList{} : QStringList{mode}, withoutDisplay());
            QVERIFY2(EndsCleanly(*second, {}, 5000), qPrintable(mode));
            QVERIFY(QFile::exists(copy.lockPath()));
        }
        QCOMPARE(first->state(), QProcess::Running);

        first->terminate();
        QVERIFY(EndsBySignal(*first, SIGTERM, copy.lockPath()));
    }

    // A dangling link at the lock's path would otherwise create its target, as root any file.
    void aLinkAtTheLockPathIsRefused()
    {
        ProgramCopy copy;
        const QString target = copy.folder() + QStringLiteral("/target");
        QVERIFY(QFile::link(target, copy.lockPath()));
        auto process = copy.start({"/S"}, ProgramCopy::offscreenEnvironment(), QProcess::SeparateChannels);
        QVERIFY(EndsWithFailure(*process, {}));
        const QByteArray errors = process->readAllStandardError();
        QVERIFY2(errors.startsWith("clocksaver: ") && errors.contains("symbolic link"), errors.constData());
        QVERIFY(!QFile::exists(target));
    }

    // Without XDG_RUNTIME_DIR, runs share one folder of the user's own, killed or not.
    void aLockFileLeftByAKilledCopyIsTakenOver()
    {
        ProgramCopy copy;
        QTemporaryDir temp;
        QProcessEnvironment environment = ProgramCopy::offscreenEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("TMPDIR"), temp.path());
        auto killed = copy.start({"/S"}, environment);
        QVERIFY(TakesTheLock(copy.lockPath()) && QTest::qWaitFor([&] { return waitsForEvents(*killed); }, 10000));
        killed->kill();
        killed->waitForFinished();
        QVERIFY(QFile::exists(copy.lockPath()));

        auto next = copy.start({"/S"}, environment);
        QVERIFY2(QTest::qWaitFor([&] { return waitsForEvents(*next); }, 10000),
                 "the stale lock must not stop the next start");
        next->terminate();
        QVERIFY(EndsBySignal(*next, SIGTERM, copy.lockPath()));
        const QString shared = QStringLiteral("clocksaver-runtime-%1").arg(::geteuid());
        QCOMPARE(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{shared});
        QCOMPARE(QFileInfo(temp.filePath(shared)).permissions(), QFile::Permissions(0x7700)); // rwx------
    }

    // The idle watcher on an X server with nothing better (its screen-saver extension), turned on
    // and off for the user's log-ins.
    void theWatcherShowsTheClocksWhenTheXServerIsIdle()
    {
        XvfbServer xvfb;
        ProgramCopy copy;
        QProcessEnvironment environment = xvfb.environment();
        for (const char *folder : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            environment.insert(QLatin1String(folder), copy.folder());
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
        const auto autostart = [&](const char *time) {
            return EndsCleanly(*copy.start({"--autostart", time}, environment), {});
        };
        const auto shows = [&] { return xvfb.xdotool({"search", "--sync", "--onlyvisible", "--name", "Hauptwin"}); };
        QVERIFY(xvfb.isRunning() && copy.isValid() && autostart("3s"));
        const QString entry = copy.filePath(QStringLiteral("autostart/clocksaver-watch.desktop"));
        QVERIFY(FileContents(entry).contains("\nExec=" + copy.programPath().toUtf8() + " --watch 3s\n"));
        QCOMPARE(xvfb.run(QStringLiteral("desktop-file-validate"), {entry}), QByteArray());
        QVERIFY(ClocksComeAndGo(copy, [&] { return shows() && xvfb.xdotool({"key", "x"}); }));
        // Not while the server's own screen saver is off.
        QCOMPARE(xvfb.run(QStringLiteral("xset"), {"s", "off"}), QByteArray());
        QTest::qWait(4000);
        QVERIFY(!QFile::exists(copy.lockPath()));
        xvfb.run(QStringLiteral("xset"), {"s", "on"});
        QVERIFY(TakesTheLock(copy.lockPath()) && shows());
        // Off ends the watcher, and its clocks.
        QVERIFY(autostart("off") && !QFile::exists(entry) && !QFile::exists(copy.lockPath()));
    }

    void ofManySimultaneousStartsExactlyOneRuns()
    {
        ProgramCopy copy;
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 20; ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProcessEnvironment(ProgramCopy::offscreenEnvironment());
            process->start(copy.programPath(), {"/S"});
            starts.push_back(std::move(process));
        }
        const auto running = [&] {
            return std::count_if(starts.begin(), starts.end(), [](auto &p) {
                p->waitForFinished(0);
                return p->state() != QProcess::NotRunning;
            });
        };
        QVERIFY(QTest::qWaitFor([&] { return running() == 1; }, 30000));
        QTest::qWait(500);
        QCOMPARE(running(), 1);
        for (auto &process : starts) {
            if (process->state() == QProcess::NotRunning) {
                QVERIFY(EndsCleanly(*process, {}));
            } else {
                process->terminate();
                QVERIFY(EndsBySignal(*process, SIGTERM, {}));
            }
        }
        QVERIFY(!QFile::exists(copy.lockPath()));
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "test_process.moc"
