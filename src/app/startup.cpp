#include "startup.h"

#include "app/base_path.h"
#include "app/instance_lock.h"
#include "app/quit_signals.h"
#include "hauptw/built_in_pictures.h"
#include "hauptw/hauptwin.h"
#include "settings/screenc.h"
#include "toolkit/host_window.h"
#include "toolkit/session_bus.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

int reportLockFailure(const InstanceLock &lock)
{
    std::fprintf(stderr, "clocksaver: %s\n", qPrintable(lock.errorString()));
    return 1;
}

// Runs the message loop until the one form of this run closes, by the user or by a quit signal.
void runMainForm(QWidget &form, QuitSignals &quitSignals)
{
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &form, &QWidget::close);
    form.show();
    QApplication::exec();
}

// XScreenSaver names a window of its own for the clocks; other hosts let them cover the screen.
// A host window that cannot be used ends the run as a normal one, so the lock goes too.
void runClockWindow(QuitSignals &quitSignals)
{
    if (!HostWindow::isNamed()) {
        THauptwin window;
        runMainForm(window, quitSignals);
        return;
    }
    HostWindow host;
    if (!host.open()) {
        std::fprintf(stderr, "clocksaver: %s\n", qPrintable(host.errorString()));
        return;
    }
    QObject::connect(&host, &HostWindow::vanished, [] { std::fprintf(stderr, "clocksaver: the host window is gone\n"); });
    THauptwin window(&host);
    runMainForm(window, quitSignals);
}

} // namespace

RunMode ModeFromArguments(const QStringList &arguments)
{
    const QString first = arguments.value(1).toUpper();
    if (first.left(2) == QLatin1String("/C"))
        return RunMode::Configure;
    if (first == QLatin1String("/S"))
        return RunMode::Show;
    return RunMode::None;
}

int RunClockSaver(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RunMode mode = ModeFromArguments(arguments);

    // A run without a form needs no display, so it gets no GUI application.
    std::unique_ptr<QCoreApplication> app;
    if (mode == RunMode::None) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        SkipMissingSessionBus();
        app = std::make_unique<QApplication>(argc, argv);
        // Only the dialog is a window anyone looks for by its icon.
        if (mode == RunMode::Configure)
            QApplication::setWindowIcon(ProgramIcon());
    }

    BasePath = BasePathFor(QCoreApplication::applicationFilePath());

    // Listen before the lock exists: a host may end us as soon as it sees us running, and a
    // quit that arrives before the message loop still closes the form once the loop starts.
    QuitSignals quitSignals;

    InstanceLock lock;
    switch (lock.acquire(BasePath)) {
    case InstanceLock::Outcome::HeldElsewhere:
        return 0;
    case InstanceLock::Outcome::Failed:
        return reportLockFailure(lock);
    case InstanceLock::Outcome::Acquired:
        break;
    }

    if (mode == RunMode::Configure) {
        Tscreenconfig dialog;
        runMainForm(dialog, quitSignals);
    } else if (mode == RunMode::Show) {
        runClockWindow(quitSignals);
    }

    if (!lock.release())
        return reportLockFailure(lock);
    return 0;
}
