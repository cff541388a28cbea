#include "idle_watcher.h"

#include "watch/desktop_inhibitors.h"

namespace {

constexpr int EndWaitMs = 5000;

} // namespace

IdleWatcher::IdleWatcher(IdleSource &source, std::chrono::milliseconds idleTime, const QString &program)
    : source_(source), program_(program)
{
    clocks_.setProcessChannelMode(QProcess::ForwardedChannels);
    clocks_.setInputChannelMode(QProcess::ForwardedInputChannel);
    heldBack_.setSingleShot(true);
    heldBack_.setInterval(idleTime);
    connect(&source_, &IdleSource::idle, this, &IdleWatcher::onIdle);
    connect(&heldBack_, &QTimer::timeout, this, [this] {
        if (source_.stillIdle())
            onIdle();
    });
}

IdleWatcher::~IdleWatcher()
{
    endClocks();
}

void IdleWatcher::endClocks(int graceMs)
{
    if (clocks_.state() == QProcess::NotRunning || clocks_.waitForFinished(graceMs))
        return;
    clocks_.terminate();
    if (!clocks_.waitForFinished(EndWaitMs))
        clocks_.kill();
    clocks_.waitForFinished(EndWaitMs);
}

void IdleWatcher::onIdle()
{
    if (clocks_.state() != QProcess::NotRunning)
        return;
    if (source_.savingDisabled() || DesktopHoldsIdleBack()) {
        heldBack_.start();
        return;
    }
    clocks_.start(program_, {QStringLiteral("/S")});
}
