// The picture's path: centred at first, steps of one pixel each way every two and a half
// minutes, never beyond 1 % of the screen's height, back at the start after its last step.

#include "windowing/picture_wander.h"

#include <QTest>

#include <cmath>

using namespace std::chrono_literals;

class TestPictureWander : public QObject
{
    Q_OBJECT
private slots:
    void stepsComeEveryStepInterval_data();
    void stepsComeEveryStepInterval();
    void pathStaysWithinReachInSmallSteps_data();
    void pathStaysWithinReachInSmallSteps();
};

void TestPictureWander::stepsComeEveryStepInterval_data()
{
    QTest::addColumn<qint64>("shownMs");
    QTest::addColumn<qint64>("step");
    QTest::newRow("start") << 0LL << 0LL;
    QTest::newRow("two minutes") << 120'000LL << 0LL;
    QTest::newRow("just before the first step") << 149'999LL << 0LL;
    QTest::newRow("first step") << 150'000LL << 1LL;
    QTest::newRow("twenty minutes") << 1'200'000LL << 8LL;
    QTest::newRow("a week") << 604'800'000LL << 4032LL;
}

void TestPictureWander::stepsComeEveryStepInterval()
{
    QFETCH(qint64, shownMs);
    QFETCH(qint64, step);
    QCOMPARE(PictureWander::stepAt(std::chrono::milliseconds(shownMs)), step);
}

void TestPictureWander::pathStaysWithinReachInSmallSteps_data()
{
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("reach");
    QTest::newRow("host preview") << 150 << 1;
    QTest::newRow("small host window") << 240 << 2;
    QTest::newRow("768") << 768 << 7;
    QTest::newRow("1080") << 1080 << 10;
    QTest::newRow("2160") << 2160 << 21;
    QTest::newRow("8K") << 4320 << 43;
}

void TestPictureWander::pathStaysWithinReachInSmallSteps()
{
    QFETCH(int, screenHeight);
    QFETCH(int, reach);
    const PictureWander wander(screenHeight);
    QCOMPARE(wander.reach(), reach);
    QCOMPARE(wander.offsetAt(0), QPoint(0, 0));
    QCOMPARE(wander.offsetAt(wander.length()), QPoint(0, 0));
    int farthest = 0;
    for (int step = 0; step < wander.length(); ++step) {
        const QPoint here = wander.offsetAt(step);
        const QPoint move = wander.offsetAt(step + 1) - here;
        QVERIFY2(std::hypot(here.x(), here.y()) <= reach, qPrintable(QStringLiteral("step %1 too far").arg(step)));
        QVERIFY2(wander.length() == 1 || (std::max(std::abs(move.x()), std::abs(move.y())) == 1),
                 qPrintable(QStringLiteral("step %1 moves by %2,%3").arg(step).arg(move.x()).arg(move.y())));
        farthest = std::max(farthest, std::max(std::abs(here.x()), std::abs(here.y())));
    }
    // It really goes out, and a window too small to wander stays put.
    QVERIFY(farthest >= reach - 1);
    QCOMPARE(wander.length() == 1, reach <= 1);
}

QTEST_GUILESS_MAIN(TestPictureWander)
#include "test_picture_wander.moc"
