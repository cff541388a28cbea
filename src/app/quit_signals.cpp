#include "quit_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Every signal whose default action would end the program without a word: hosts, terminals and
// timers send them. The faults (SEGV, BUS, FPE, ILL, ABRT, TRAP, SYS) keep their default action.
constexpr std::array EndingSignals{SIGHUP,  SIGINT,    SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2,
                                   SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGPOLL};
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

// The ending signals and the real-time ones, which also end a program by default.
std::vector<int> quitSignalNumbers()
{
    std::vector<int> numbers(EndingSignals.begin(), EndingSignals.end());
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number)
        numbers.push_back(number);
    return numbers;
}

sigset_t quitSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : quitSignalNumbers())
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
    for (const int number : quitSignalNumbers()) {
        if (::sigaction(number, &action, nullptr) != 0)
            return QStringLiteral("cannot catch signal %1: %2")
                .arg(number)
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    // A write to a host that stopped reading our standard error fails with EPIPE instead.
    std::signal(SIGPIPE, SIG_IGN);
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
    // SIGQUIT, SIGXCPU and SIGXFSZ dump core by default: of a clean end, that is only litter.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    std::signal(number, SIG_DFL);
    std::raise(number);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    std::_Exit(128 + number);
}
