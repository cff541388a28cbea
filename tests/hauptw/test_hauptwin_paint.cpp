// The clock window's drawing: hands for local time on the left dial and UTC on the right, the
// screen text with slashed zeros, nothing before the first layout or without a picture, a
// 1024x768 screen drawn in the picture's own pixels, ticks that draw only what moved, and memory
// that does not grow with the screen text. CTest runs it on a 1024x768 screen.

#include "clock_window_fixture.h"
#include "support/hand_colours.h"
#include "hauptw/built_in_pictures.h"
#include "hauptw/clock_hands.h"
#include "support/dial_drawing.h"
#include "hauptw/dial_layout.h"
#include "hauptw/screen_text.h"
#include "support/paint_recorder.h"

#include <QProcess>

#include <cstdio>

using namespace DialLayout;

namespace {

QImage cleanPicture()
{
    return BackgroundPicture().convertToFormat(QImage::Format_RGB32);
}

// The rows above the dials, where only the text is drawn.
const QRect TextRows(0, 0, 1024, 200);

// Peak memory of this process, in KiB.
long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Run as a child: shows the window with this screen text, ticks, prints the peak memory.
int showTextAndReportMemory(const QByteArray &text)
{
    ClockWindowFixture fixture;
    const auto window = fixture.showWindow(text + "\n0\n-1\n");
    if (!window)
        return 1;
    for (int tick = 0; tick < 5; ++tick) {
        fixture.now = fixture.now.addSecs(1);
        window->TimerUhrTimer();
        QCoreApplication::processEvents();
    }
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

const char ChildSwitch[] = "--show-text-of-length";

} // namespace

class TestHauptwinPaint : public QObject
{
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<ClockWindowFixture>(); }
    void cleanup() { fixture_.reset(); }
    void nothingIsDrawnBeforeTheFirstLayout();
    void nothingIsDrawnWhileThePictureIsDropped();
    void screenOfThePicturesSizeShowsItAsDrawnInItsOwnPixels();
    void leftDialShowsLocalTimeAndRightDialUtc();
    void zerosAreDrawnSlashed();
    void emptyTextDrawsNothing();
    void handsOfEarlierSecondsLeaveNoTrace();
    void tickInTheSameSecondDrawsNothing();
    void movingTickUpdatesOnlyWhereTheHandsWereAndAre();
    void longTextTakesNoMoreMemoryThanAShortOne();

private:
    std::unique_ptr<ClockWindowFixture> fixture_;
};

void TestHauptwinPaint::nothingIsDrawnBeforeTheFirstLayout()
{
    fixture_->writeSettings("QX0VRT\n0\n-1\n");
    THauptwin window;
    window.FormPaint();
    window.PaintBoxSekundePaint();
    QVERIFY(!window.PatchesReady);
    QVERIFY(window.bild->picture().isNull());
    QCOMPARE(window.TickCount, 1);
}

// Placed with no picture to make, the window has nothing its patches could restore: painting
// waits for a picture made afresh, and then shows what a window started then shows.
void TestHauptwinPaint::nothingIsDrawnWhileThePictureIsDropped()
{
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    window->bild->setPicture(PictureSize, {});
    window->FormResize();
    QVERIFY(!window->PatchesReady);
    fixture_->now = fixture_->now.addSecs(1);
    window->TimerUhrTimer();
    QVERIFY(window->bild->picture().isNull());
    window->bild->setPicture(PictureSize, BackgroundPicture);
    window->FormResize();
    QVERIFY(window->PatchesReady);
    window->TimerUhrTimer();
    const auto started = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(started);
    QCOMPARE(drawnPicture(*window), drawnPicture(*started));
}

// What the window showed before it drew at the screen's resolution, built the same way: the
// picture, the text centred at the top, the hands of both dials, all in picture pixels.
void TestHauptwinPaint::screenOfThePicturesSizeShowsItAsDrawnInItsOwnPixels()
{
    fixture_->now = QTime(10, 8, 37);
    const auto window = fixture_->showWindow("QX0VRT\n2\n-1\n");
    QVERIFY(window);
    QCOMPARE(window->bild->geometry(), QRect(QPoint(0, 0), PictureSize));

    QImage expected = shadedPicture(*window);
    Canvas canvas(expected);
    canvas.setFontName(QStringLiteral("Verdana"));
    canvas.setFontSize(40);
    canvas.setFontColour(0xFFFFFF);
    canvas.setBrushStyle(BrushStyle::Clear);
    const QString text = QStringLiteral("QX\u00D8VRT");
    canvas.textOut((PictureSize.width() - canvas.textWidth(text)) / 2, TextTop, text);
    DrawHandsAndHub(canvas, LocalCentre, HandRadius, SecondsFromHms(12, 8, 37));
    DrawHandsAndHub(canvas, UtcCentre, HandRadius, SecondsFromHms(9, 8, 37));
    QCOMPARE(drawnPicture(*window), expected);
}

void TestHauptwinPaint::leftDialShowsLocalTimeAndRightDialUtc()
{
    // Local time 12:00:45, UTC nine hours behind: 03:00:45.
    fixture_->now = QTime(12, 0, 45);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-9\n");
    QVERIFY(window);
    const QImage picture = drawnPicture(*window);
    for (const PicturePoint hub : {LocalCentre, UtcCentre})
        QCOMPARE(QColor(picture.pixel(hub.qt())), QColor(128, 128, 128));

    QVERIFY(isRed(picture.pixel(531, 623)));
    QVERIFY(isRed(picture.pixel(787, 623)));
    QVERIFY(isYellow(picture.pixel(626, 528)));
    QVERIFY(isYellow(picture.pixel(882, 528)));
    QVERIFY(isYellow(picture.pixel(626, 566)));
    QVERIFY(isYellow(picture.pixel(939, 623)));
    // Where the other dial's hour hand points, the left dial shows its clean face.
    QCOMPARE(picture.pixel(683, 623), shadedPicture(*window).pixel(683, 623));
}

void TestHauptwinPaint::zerosAreDrawnSlashed()
{
    QCOMPARE(WithSlashedZeros("QX0VRT"), QByteArray("QX\xD8VRT"));
    QCOMPARE(WithSlashedZeros("100"), QByteArray("1\xD8\xD8"));
    QCOMPARE(WithSlashedZeros("DL1ABC"), QByteArray("DL1ABC"));

    const auto zeros = fixture_->showWindow("100\n0\n-1\n");
    const auto slashed = fixture_->showWindow("1\xD8\xD8\n0\n-1\n");
    const auto letters = fixture_->showWindow("1OO\n0\n-1\n");
    QVERIFY(zeros && slashed && letters);
    QCOMPARE(drawnPicture(*zeros), drawnPicture(*slashed));
    QVERIFY(drawnPicture(*zeros) != drawnPicture(*letters));
}

void TestHauptwinPaint::emptyTextDrawsNothing()
{
    const auto window = fixture_->showWindow("\n0\n-1\n");
    QVERIFY(window);
    QVERIFY(window->ScreenText.isEmpty());
    QCOMPARE(drawnPicture(*window).copy(TextRows), cleanPicture().copy(TextRows));
    const auto withText = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(drawnPicture(*withText).copy(TextRows) != cleanPicture().copy(TextRows));
}

void TestHauptwinPaint::handsOfEarlierSecondsLeaveNoTrace()
{
    fixture_->now = QTime(12, 0, 5);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const QImage first = drawnPicture(*window);
    for (const QTime time : {QTime(16, 47, 33), QTime(16, 47, 34), QTime(3, 15, 50), QTime(12, 0, 5)}) {
        fixture_->now = time;
        window->PaintBoxSekundePaint();
    }
    QCOMPARE(drawnPicture(*window), first);
}

// The times shown tell a tick in the same second from one that moves the hands, so the former
// does not even touch the picture.
void TestHauptwinPaint::tickInTheSameSecondDrawsNothing()
{
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const qint64 drawnOnBefore = window->bild->picture().cacheKey();
    PaintRecorder picture(*window->bild);
    PaintRecorder form(*window);
    window->TimerUhrTimer();
    window->FormPaint();
    QTest::qWait(100);
    QCOMPARE(window->bild->picture().cacheKey(), drawnOnBefore);
    QCOMPARE(picture.paints, 0);
    QCOMPARE(form.paints, 0);
}

void TestHauptwinPaint::movingTickUpdatesOnlyWhereTheHandsWereAndAre()
{
    fixture_->now = QTime(12, 0, 59);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const int ticks = window->TickCount;
    QVERIFY(ticks < THauptwin::GraceTicks);
    PaintRecorder picture(*window->bild);
    PaintRecorder form(*window);
    const QImage before = drawnPicture(*window);
    fixture_->now = QTime(12, 1, 0);
    window->TimerUhrTimer();
    QTRY_VERIFY(picture.paints >= 1);
    // The pictures tell where the hands moved; the screen is 1024x768, so their pixels are the window's.
    const QImage after = drawnPicture(*window);
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (after.pixel(x, y) != before.pixel(x, y))
                QVERIFY2(picture.painted.contains(QPoint(x, y)), "every pixel that changed is repainted");
    QVERIFY2((picture.painted - aroundDifferencesOnTheDials(*window, before, after)).isEmpty(),
             "only around the hands that moved");
    QVERIFY2(picture.painted.boundingRect().height() < ClockSize * 6 / 10, "all hands up: the lower half stays");
    // The picture's repaint is no request to draw again: no paint of the window, no extra tick.
    QCOMPARE(form.paints, 0);
    QCOMPARE(window->TickCount, ticks + 1);
}

void TestHauptwinPaint::longTextTakesNoMoreMemoryThanAShortOne()
{
    auto peakKiB = [](int length) {
        QProcess child;
        // A sanitizer build keeps freed memory aside for a while; count only what is live, as
        // in a normal build.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS"))
                               + QStringLiteral(":quarantine_size_mb=0:thread_local_quarantine_size_kb=0"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(ChildSwitch), QString::number(length)});
        child.waitForFinished(120000);
        return child.readAllStandardOutput().trimmed().toLong();
    };
    const long shortText = peakKiB(6);
    const long longText = peakKiB(64 * 1024);
    qInfo() << "peak memory KiB, 6 letters:" << shortText << "64 KiB of letters:" << longText;
    QVERIFY(shortText > 0 && longText > 0);
    QVERIFY2(longText - shortText < 4 * 1024, "within 4 MiB");
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == ChildSwitch)
        return showTextAndReportMemory(QByteArray(QByteArray(argv[2]).toInt(), 'W'));
    TestHauptwinPaint test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_hauptwin_paint.moc"
