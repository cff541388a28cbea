// Ticking and ending the saver: every repaint counts up to five, any key ends the saver at
// once, mouse movement only once five repaints have passed.

#include "clock_window_fixture.h"

#include <QSignalSpy>

// The repaints that pass before mouse movement ends the saver, as its users are told.
constexpr std::uint8_t GraceRepaints = 5;

class TestHauptwinDismissal : public QObject
{
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<ClockWindowFixture>(); }
    void cleanup() { fixture_.reset(); }
    void timerRepaintsSeveralTimesASecond();
    void timerSleepsThroughTicksThatChangeNothing_data();
    void timerSleepsThroughTicksThatChangeNothing();
    void anyKeyEndsTheSaverAtOnce_data();
    void anyKeyEndsTheSaverAtOnce();
    void mouseMovementEndsTheSaverOnlyAfterFiveRepaints();

private:
    std::unique_ptr<ClockWindowFixture> fixture_;
};

void TestHauptwinDismissal::timerRepaintsSeveralTimesASecond()
{
    fixture_->now = QTime(8, 15, 0);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const QImage first = drawnPicture(*window);
    window->TimerUhr->start();
    fixture_->now = QTime(8, 15, 1);
    QTRY_VERIFY_WITH_TIMEOUT(drawnPicture(*window) != first, 600);
    QTRY_COMPARE_WITH_TIMEOUT(window->TickCount, GraceRepaints, 2000);
}

void TestHauptwinDismissal::timerSleepsThroughTicksThatChangeNothing_data()
{
    QTest::addColumn<int>("millisecond");
    QTest::addColumn<int>("delay");
    // The first 300 ms step past the next second, which starts in 1000 - millisecond ms.
    QTest::newRow("second just begun") << 0 << 1200;
    QTest::newRow("a quarter in") << 250 << 900;
    QTest::newRow("one step before the turn") << 700 << 600;
    QTest::newRow("a step from the turn") << 701 << 300;
    QTest::newRow("last millisecond") << 999 << 300;
}

void TestHauptwinDismissal::timerSleepsThroughTicksThatChangeNothing()
{
    QFETCH(int, millisecond);
    QFETCH(int, delay);
    fixture_->now = QTime(8, 15, 0, millisecond);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    // In the grace period every step counts.
    for (int tick = window->TickCount; tick < GraceRepaints; ++tick) {
        QCOMPARE(window->nextTickDelay(), THauptwin::TickInterval);
        window->TimerUhrTimer();
    }
    QCOMPARE(window->nextTickDelay(), delay);
    // Dials behind the clock tick at the next step.
    fixture_->now = QTime(8, 15, 1, millisecond);
    QCOMPARE(window->nextTickDelay(), THauptwin::TickInterval);
    window->TimerUhrTimer();
    QCOMPARE(window->nextTickDelay(), delay);
}

void TestHauptwinDismissal::anyKeyEndsTheSaverAtOnce_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier);
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier);
}

void TestHauptwinDismissal::anyKeyEndsTheSaverAtOnce()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    // Before the timer's first tick: only showing and painting have counted.
    QVERIFY(window->TickCount < GraceRepaints);
    QTest::keyPress(window.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!window->isVisible());
}

void TestHauptwinDismissal::mouseMovementEndsTheSaverOnlyAfterFiveRepaints()
{
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    // Showing and painting count as repaints, and the timer is stopped: each tick is ours.
    QSignalSpy moves(window->bild, &ImageControl::mouseMoved);
    int x = 100;
    for (int tick = window->TickCount; tick < GraceRepaints; ++tick) {
        QTest::mouseMove(window->bild, QPoint(x += 10, 200));
        QVERIFY(window->isVisible());
        window->TimerUhrTimer();
    }
    QVERIFY(moves.count() >= 1);
    // Past 255 an 8-bit count that kept counting would start again from 0, and the grace with it.
    for (int tick = 0; tick < 300; ++tick)
        window->FormPaint();
    QCOMPARE(window->TickCount, GraceRepaints);
    window->TimerUhr->start();
    QTest::mouseMove(window->bild, QPoint(x += 10, 200));
    QVERIFY(!window->isVisible());
    QVERIFY(!window->TimerUhr->isActive());
}

QTEST_MAIN(TestHauptwinDismissal)
#include "test_hauptwin_dismissal.moc"
