// Where the hands of one dial end and how they are drawn: second hand, then minute and hour
// hands over it, then the grey hub over all three.

#include "support/hand_colours.h"
#include "hauptw/clock_hands.h"
#include "support/dial_drawing.h"
#include "hauptw/dial_hands.h"
#include "support/picture_difference.h"
#include "support/sharpness.h"
#include "drawing/bitmap.h"

#include <QPainter>

#include <QTest>

namespace {

constexpr int Radius = 95;
constexpr PicturePoint Centre(100, 100);

QImage handsAt(int h, int m, int s, int scale = 1)
{
    Bitmap dial;
    dial.setSize(200 * scale, 200 * scale);
    dial.canvas().setMapping(scale);
    DrawHandsAndHub(dial.canvas(), Centre, Radius, SecondsFromHms(h, m, s));
    return dial.image();
}

// The hands as Qt draws them directly at three times the size: every picture point mapped to
// three times its pixel centre, every pen three times as wide.
QImage referenceAtThreeTimes(int h, int m, int s)
{
    QImage dial(600, 600, QImage::Format_RGB32);
    dial.fill(Qt::black);
    QPainter painter(&dial);
    painter.setRenderHint(QPainter::Antialiasing);
    auto at = [](QPoint picturePoint) { return (QPointF(picturePoint) + QPointF(0.5, 0.5)) * 3; };
    const HandEnds ends = HandEndOffsets(Radius, h, m, s);
    auto hand = [&](PicturePoint end, QColor colour, int width) {
        painter.setPen(QPen(colour, 3 * width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(at(Centre.qt()), at((Centre + end).qt()));
    };
    hand(ends.second, Qt::red, 1);
    hand(ends.minute, Qt::yellow, 2);
    hand(ends.hour, Qt::yellow, 3);
    painter.setPen(QPen(QColor(128, 128, 128), 9));
    painter.setBrush(QColor(128, 128, 128));
    painter.drawEllipse(QRectF(at(Centre.qt() - QPoint(2, 2)), at(Centre.qt() + QPoint(2, 2))));
    return dial;
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
    void handsAtThreeTimesTheScaleAreDrawnAtThatSize();
    void handsAreaHoldsEverythingDrawn();
    void movedHandsLookAsIfDrawnAfresh_data();
    void movedHandsLookAsIfDrawnAfresh();
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
    const PicturePoint centre(626, 623);
    const HandEnds ends = HandEndOffsets(Radius, h, m, s);
    QCOMPARE((centre + ends.second).qt(), second);
    QCOMPARE((centre + ends.minute).qt(), minute);
    QCOMPARE((centre + ends.hour).qt(), hour);
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

void TestClockHands::handsAtThreeTimesTheScaleAreDrawnAtThatSize()
{
    const QImage large = handsAt(4, 37, 51, 3);
    QVERIFY2(differingPixels(large, referenceAtThreeTimes(4, 37, 51), 24) < 20, "where the mapped formulas say");
    // The minute hand ends at 37 minutes: picture point Centre + end, three times over.
    const QPoint minuteEnd = (Centre + HandEndOffsets(Radius, 4, 37, 51).minute).qt() * 3 + QPoint(1, 1);
    QVERIFY(isYellow(large.pixel(minuteEnd)));
    QVERIFY2(edgeSoftness(large) < 0.6 * edgeSoftness(stretched(handsAt(4, 37, 51), 3)), "sharper than stretched");
}

void TestClockHands::handsAreaHoldsEverythingDrawn()
{
    for (const SecondOfDay time : {SecondsFromHms(0, 0, 0), SecondsFromHms(4, 37, 51), SecondsFromHms(9, 45, 30)}) {
        Bitmap dial;
        dial.setSize(200, 200);
        DrawHandsAndHub(dial.canvas(), Centre, Radius, time);
        QRegion area;
        for (const DrawnRect &box : HandsArea(Centre, HandEndOffsets(Radius, time), 1.0))
            area += box.qt();
        QImage outside = dial.image();
        QPainter painter(&outside);
        painter.setClipRegion(area);
        painter.fillRect(outside.rect(), Qt::black);
        painter.end();
        QImage black(outside.size(), outside.format());
        black.fill(Qt::black);
        QCOMPARE(outside, black);
        QVERIFY(QRect(0, 0, 200, 200).contains(area.boundingRect()));
    }
}

void TestClockHands::movedHandsLookAsIfDrawnAfresh_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("picture's own pixels") << 1.0;
    QTest::newRow("1920x1080 screen") << 1080 / 768.0;
    QTest::newRow("3840x2160 screen") << 2160 / 768.0;
    QTest::newRow("host's preview") << 0.39;
}

// Second by second across a change of minute and hour, then in jumps: after each move the
// picture is exactly what drawing the hands on the clean picture gives, and only the boxes
// around the hands that moved were reported changed.
void TestClockHands::movedHandsLookAsIfDrawnAfresh()
{
    QFETCH(double, scale);
    const QImage clean = StripedPicture(int(200 * scale), int(200 * scale));
    QImage picture = clean;
    Canvas canvas(picture);
    canvas.setMapping(scale);
    QRegion reported;
    canvas.setChangeListener([&reported](const DrawnRect &area) { reported += area.qt(); });
    const int overhang = HandOverhang(scale);
    const PictureRect dialArea(Centre - PicturePoint(Radius + overhang, Radius + overhang),
                               Centre + PicturePoint(Radius + overhang, Radius + overhang));
    Bitmap patch;
    patch.cover(canvas, dialArea);
    patch.canvas().copyRect(dialArea, canvas, dialArea);
    DialHands hands;
    hands.prepare(Centre, Radius);

    const PictureRect hub = HandPartBounds(HandPart::Hub, Centre, {}, scale);
    std::vector<SecondOfDay> times;
    for (SecondOfDay time = SecondsFromHms(11, 59, 50); time <= SecondsFromHms(12, 1, 5); ++time)
        times.push_back(time);
    for (const SecondOfDay time : {SecondsFromHms(16, 47, 33), SecondsFromHms(3, 15, 50), SecondsFromHms(3, 15, 50) + 60})
        times.push_back(time);
    SecondOfDay shown = -1;
    for (const SecondOfDay time : times) {
        reported = QRegion();
        hands.move(canvas, patch, time);
        QImage expected = clean;
        Canvas direct(expected);
        direct.setMapping(scale);
        DrawHandsAndHub(direct, Centre, Radius, time);
        // Smaller than the picture, the parts laid one by one round a shade differently where
        // they overlap at the hub than drawn in one go; never elsewhere.
        const QRect differing = DifferingArea(picture, expected, picture.rect());
        QVERIFY(differing.isEmpty() || (scale < 1 && canvas.drawnArea(hub).qt().contains(differing)));
        QRegion moved;
        const HandEnds ends = HandEndOffsets(Radius, time);
        for (const DrawnRect &box :
             shown < 0 ? HandsArea(Centre, ends, scale) : MovedHandsArea(Centre, HandEndOffsets(Radius, shown), ends, scale))
            moved += box.qt();
        QVERIFY2((reported - moved).isEmpty(), "only the boxes of the hands that moved change");
        shown = time;
    }
}

QTEST_MAIN(TestClockHands)
#include "test_clock_hands.moc"
