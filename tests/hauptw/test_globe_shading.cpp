// Day and night on the dials' globes at the March equinox of 2024: the sun lights the half of
// each globe it should, night keeps about 40 % of the day's light, nothing but the globes
// changes between instants, and a tick in a new shading period shades them anew under the
// hands, sending only the globes and the hands to the screen, and of the globes only the
// twilight when the sun moved on a little.

#include "clock_window_fixture.h"
#include "hauptw/dial_layout.h"
#include "hauptw/globe_projection.h"
#include "support/paint_recorder.h"

#include <cmath>

using namespace DialLayout;

namespace {

constexpr qint64 EquinoxMidnight = 1710892800; // 2024-03-20 00:00 UTC
constexpr qint64 Hour = 3600;
const QByteArray Settings = "QX0VRT\n0\n-1\n";

// The share of the day's light that a small box around a point of the picture shows.
double brightness(const THauptwin &window, QPoint at)
{
    const QImage shown = drawnPicture(window);
    const QImage day = BackgroundPicture(shown.size()).convertToFormat(QImage::Format_RGB32);
    const QRect box = window.bild->canvas().drawnArea(PictureRect(PicturePoint(at - QPoint(4, 4)), QSize(9, 9))).qt();
    double lit = 0, full = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            for (const auto &[sum, picture] : {std::pair(&lit, &shown), std::pair(&full, &day)})
                *sum += qRed(picture->pixel(x, y)) + qGreen(picture->pixel(x, y)) + qBlue(picture->pixel(x, y));
    return lit / full;
}

} // namespace

class TestGlobeShading : public QObject
{
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<ClockWindowFixture>(); }
    void cleanup() { fixture_.reset(); }
    void sunLightsTheRightHalf_data();
    void sunLightsTheRightHalf();
    void onlyTheGlobesChangeBetweenInstants();
    void tickInANewPeriodShadesUnderTheHands_data();
    void tickInANewPeriodShadesUnderTheHands();

private:
    std::unique_ptr<ClockWindowFixture> fixture_;
};

// Points clear of the hands (12:00 on the left dial, 11:00 on the right one). On the polar globe
// Greenwich points down and east runs counter-clockwise.
void TestGlobeShading::sunLightsTheRightHalf_data()
{
    QTest::addColumn<qint64>("instant");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("lit");
    const qint64 noon = EquinoxMidnight + 12 * Hour, evening = EquinoxMidnight + 18 * Hour;
    QTest::newRow("noon, local globe") << noon << LocalCentre.qt() + QPoint(30, 30) << true;
    QTest::newRow("noon, polar lower half") << noon << UtcCentre.qt() + QPoint(0, 45) << true;
    QTest::newRow("noon, polar upper half") << noon << UtcCentre.qt() + QPoint(30, -40) << false;
    QTest::newRow("18:00, polar left half") << evening << UtcCentre.qt() + QPoint(-45, 10) << true;
    QTest::newRow("18:00, polar right half") << evening << UtcCentre.qt() + QPoint(45, 10) << false;
    QTest::newRow("midnight, local globe") << EquinoxMidnight << LocalCentre.qt() + QPoint(30, 30) << false;
    QTest::newRow("midnight, polar upper half") << EquinoxMidnight << UtcCentre.qt() + QPoint(30, -40) << true;
}

void TestGlobeShading::sunLightsTheRightHalf()
{
    QFETCH(qint64, instant);
    QFETCH(QPoint, point);
    QFETCH(bool, lit);
    fixture_->instant = instant;
    const auto window = fixture_->showWindow(Settings);
    QVERIFY(window);
    const double share = brightness(*window, point);
    QVERIFY2(lit ? share > 0.97 : share > 0.35 && share < 0.45, qPrintable(QString::number(share)));
}

// Numerals, dots, bars, the rings, captions and text keep every pixel: the two pictures differ
// only on the globes' discs and the pixels their rims share with them.
void TestGlobeShading::onlyTheGlobesChangeBetweenInstants()
{
    fixture_->instant = EquinoxMidnight + 12 * Hour;
    const auto noon = fixture_->showWindow(Settings);
    fixture_->instant = EquinoxMidnight;
    const auto midnight = fixture_->showWindow(Settings);
    QVERIFY(noon && midnight);
    const QImage a = drawnPicture(*noon), b = drawnPicture(*midnight);
    const double scale = noon->bild->canvas().scale();
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) == b.pixel(x, y))
                continue;
            ++differing;
            const QPointF at = QPointF(x + 0.5, y + 0.5) / scale;
            const double nearest = std::min(std::hypot(at.x() - LocalCentre.x(), at.y() - LocalCentre.y()),
                                            std::hypot(at.x() - UtcCentre.x(), at.y() - UtcCentre.y()));
            // A scaled picture's pixels are larger, and its layers are blurred by one of them.
            QVERIFY2(nearest <= DialGlobes::Radius + std::max(1.0, 2 / scale),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    QVERIFY(differing > 1000);
}

void TestGlobeShading::tickInANewPeriodShadesUnderTheHands_data()
{
    QTest::addColumn<qint64>("later");
    // The share of the globes' squares sent to the screen at most.
    QTest::addColumn<double>("sentShare");
    QTest::newRow("six hours on") << 6 * Hour << 1.0;
    QTest::newRow("the next period") << qint64(THauptwin::ShadingPeriod) << 0.3;
}

// Later, the globes change in the tick, and the picture is the one a window started then shows:
// hands neither wiped nor doubled.
void TestGlobeShading::tickInANewPeriodShadesUnderTheHands()
{
    QFETCH(qint64, later);
    QFETCH(double, sentShare);
    fixture_->instant = EquinoxMidnight + 12 * Hour;
    const auto window = fixture_->showWindow(Settings);
    QVERIFY(window);
    const QImage before = drawnPicture(*window);
    // Where the hands move in the tick: a window started a second later, the globes as they were.
    fixture_->now = fixture_->now.addSecs(1);
    const auto handsOn = fixture_->showWindow(Settings);
    QVERIFY(handsOn);
    PaintRecorder recorder(*window->bild);
    fixture_->instant += later;
    window->TimerUhrTimer();
    QTRY_VERIFY(recorder.paints >= 1);
    QVERIFY(drawnPicture(*window) != before);
    QRegion allowed = aroundDifferencesOnTheDials(*window, before, drawnPicture(*handsOn));
    const int reach = int(DialGlobes::Radius) + 2;
    const Canvas &canvas = window->bild->canvas();
    for (const PicturePoint centre : {LocalCentre, UtcCentre})
        allowed += window->bild->mapping()
                       .controlArea(
                           canvas.drawnArea(PictureRect(centre - PicturePoint(reach, reach), QSize(2 * reach, 2 * reach))))
                       .qt();
    QVERIFY2((recorder.painted - allowed).isEmpty(), "only the globes and the hands that moved are sent");
    qint64 allowedPixels = 0;
    for (const QRect &rect : allowed)
        allowedPixels += qint64(rect.width()) * rect.height();
    QVERIFY2(double(recorder.pixels) <= sentShare * double(allowedPixels),
             qPrintable(QStringLiteral("%1 of %2").arg(recorder.pixels).arg(allowedPixels)));
    const auto started = fixture_->showWindow(Settings);
    QVERIFY(started);
    QCOMPARE(drawnPicture(*window), drawnPicture(*started));
}

QTEST_MAIN(TestGlobeShading)
#include "test_globe_shading.moc"
