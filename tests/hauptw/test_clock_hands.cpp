// Where the hands of one dial end and how they are drawn: second hand, then minute and hour
// hands over it, then the grey hub over all three.

#include "hand_colours.h"
#include "hauptw/clock_hands.h"
#include "toolkit/bitmap.h"

#include <QTest>

namespace {

constexpr int Radius = 95;
const QPoint Centre(100, 100);

QImage handsAt(int h, int m, int s)
{
    Bitmap dial;
    dial.setSize(200, 200);
    DrawHandsAndHub(dial.canvas(), Centre, Radius, SecondsFromHms(h, m, s));
    return dial.image();
}

} // namespace

class TestClockHands : public QObject
{
    Q_OBJECT
private slots:
    void handsEndWhereTheTimeSays_data();
    void handsEndWhereTheTimeSays();
    void hubIsGreyAndOnTop();
    void secondHandLiesBeneathTheOthers();
    void drawnHandsStopAtTheirEnds_data();
    void drawnHandsStopAtTheirEnds();
};

void TestClockHands::handsEndWhereTheTimeSays_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<QPoint>("second");
    QTest::addColumn<QPoint>("minute");
    QTest::addColumn<QPoint>("hour");
    // A dial of radius 95 centred on (626, 623), as the local clock is.
    QTest::newRow("12:00:00") << 12 << 0 << 0 << QPoint(626, 528) << QPoint(626, 528) << QPoint(626, 566);
    QTest::newRow("03:00:00") << 3 << 0 << 0 << QPoint(626, 528) << QPoint(626, 528) << QPoint(683, 623);
    QTest::newRow("15:00:00") << 15 << 0 << 0 << QPoint(626, 528) << QPoint(626, 528) << QPoint(683, 623);
    QTest::newRow("00:00:30") << 0 << 0 << 30 << QPoint(626, 718) << QPoint(626, 528) << QPoint(626, 566);
    QTest::newRow("00:00:45") << 0 << 0 << 45 << QPoint(531, 623) << QPoint(626, 528) << QPoint(626, 566);
    // sin * 95 is -47.5 here: truncation gives -47 where rounding would give -48.
    QTest::newRow("00:50:50") << 0 << 50 << 50 << QPoint(544, 576) << QPoint(544, 576) << QPoint(650, 572);
    QTest::newRow("01:30:00") << 1 << 30 << 0 << QPoint(626, 528) << QPoint(626, 718) << QPoint(666, 583);
}

void TestClockHands::handsEndWhereTheTimeSays()
{
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(QPoint, second);
    QFETCH(QPoint, minute);
    QFETCH(QPoint, hour);
    const QPoint centre(626, 623);
    const HandEnds ends = HandEndOffsets(Radius, h, m, s);
    QCOMPARE(centre + ends.second, second);
    QCOMPARE(centre + ends.minute, minute);
    QCOMPARE(centre + ends.hour, hour);
}

void TestClockHands::hubIsGreyAndOnTop()
{
    const QImage dial = handsAt(3, 15, 15);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            QCOMPARE(QColor(dial.pixel(Centre.x() + dx, Centre.y() + dy)), QColor(128, 128, 128));
}

void TestClockHands::secondHandLiesBeneathTheOthers()
{
    const QImage dial = handsAt(0, 0, 0);
    QVERIFY(isYellow(dial.pixel(100, 20)));
    const QImage apart = handsAt(0, 0, 30);
    QVERIFY(isRed(apart.pixel(100, 180)));
}

void TestClockHands::drawnHandsStopAtTheirEnds_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<QPoint>("beyond");
    QTest::addColumn<bool>("red");
    QTest::newRow("second hand at 45 s") << 6 << 30 << 45 << QPoint(5, 100) << QPoint(2, 100) << true;
    QTest::newRow("minute hand at 15 min") << 6 << 15 << 30 << QPoint(195, 100) << QPoint(198, 100) << false;
    QTest::newRow("hour hand at 3") << 3 << 0 << 30 << QPoint(157, 100) << QPoint(161, 100) << false;
}

void TestClockHands::drawnHandsStopAtTheirEnds()
{
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(QPoint, end);
    QFETCH(QPoint, beyond);
    QFETCH(bool, red);
    const QImage dial = handsAt(h, m, s);
    const QRgb atEnd = dial.pixel(end);
    QVERIFY(red ? isRed(atEnd) : isYellow(atEnd));
    QCOMPARE(QColor(dial.pixel(beyond)), QColor(Qt::black));
}

QTEST_MAIN(TestClockHands)
#include "test_clock_hands.moc"
