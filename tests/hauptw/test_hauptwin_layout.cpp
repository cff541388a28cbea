// The clock window on the screen it is given: the picture as large as fits, centred, nothing
// of it cut off, drawn in the screen's own (device) pixels; clocks and text where the picture
// has them. CTest runs this once for each screen it sets up, and once on the platform's
// default screen.

#include "clock_window_fixture.h"
#include "hauptw/built_in_pictures.h"
#include "hauptw/dial_layout.h"
#include "drawing/picture_fit.h"
#include "support/picture_difference.h"

#include <QApplication>
#include <QScreen>

namespace {

struct ScreenLayout
{
    QSize screen;
    QRect picture;
};

// Black bands where the screen's shape differs from the picture's 4:3. On 1280x800 the picture
// is 1066.67 pixels wide, rounded to 1067, and the odd pixel of the bands goes to the right.
const ScreenLayout KnownLayouts[] = {
    {{1024, 768}, {0, 0, 1024, 768}},     {{1280, 1024}, {0, 32, 1280, 960}},   {{1366, 768}, {171, 0, 1024, 768}},
    {{1920, 1080}, {240, 0, 1440, 1080}}, {{3840, 2160}, {480, 0, 2880, 2160}}, {{1280, 800}, {106, 0, 1067, 800}},
};

using DialLayout::PictureSize;

// The brightest channel that all three colours reach somewhere in the area.
int whitestPixel(const QImage &image, const QRect &area)
{
    int whitest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            whitest = std::max(whitest, std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}));
        }
    return whitest;
}

// The windows beside the clock window on its screen.
QList<QWidget *> bandWindows()
{
    QList<QWidget *> bands;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (!qobject_cast<THauptwin *>(window) && window->isVisible() && screen.contains(window->geometry()))
            bands << window;
    return bands;
}

} // namespace

class TestHauptwinLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void fitGivesTheKnownLayouts();
    void windowCoversTheScreenWithTheWholePicture();
    void pictureHasTheScreensPixels();
    void clockSquaresStayInPicturePixels();
    void textIsCentredAtTheTopOfThePictureAndOnScreen();
    void dialsAreOnScreen();
    void wanderStepsAreDevicePixels();
    void movementOverTheBandsCountsAfterTheGrace();

private:
    std::unique_ptr<ClockWindowFixture> fixture_;
    std::unique_ptr<THauptwin> window_;
    QImage onScreen_;
};

void TestHauptwinLayout::initTestCase()
{
    qInfo() << "screen" << QGuiApplication::primaryScreen()->size();
    fixture_ = std::make_unique<ClockWindowFixture>();
    fixture_->now = QTime(10, 10, 40);
    window_ = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window_);
    onScreen_ = window_->grab().toImage();
}

void TestHauptwinLayout::cleanupTestCase()
{
    window_.reset();
    fixture_.reset();
}

void TestHauptwinLayout::fitGivesTheKnownLayouts()
{
    for (const ScreenLayout &layout : KnownLayouts)
        QCOMPARE(FitPictureInside(layout.screen, PictureSize), layout.picture);
}

void TestHauptwinLayout::windowCoversTheScreenWithTheWholePicture()
{
    const QRect screenArea = QGuiApplication::primaryScreen()->geometry();
    const QSize screen = screenArea.size();
    const QRect picture = window_->bild->geometry().translated(window_->pos() - screenArea.topLeft());
    for (const ScreenLayout &layout : KnownLayouts)
        if (layout.screen == screen)
            QCOMPARE(picture, layout.picture);

    // The form leaves the picture room to wander where the screen has it.
    QVERIFY(window_->rect().contains(window_->bild->geometry()));
    QVERIFY2(picture.width() == screen.width() || picture.height() == screen.height(), "as large as fits");
    QVERIFY2(std::abs(picture.width() * 768 - picture.height() * 1024) <= 1024, "the picture keeps its shape");
    QVERIFY2(std::abs(picture.left() - (screen.width() - picture.right() - 1)) <= 1, "centred across");
    QVERIFY2(std::abs(picture.top() - (screen.height() - picture.bottom() - 1)) <= 1, "centred up and down");
    QRegion uncovered = QRegion(screenArea) - window_->geometry();
    for (const QWidget *band : bandWindows())
        uncovered -= band->geometry();
    QVERIFY2(uncovered.isEmpty(), "windows of their own cover the bands");
}

void TestHauptwinLayout::pictureHasTheScreensPixels()
{
    const QSize devicePixels = window_->bild->size() * window_->devicePixelRatio();
    QCOMPARE(window_->bild->picture().size(), devicePixels);
    QCOMPARE(onScreen_.size(), window_->size() * window_->devicePixelRatio());
}

void TestHauptwinLayout::clockSquaresStayInPicturePixels()
{
    QCOMPARE(QRect(window_->LocalClockLeft, window_->LocalClockTop, window_->ClockWidth, window_->ClockHeight),
             QRect(531, 528, 190, 190));
    QCOMPARE(QRect(window_->UtcClockLeft, window_->UtcClockTop, window_->ClockWidth, window_->ClockHeight),
             QRect(787, 528, 190, 190));
    QCOMPARE(window_->TextPlacement, THauptwin::TopCentre);
}

void TestHauptwinLayout::textIsCentredAtTheTopOfThePictureAndOnScreen()
{
    const QImage picture = drawnPicture(*window_);
    const QImage background = BackgroundPicture(picture.size()).convertToFormat(QImage::Format_RGB32);
    const double scale = window_->bild->canvas().scale();
    const QRect text = DifferingArea(background, picture, QRect(0, 0, picture.width(), int(200 * scale)));
    QVERIFY(!text.isEmpty());
    QVERIFY2(text.top() >= (10 - 2) * scale && text.top() <= (10 + 12) * scale, "just below the top");
    QVERIFY2(std::abs(text.center().x() - picture.width() / 2) <= 4 * scale, "centred on the picture");
    const QRect shown = window_->bild->mapping().controlArea(DrawnRect(text)).qt().translated(window_->bild->pos());
    QVERIFY(window_->rect().contains(shown));
    const double dpr = window_->devicePixelRatio();
    const QRect shownPixels(shown.topLeft() * dpr, shown.size() * dpr);
    QVERIFY2(whitestPixel(onScreen_, shownPixels) > 230, "white letters on screen");
}

void TestHauptwinLayout::dialsAreOnScreen()
{
    const double dpr = window_->devicePixelRatio();
    for (const PicturePoint centre : {DialLayout::LocalCentre, DialLayout::UtcCentre}) {
        const DrawnRect hubPixels = window_->bild->canvas().drawnArea(PictureRect(centre, QSize(1, 1)));
        const QRect shown = window_->bild->mapping().controlArea(hubPixels).qt().translated(window_->bild->pos());
        QVERIFY(window_->rect().contains(shown));
        const QRgb pixel = onScreen_.pixel((QPointF(shown.center()) * dpr).toPoint());
        QVERIFY2(std::abs(qRed(pixel) - 128) < 24 && std::abs(qGreen(pixel) - 128) < 24, "the grey hub shows");
    }
}

// Where a point has several device pixels, the picture wanders by whole points.
void TestHauptwinLayout::wanderStepsAreDevicePixels()
{
    const QPoint placed = window_->bild->pos(), step = QPoint(2, -1) * window_->devicePixelRatio();
    window_->bild->setOffset(step);
    QCOMPARE((window_->bild->pos() - placed) * window_->devicePixelRatio(), step);
    window_->bild->setOffset({});
}

void TestHauptwinLayout::movementOverTheBandsCountsAfterTheGrace()
{
    const QList<QWidget *> bands = bandWindows();
    if (bands.isEmpty())
        QSKIP("this screen has the picture's shape: no bands");
    QWidget *band = bands.first();
    const QPoint inside(band->width() / 2, band->height() / 2);
    QTest::mouseMove(band, inside);
    QTest::mouseMove(band, inside + QPoint(1, 1));
    QVERIFY2(window_->isVisible(), "the grace period holds over the bands too");
    while (window_->TickCount < THauptwin::GraceTicks)
        window_->TimerUhrTimer();
    QTest::mouseMove(band, inside);
    QVERIFY(!window_->isVisible());
}

QTEST_MAIN(TestHauptwinLayout)
#include "test_hauptwin_layout.moc"
