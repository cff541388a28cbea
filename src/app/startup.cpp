#include "startup.h"

#include "settings/base_path.h"
#include "app/compositor_loss.h"
#include "app/display_check.h"
#include "app/failure_report.h"
#include "app/instance_lock.h"
#include "app/quit_signals.h"
#include "app/runtime_folder.h"
#include "app/usage.h"
#include "app/watcher_start.h"
#include "hauptw/built_in_pictures.h"
#include "hauptw/hauptwin.h"
#include "settings/screenc.h"
#include "windowing/display_platform.h"
#include "windowing/host_window.h"
#include "windowing/session_bus.h"

#include <QApplication>
#include <QFileInfo>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Only the letters a to z: Unicode upper-casing would make "/ſ" (long s) into "/S".
QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return text;
}

// What QCoreApplication::applicationFilePath() gives, needed before any application object.
QString programFilePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

InstanceLock::Kind lockKindFor(RunMode mode)
{
    if (mode == RunMode::Configure)
        return InstanceLock::Kind::Dialog;
    // A host decides how many copies draw into its windows; a run without a form never waits.
    if (mode == RunMode::Show && !HostWindow::isNamed())
        return InstanceLock::Kind::FullScreen;
    return InstanceLock::Kind::Shared;
}

// Qt ends the program with exit() when it loses the X server, and with _exit() when it loses a
// Wayland compositor; the lock goes then too. The loss may be found on Qt's thread that reads from
// the compositor while the GUI thread ends the run: whoever takes the lock from here releases it.
std::atomic<InstanceLock *> lockToReleaseAtExit = nullptr;

void releaseLockAtExit()
{
    if (InstanceLock *lock = lockToReleaseAtExit.exchange(nullptr))
        lock->release();
}

int reportLockFailure(const InstanceLock &lock)
{
    ReportFailure(lock.errorString());
    return 1;
}

// Runs the message loop until the one form of this run closes, by the user or by a quit signal.
void runMainForm(QWidget &form)
{
    OnQuitSignal(&form, [&form] { form.close(); });
    form.show();
    QApplication::exec();
}

// XScreenSaver names a window of its own for the clocks; other hosts let them cover the screen.
// A host window that cannot be used ends the run as a normal one, so the lock goes too.
void runClockWindow()
{
    if (!HostWindow::isNamed()) {
        THauptwin window;
        runMainForm(window);
        return;
    }
    HostWindow host;
    if (!host.open()) {
        ReportFailure(host.errorString());
        return;
    }
    QObject::connect(&host, &HostWindow::vanished, [] { ReportFailure(QStringLiteral("the host window is gone")); });
    THauptwin window(&host);
    runMainForm(window);
}

// The form of the mode, unless a quit signal came first. Returns the exit code.
int runForm(RunMode mode, int &argc, char **argv)
{
    if (mode == RunMode::None || ReceivedQuitSignal() != 0)
        return 0;
    const DisplayCheck display;
    if (!display.problem().isEmpty()) {
        ReportFailure(display.problem());
        return 1;
    }
    if (!display.platform().isEmpty())
        qputenv("QT_QPA_PLATFORM", display.platform().toLatin1());
    SkipWaylandWindowFrames();
    SkipMissingSessionBus();
    const PrivateRuntimeFolder runtimeFolder;
    OnCompositorLost(releaseLockAtExit);
    // Qt 6.4's Wayland plugin now and then hangs for good while it takes down its connection
    // (it waits for its reading thread, which waits for a read the GUI thread never makes). The
    // application holds nothing that needs tidying away, so there it is never taken down.
    auto app = std::make_unique<QApplication>(argc, argv);
    if (mode == RunMode::Configure) {
        // Only the dialog is a window anyone looks for by its icon.
        QApplication::setWindowIcon(ProgramIcon());
        Tscreenconfig dialog;
        runMainForm(dialog);
    } else {
        runClockWindow();
    }
    if (OnWayland())
        app.release();
    return 0;
}

int runLocked(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RunMode mode = ModeFromArguments(arguments);

    if (IsHelpRequest(arguments))
        std::fputs(qPrintable(UsageText(QFileInfo(arguments.value(0)).fileName(), BasePathInUse(programFilePath()))),
                   stdout);
    if (IsVersionRequest(arguments))
        std::fputs("clocksaver " CLOCKSAVER_VERSION "\n", stdout);

    // Before anything needs the display: a start the lock turns away needs none. The lock goes
    // beside the program where the folder lets us make it, else into the user's own folder.
    InstanceLock lock;
    InstanceLock::Outcome locked = InstanceLock::Outcome::Failed;
    BasePath = ChooseBasePath(programFilePath(), [&](const QString &path) {
        locked = lock.acquire(path, lockKindFor(mode));
        return locked != InstanceLock::Outcome::Failed || !lock.placeNotWritable();
    });
    switch (locked) {
    case InstanceLock::Outcome::HeldElsewhere:
        return 0;
    case InstanceLock::Outcome::Failed:
        return reportLockFailure(lock);
    case InstanceLock::Outcome::Acquired:
        break;
    }
    lockToReleaseAtExit = &lock;
    const int exitCode = runForm(mode, argc, argv);
    // Gone: the compositor's loss releases the lock and ends the program with its own report.
    if (!lockToReleaseAtExit.exchange(nullptr))
        AwaitEndByCompositorLoss();
    if (!lock.release())
        return reportLockFailure(lock);
    return exitCode;
}

} // namespace

RunMode ModeFromArguments(const QStringList &arguments)
{
    const QString first = asciiUpper(arguments.value(1));
    if (first.left(2) == QLatin1String("/C"))
        return RunMode::Configure;
    // XScreenSaver's display programs take -root for "draw the screen saver", in the window it
    // names or else over the whole screen.
    const QString exact = arguments.value(1);
    if (first == QLatin1String("/S") || exact == QLatin1String("-root") || exact == QLatin1String("--root"))
        return RunMode::Show;
    return RunMode::None;
}

int RunClockSaver(int &argc, char **argv)
{
    if (IsWatcherRequest(argc, argv))
        return StartWatcher(argc, argv);
    // Without them a host could not end the run cleanly, nor ever free the lock.
    const QString notListening = CatchQuitSignals();
    if (!notListening.isEmpty()) {
        ReportFailure(notListening);
        return 1;
    }
    std::atexit(releaseLockAtExit);
    const int exitCode = runLocked(argc, argv);
    if (exitCode == 0 && ReceivedQuitSignal() != 0)
        EndByQuitSignal();
    return exitCode;
}
