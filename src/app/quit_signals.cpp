#include "quit_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array QuitSignalNumbers{SIGTERM, SIGHUP, SIGINT};
int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t firstQuitSignal = 0;

extern "C" void onQuitSignal(int number)
{
    const int savedErrno = errno;
    if (firstQuitSignal == 0)
        firstQuitSignal = number;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

sigset_t quitSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : QuitSignalNumbers)
        sigaddset(&set, number);
    return set;
}

} // namespace

QString CatchQuitSignals()
{
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return QStringLiteral("cannot listen for quit signals: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    const sigset_t quitSignals = quitSignalSet();
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    // One handler at a time, so the first signal is the one recorded.
    action.sa_mask = quitSignals;
    action.sa_flags = SA_RESTART;
    for (const int number : QuitSignalNumbers) {
        if (::sigaction(number, &action, nullptr) != 0)
            return QStringLiteral("cannot catch signal %1: %2")
                .arg(number)
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    // A host may start the program with them blocked.
    ::sigprocmask(SIG_UNBLOCK, &quitSignals, nullptr);
    return {};
}

int ReceivedQuitSignal()
{
    return firstQuitSignal;
}

void OnQuitSignal(QObject *context, std::function<void()> quit)
{
    auto *notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [quit = std::move(quit)] {
        char buffer[64];
        while (::read(wakePipe[0], buffer, sizeof buffer) > 0) {
        }
        quit();
    });
}

void EndByQuitSignal()
{
    const int number = firstQuitSignal;
    // Hold back any later quit signal, so the first one decides the end.
    const sigset_t quitSignals = quitSignalSet();
    ::sigprocmask(SIG_BLOCK, &quitSignals, nullptr);
    std::signal(number, SIG_DFL);
    std::raise(number);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    std::_Exit(128 + number);
}
