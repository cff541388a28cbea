// The real program in show mode on an X server, with the computer's clock fixed by libfaketime:
// the screen shows the hands where that time says on both dials and the text at the top; early
// mouse movement is ignored, later movement and any key end the saver cleanly, a click or a
// wheel turn without movement does not; between ticks the program sleeps. With two monitors
// the clocks fill the primary one, the bands beside them and the other monitor are black, and
// movement there ends the saver too. Another monitor made primary takes the clocks.

#include "support/fixed_clock.h"
#include "support/hand_colours.h"
#include "support/picture_difference.h"
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QFile>
#include <QTest>

namespace {

// CPU time the process has used so far, in clock ticks.
long cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command name, which is in parentheses: utime and stime are 12th and 13th.
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return fields.value(11).toLong() + fields.value(12).toLong();
}

int redPixels(const QImage &screen)
{
    int count = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            count += isRed(screen.pixel(x, y));
    return count;
}

} // namespace

class TestClockProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void handsShowTheTimeOnBothDialsAndTextAtTheTop_data();
    void handsShowTheTimeOnBothDialsAndTextAtTheTop();
    void programSleepsBetweenTicks();
    void earlyMouseMovementIsIgnoredAndLaterMovementEnds();
    void keyEndsTheSaver();
    void clickAndWheelTurnWithoutMovementLeaveItRunning();
    void clocksOnThePrimaryMonitorAndMovementOnTheOtherEnds();
    void clocksFollowTheMonitorMadePrimary();

private:
    bool startShowMode();
    bool moveToAndFroUntilItEnds(int x, int y);

    std::unique_ptr<ProgramCopy> copy_;
    std::unique_ptr<XvfbServer> xvfb_;
    std::unique_ptr<QProcess> process_;
};

void TestClockProgram::initTestCase()
{
    QVERIFY2(!FakeTimeLibrary.isEmpty(), "libfaketime is not installed (Debian package faketime)");
}

void TestClockProgram::init()
{
    copy_ = std::make_unique<ProgramCopy>();
    QVERIFY(copy_->isValid());
    QVERIFY(copy_->writeSettings(FixedClockSettings));
}

// Starts show mode on the test's X server, a 1024x768 one unless the test set up another; true
// once the clocks' window shows.
bool TestClockProgram::startShowMode()
{
    if (!xvfb_)
        xvfb_ = std::make_unique<XvfbServer>(1024, 768);
    if (!xvfb_->isRunning())
        return false;
    process_ = copy_->start({QStringLiteral("/S")}, withFixedClock(xvfb_->environment()));
    return xvfb_->xdotool({"search", "--sync", "--onlyvisible", "--name", "Hauptwin"});
}

// Moves during the grace period are ignored, so the pointer goes to and fro until one ends the
// saver; once one has, a move may find no window.
bool TestClockProgram::moveToAndFroUntilItEnds(int x, int y)
{
    return QTest::qWaitFor(
        [&] {
            xvfb_->xdotool({"mousemove", QString::number(x ^= 1), QString::number(y)});
            return process_->state() == QProcess::NotRunning;
        },
        10000);
}

void TestClockProgram::cleanup()
{
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
    process_.reset();
    xvfb_.reset();
    copy_.reset();
}

void TestClockProgram::handsShowTheTimeOnBothDialsAndTextAtTheTop_data()
{
    QTest::addColumn<QStringList>("serverArguments");
    QTest::newRow("memory shared with the server") << QStringList();
    // As over a network: every pixel goes over the connection.
    QTest::newRow("no shared memory") << QStringList{QStringLiteral("-extension"), QStringLiteral("MIT-SHM")};
}

void TestClockProgram::handsShowTheTimeOnBothDialsAndTextAtTheTop()
{
    QFETCH(QStringList, serverArguments);
    xvfb_ = std::make_unique<XvfbServer>(1024, 768, serverArguments);
    QVERIFY(startShowMode());
    // The first drawing comes with the first show; what is wrong with the last screen is told below.
    QImage screen;
    static_cast<void>(
        QTest::qWaitFor([&] { return clockFaults(screen = xvfb_->screenshot(), QRect(0, 0, 1024, 768)).isEmpty(); }, 10000));
    QCOMPARE(screen.size(), QSize(1024, 768));
    const QStringList faults = clockFaults(screen, screen.rect());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    // The seconds run on: the second hands move and leave no trace of where they were.
    QImage later;
    QVERIFY(QTest::qWaitFor([&] { return (later = xvfb_->screenshot()) != screen; }, 5000));
    QVERIFY2(redPixels(later) < redPixels(screen) * 3 / 2,
             qPrintable(QStringLiteral("%1 red pixels, first %2").arg(redPixels(later)).arg(redPixels(screen))));
}

void TestClockProgram::programSleepsBetweenTicks()
{
    QVERIFY(startShowMode());
    // Past the start-up work: the clocks are drawn.
    QVERIFY(QTest::qWaitFor([&] { return clockFaults(xvfb_->screenshot(), QRect(0, 0, 1024, 768)).isEmpty(); }, 10000));
    const long before = cpuTicks(process_->processId());
    QTest::qWait(3000);
    const long used = cpuTicks(process_->processId()) - before;
    QVERIFY(before >= 0);
    // A repaint that led to another would keep the processor busy the whole time (300 ticks).
    qInfo() << used << "clock ticks of processor time in 3 s";
    QVERIFY(used < 30);
}

void TestClockProgram::earlyMouseMovementIsIgnoredAndLaterMovementEnds()
{
    QVERIFY(startShowMode());
    // Show and paint events count towards the grace period as timer ticks do, so the early
    // movement comes as soon as the window is on screen, not after a fixed wait.
    QVERIFY(xvfb_->xdotool({"mousemove", "500", "300"}));
    QVERIFY(xvfb_->xdotool({"mousemove", "510", "310"}));
    QTest::qWait(200);
    QCOMPARE(process_->state(), QProcess::Running);
    QVERIFY(moveToAndFroUntilItEnds(520, 320));
    QVERIFY(EndsCleanly(*process_, copy_->lockPath(), 5000));
}

void TestClockProgram::keyEndsTheSaver()
{
    QVERIFY(startShowMode());
    QVERIFY(xvfb_->xdotool({"key", "x"}));
    QVERIFY(EndsCleanly(*process_, copy_->lockPath(), 5000));
}

// Qt makes up a mouse move for a click at a position it has not seen yet; the pointer has not
// moved since the window showed, so no position is new.
void TestClockProgram::clickAndWheelTurnWithoutMovementLeaveItRunning()
{
    QVERIFY(startShowMode());
    QTest::qWait(3000); // well past the grace period of five repaints 300 ms apart
    QVERIFY(xvfb_->xdotool({"click", "1"}));
    QVERIFY(xvfb_->xdotool({"click", "4"}));
    QVERIFY(xvfb_->xdotool({"click", "5"}));
    QTest::qWait(1000);
    QCOMPARE(process_->state(), QProcess::Running);
    QVERIFY(xvfb_->xdotool({"key", "x"}));
    QVERIFY(EndsCleanly(*process_, copy_->lockPath(), 5000));
}

// Each run once ended in a crash when the pointer moved onto the other monitor.
void TestClockProgram::clocksOnThePrimaryMonitorAndMovementOnTheOtherEnds()
{
    xvfb_ = XvfbServer::withTwoMonitors();
    const QRect primary(0, 0, 1920, 1080);
    const QRect other(1920, 0, 1280, 1024);
    for (int run = 1; run <= 5; ++run) {
        QVERIFY(startShowMode());
        QImage screen;
        QStringList faults;
        const bool drawn = QTest::qWaitFor(
            [&] {
                screen = xvfb_->screenshot();
                faults = clockFaults(screen, primary);
                return faults.isEmpty();
            },
            10000);
        QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));
        QVERIFY(IsBlack(screen, other));
        // The windows of the bands beside the picture paint nothing of their own.
        QVERIFY(IsBlack(screen, QRect(0, 0, 240, 1080)) && IsBlack(screen, QRect(1680, 0, 240, 1080)));
        QVERIFY(moveToAndFroUntilItEnds(other.left() + 100, 500));
        QVERIFY(EndsCleanly(*process_, copy_->lockPath(), 5000));
        if (QTest::currentTestFailed())
            return;
    }
}

// A monitor made primary while the saver runs takes the clocks; the one they left goes black.
void TestClockProgram::clocksFollowTheMonitorMadePrimary()
{
    xvfb_ = XvfbServer::withTwoMonitors(true);
    QVERIFY(startShowMode());
    const auto clocksOnlyOn = [this](const QRect &monitor, const QRect &other) {
        return QTest::qWaitFor(
            [&] {
                const QImage screen = xvfb_->screenshot();
                return clockFaults(screen, monitor).isEmpty() && IsBlack(screen, other);
            },
            10000);
    };
    const QRect first(0, 0, 1920, 1080);
    const QRect second(1920, 0, 1280, 1024);
    QVERIFY(clocksOnlyOn(first, second));
    int exitCode = -1;
    xvfb_->run(QStringLiteral("xrandr"), {"--output", "screen", "--primary"}, &exitCode);
    QCOMPARE(exitCode, 0);
    QVERIFY(clocksOnlyOn(second, first));
}

QTEST_GUILESS_MAIN(TestClockProgram)
#include "test_clock_program.moc"
