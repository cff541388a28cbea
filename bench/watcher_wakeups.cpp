// The idle watcher's cost while the user is busy: under each headless compositor the tests use,
// it watches for 5 s of idle time while input comes once a second for a minute, and this prints
// how often each of its threads ran in that minute (from /proc's schedstat) and its peak memory.
// The clocks must not come meanwhile, and must come once the input stops.

#include "support/idle_watch.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

// How many times each of the process's threads has run so far.
QList<qint64> timesRun(qint64 pid)
{
    QList<qint64> counts;
    for (const QString &task : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        counts << FileContents(QStringLiteral("/proc/%1/task/%2/schedstat").arg(pid).arg(task))
                      .split(' ')
                      .value(2)
                      .toLongLong();
    return counts;
}

QByteArray peakMemory(qint64 pid)
{
    for (const QByteArray &line : FileContents(QStringLiteral("/proc/%1/status").arg(pid)).split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified();
    return "?";
}

void measure(const char *name, HeadlessCompositor::Desktop desktop)
{
    HeadlessCompositor compositor(desktop);
    ProgramCopy copy;
    QProcess watcher;
    if (!compositor.isRunning() || !copy.isValid() || !QFile::setPermissions(copy.folder(), QFile::Permissions(0x7777))) {
        std::printf("%-12s compositor did not start\n", name);
        return;
    }
    compositor.start(watcher, copy.programPath(), {"--watch", "5s"});
    // Sway's input comes from one lasting pointer device: each wtype run would be a new keyboard,
    // which the compositor announces to every client.
    std::unique_ptr<VirtualPointer> pointer;
    if (desktop == HeadlessCompositor::Desktop::Sway)
        pointer = std::make_unique<VirtualPointer>(compositor);
    QTest::qWait(3000);
    const QList<qint64> before = timesRun(watcher.processId());
    for (int second = 0; second < 60; ++second) {
        if (pointer)
            pointer->move(second % 2 ? 1 : -1, 0);
        else
            compositor.key(QStringLiteral("Escape"));
        QTest::qWait(1000);
    }
    const QList<qint64> after = timesRun(watcher.processId());
    const bool keptAway = !QFile::exists(copy.lockPath());
    const bool cameAfter = TakesTheLock(copy.lockPath(), 15000);
    QByteArray runs;
    for (int thread = 0; thread < after.size(); ++thread)
        runs += QByteArray::number(after[thread] - before.value(thread)) + ' ';
    std::printf("%-12s thread runs in 60 s of input: %-8s peak memory: %s  clocks: %s\n", name, runs.constData(),
                peakMemory(watcher.processId()).constData(),
                keptAway && cameAfter ? "away while busy, came after" : "WRONG");
    std::fflush(stdout);
    watcher.terminate();
    watcher.waitForFinished(10000);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    measure("sway", HeadlessCompositor::Desktop::Sway);
    measure("gnome-shell", HeadlessCompositor::Desktop::GnomeShell);
    measure("KWin", HeadlessCompositor::Desktop::KWin);
}
