#include "quit_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array QuitSignalNumbers{SIGTERM, SIGHUP, SIGINT};
int wakePipe[2] = {-1, -1};

extern "C" void onQuitSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[64];
        while (::read(wakePipe[0], buffer, sizeof buffer) > 0) {
        }
        emit quitRequested();
    });
    struct sigaction action{};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : QuitSignalNumbers)
        ::sigaction(number, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    struct sigaction action{};
    action.sa_handler = SIG_DFL;
    for (const int number : QuitSignalNumbers)
        ::sigaction(number, &action, nullptr);
    delete notifier_;
    ::close(wakePipe[0]);
    ::close(wakePipe[1]);
    wakePipe[0] = wakePipe[1] = -1;
}
