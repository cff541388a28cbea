// The clock window's drawing: hands for local time on the left dial and UTC on the right, the
// screen text with slashed zeros, nothing before the first layout, and painting that gives the
// same picture however often it runs within one second.

#include "clock_window_fixture.h"
#include "hand_colours.h"
#include "hauptw/built_in_pictures.h"
#include "hauptw/clock_hands.h"
#include "hauptw/screen_text.h"
#include "support/paint_recorder.h"
#include "toolkit/picture_difference.h"

namespace {

// The clock squares with the hands' overhang.
const QRect LocalPatchArea = QRect(531, 528, 190, 190).adjusted(-HandOverhang, -HandOverhang, HandOverhang, HandOverhang);
const QRect UtcPatchArea = QRect(787, 528, 190, 190).adjusted(-HandOverhang, -HandOverhang, HandOverhang, HandOverhang);

// The picture with both clock squares put back as they are in the clean background.
QImage withoutDials(QImage picture)
{
    const QImage background = BackgroundPicture().convertToFormat(QImage::Format_RGB32);
    CopyArea(background, picture, LocalPatchArea);
    CopyArea(background, picture, UtcPatchArea);
    return picture;
}

} // namespace

class TestHauptwinPaint : public QObject
{
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<ClockWindowFixture>(); }
    void cleanup() { fixture_.reset(); }
    void nothingIsDrawnBeforeTheFirstLayout();
    void leftDialShowsLocalTimeAndRightDialUtc();
    void zerosAreDrawnSlashed();
    void emptyTextDrawsNothing();
    void paintingAgainInTheSameSecondChangesNoPixel();
    void handsOfEarlierSecondsLeaveNoTrace();
    void tickInTheSameSecondUpdatesNothingOnScreen();
    void tickUpdatesOnlyDialsAndNeverRepaintsTheWindow();

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
    QCOMPARE(window.bild->picture(), BackgroundPicture().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(window.TickCount, 1);
}

void TestHauptwinPaint::leftDialShowsLocalTimeAndRightDialUtc()
{
    // Local time 12:00:45, UTC nine hours behind: 03:00:45.
    fixture_->now = QTime(12, 0, 45);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-9\n");
    QVERIFY(window);
    const QImage &picture = window->bild->picture();
    for (const QPoint hub : {QPoint(626, 623), QPoint(882, 623)})
        QCOMPARE(QColor(picture.pixel(hub)), QColor(128, 128, 128));

    QVERIFY(isRed(picture.pixel(531, 623)));
    QVERIFY(isRed(picture.pixel(787, 623)));
    QVERIFY(isYellow(picture.pixel(626, 528)));
    QVERIFY(isYellow(picture.pixel(882, 528)));
    QVERIFY(isYellow(picture.pixel(626, 566)));
    QVERIFY(isYellow(picture.pixel(939, 623)));
    // Where the other dial's hour hand points, the left dial shows its clean face.
    QCOMPARE(picture.pixel(683, 623), BackgroundPicture().pixel(683, 623));
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
    QCOMPARE(zeros->bild->picture(), slashed->bild->picture());
    QVERIFY(zeros->bild->picture() != letters->bild->picture());
}

void TestHauptwinPaint::emptyTextDrawsNothing()
{
    const auto window = fixture_->showWindow("\n0\n-1\n");
    QVERIFY(window);
    QVERIFY(window->ScreenText.isEmpty());
    QCOMPARE(withoutDials(window->bild->picture()), BackgroundPicture().convertToFormat(QImage::Format_RGB32));
}

void TestHauptwinPaint::paintingAgainInTheSameSecondChangesNoPixel()
{
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const QImage once = window->bild->picture().copy();
    QVERIFY(withoutDials(once) != BackgroundPicture().convertToFormat(QImage::Format_RGB32));
    for (int call = 0; call < 20; ++call)
        window->PaintBoxSekundePaint();
    QCOMPARE(window->bild->picture(), once);
}

void TestHauptwinPaint::handsOfEarlierSecondsLeaveNoTrace()
{
    fixture_->now = QTime(12, 0, 5);
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const QImage first = window->bild->picture().copy();
    fixture_->now = QTime(16, 47, 33);
    window->PaintBoxSekundePaint();
    QVERIFY(window->bild->picture() != first);
    fixture_->now = QTime(12, 0, 5);
    window->PaintBoxSekundePaint();
    QCOMPARE(window->bild->picture(), first);
}

void TestHauptwinPaint::tickInTheSameSecondUpdatesNothingOnScreen()
{
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    PaintRecorder picture(*window->bild);
    PaintRecorder form(*window);
    window->TimerUhrTimer();
    QTest::qWait(100);
    QCOMPARE(picture.paints, 0);
    QCOMPARE(form.paints, 0);
}

void TestHauptwinPaint::tickUpdatesOnlyDialsAndNeverRepaintsTheWindow()
{
    const auto window = fixture_->showWindow("QX0VRT\n0\n-1\n");
    QVERIFY(window);
    const int ticks = window->TickCount;
    QVERIFY(ticks < THauptwin::GraceTicks);
    PaintRecorder picture(*window->bild);
    PaintRecorder form(*window);
    fixture_->now = fixture_->now.addSecs(1);
    window->TimerUhrTimer();
    QTest::qWait(300);
    QVERIFY(picture.paints >= 1);
    const QRegion dials = QRegion(window->bild->controlArea(LocalPatchArea)) + window->bild->controlArea(UtcPatchArea);
    QVERIFY2((picture.painted - dials).isEmpty(), "only the dials are repainted");
    // The picture's repaint is no request to draw again: no paint of the window, no extra tick.
    QCOMPARE(form.paints, 0);
    QCOMPARE(window->TickCount, ticks + 1);
}

QTEST_MAIN(TestHauptwinPaint)
#include "test_hauptwin_paint.moc"
