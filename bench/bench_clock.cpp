// Prints what the clock screen costs on screens of three sizes: one drawing call, one tick with
// its screen update (hands moved, and the same second again), the time from start to the first
// frame, and processor use while it runs. Each size runs in a child process on Qt's offscreen
// platform set up with a screen of that size.
#include "settings/base_path.h"
#include "hauptw/hauptwin.h"
#include "opdate/opdate.h"
#include "support/paint_recorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <vector>
#include <sys/resource.h>

namespace {

constexpr int DrawingCalls = 600;
constexpr int Ticks = 200;
constexpr int ColdTicks = 50;
constexpr int Shadings = 20;
constexpr int RunSeconds = 10;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Writes over more memory than the processor caches hold, as a second of other programs'
// work does between two ticks.
void evictCaches()
{
    static std::vector<char> other(64 << 20);
    for (std::size_t i = 0; i < other.size(); i += 64)
        other[i] = char(other[i] + 1);
}

// Lets the event loop run until nothing is left that the last drawing call started.
void settle()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

// Average microseconds of one call of the step.
template<typename Step>
double microsecondsPer(int calls, Step step)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        step();
    return double(timer.nsecsElapsed()) / 1e3 / calls;
}

// One screen size, in this process; prints one line of figures.
int measure(const QString &screen)
{
    QTemporaryDir settingsFolder;
    BasePath = settingsFolder.filePath(QStringLiteral("clocksaver.in1"));
    QTime now(10, 8, 0);
    SetWallClock([&now] { return now; });

    THauptwin window;
    PaintRecorder probe(*window.bild);
    window.TimerUhr->stop();
    window.show();
    while (probe.paints == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("first-frame\n");
    std::fflush(stdout);

    const double drawing = microsecondsPer(DrawingCalls, [&] {
        now = now.addSecs(1);
        window.PaintBoxSekundePaint();
    });
    settle();

    probe.paints = 0;
    probe.pixels = 0;
    const double movingTick = microsecondsPer(Ticks, [&] {
        now = now.addSecs(1);
        window.TimerUhrTimer();
        settle();
    });
    const double pixelsPerTick = double(probe.pixels) / Ticks;

    // The same with cold caches, as after the second's sleep between two real moving ticks.
    QElapsedTimer coldTimer;
    qint64 coldNanoseconds = 0;
    for (int tick = 0; tick < ColdTicks; ++tick) {
        evictCaches();
        now = now.addSecs(1);
        coldTimer.start();
        window.TimerUhrTimer();
        settle();
        coldNanoseconds += coldTimer.nsecsElapsed();
    }
    const double coldTick = double(coldNanoseconds) / 1e3 / ColdTicks;

    // A shading of the globes, as every two minutes: caches cold, the sun moved on.
    QElapsedTimer shadingTimer;
    qint64 shadingNanoseconds = 0;
    std::int64_t instant = CurrentEpochSecond();
    probe.pixels = 0;
    for (int shading = 0; shading < Shadings; ++shading) {
        evictCaches();
        instant += THauptwin::ShadingPeriod;
        shadingTimer.start();
        window.shadeGlobes(instant);
        settle();
        shadingNanoseconds += shadingTimer.nsecsElapsed();
    }
    const double shadingMs = double(shadingNanoseconds) / 1e6 / Shadings;
    const double pixelsPerShading = double(probe.pixels) / Shadings;

    probe.paints = 0;
    const double sameSecondTick = microsecondsPer(Ticks, [&] {
        window.TimerUhrTimer();
        settle();
    });
    const int sameSecondPaints = probe.paints;

    // Real time and the real timer: what the saver costs while someone is away.
    SetWallClock({});
    window.TimerUhr->start();
    const double cpuBefore = cpuSeconds();
    QTimer::singleShot(RunSeconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    const double cpuPercent = (cpuSeconds() - cpuBefore) / RunSeconds * 100.0;

    std::printf("%-10s %10.0f %12.0f %10.0f %14.0f %12.0f %12d %10.2f %13.0f %9.2f %%\n", qPrintable(screen), drawing,
                movingTick, coldTick, pixelsPerTick, sameSecondTick, sameSecondPaints, shadingMs, pixelsPerShading,
                cpuPercent);
    return 0;
}

// Runs this program once per screen size and prints the table.
int runAll(const QString &self)
{
    std::printf("%-10s %10s %12s %10s %14s %12s %12s %10s %13s %11s %12s\n", "screen", "draw (us)", "tick (us)", "cold (us)",
                "tick pixels", "same s (us)", "same s paints", "shade (ms)", "shade pixels", "CPU", "first frame");
    std::fflush(stdout);
    // Each entry is "WIDTHxHEIGHT=PLATFORM", the platform set up with a screen of that size.
    for (const QString &entry : QStringLiteral(BENCH_SCREENS).split(QLatin1Char(','))) {
        const QString screen = entry.section(QLatin1Char('='), 0, 0);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), entry.section(QLatin1Char('='), 1));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer sinceStart;
        sinceStart.start();
        child.start(self, {QStringLiteral("--screen"), screen});
        qint64 firstFrameMs = -1;
        QByteArray output;
        while (child.waitForReadyRead(60000) || child.bytesAvailable() > 0) {
            output += child.readAll();
            if (firstFrameMs < 0 && output.contains("first-frame\n"))
                firstFrameMs = sinceStart.elapsed();
            if (output.count('\n') >= 2)
                break;
        }
        child.waitForFinished(60000);
        const QByteArray line = output.split('\n').value(1);
        std::printf("%s %9lld ms\n", line.constData(), firstFrameMs);
        std::fflush(stdout);
    }
    std::printf("\ndraw: one drawing call (both dials, hands moved one second)\n"
                "tick: one timer tick with its screen update, hands moved; cold: the same after the caches were\n"
                "  filled with other data; tick pixels: screen pixels repainted\n"
                "same s: a tick in the same second as the last; same s paints: screen repaints it caused (of %d)\n"
                "shade: shading both globes for a new instant and showing them, caches cold, as every %lld s;\n"
                "  shade pixels: screen pixels repainted for it\n"
                "CPU: processor use over %d s of real ticking; first frame: process start to first paint\n",
                Ticks, static_cast<long long>(THauptwin::ShadingPeriod), RunSeconds);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--screen") {
        QApplication app(argc, argv);
        return measure(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    return runAll(QCoreApplication::applicationFilePath());
}
