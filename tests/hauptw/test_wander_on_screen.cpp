// The real program on a 1920x1080 X server (black bands beside the picture, none above) with its
// clocks 60 times as fast (libfaketime): the picture stays centred for the first two minutes,
// moves after that, never beyond 1 % of the screen's height nor by more than a pixel each way at
// a step, and the screen shows nothing but the picture and black.

#include "hauptw/built_in_pictures.h"
#include "support/fixed_clock.h"
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

const QSize Screen(1920, 1080);
// The picture 1080 high and 1440 wide, its 4:3, in the middle.
const QRect Centred(240, 0, 1440, 1080);
// Where the program draws, the text line and the dials, in the picture's pixels on this screen.
const QRect Drawn[] = {{360, 0, 720, 112}, {730, 730, 660, 300}};

// Pixels, of those `spacing` apart, neither black where the picture is not, nor the clean
// picture where it is.
int strangePixels(const QImage &shot, const QImage &clean, QPoint offset, int spacing)
{
    int strange = 0;
    for (int y = 0; y < Screen.height(); y += spacing)
        for (int x = 0; x < Screen.width(); x += spacing) {
            const QPoint inPicture = QPoint(x, y) - Centred.topLeft() - offset;
            const bool inside = clean.rect().contains(inPicture);
            if (!inside || std::none_of(std::begin(Drawn), std::end(Drawn), [&](QRect r) { return r.contains(inPicture); }))
                strange += shot.pixel(x, y) != (inside ? clean.pixel(inPicture) : qRgb(0, 0, 0));
        }
    return strange;
}

} // namespace

class TestWanderOnScreen : public QObject
{
    Q_OBJECT
private slots:
    void pictureWandersWithinOnePercent();
};

void TestWanderOnScreen::pictureWandersWithinOnePercent()
{
    QVERIFY2(!FakeTimeLibrary.isEmpty(), "libfaketime is not installed (Debian package faketime)");
    // A white desktop, which shows wherever the program leaves the screen uncovered.
    XvfbServer xvfb(Screen.width(), Screen.height(), {QStringLiteral("-wr")});
    ProgramCopy copy;
    QVERIFY(xvfb.isRunning() && copy.isValid());
    // Where the picture's edge passes under it: a pointer resting there has not moved.
    QVERIFY(xvfb.xdotool({"mousemove", QString::number(Centred.left()), "500"}));
    // The fixed clock's preload, but running sixty times as fast from now.
    QProcessEnvironment environment = withFixedClock(xvfb.environment());
    environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("+0 x60"));
    QElapsedTimer sinceStart;
    sinceStart.start();
    const std::unique_ptr<QProcess> program = copy.start({QStringLiteral("/S")}, environment);

    const QImage clean = BackgroundPicture(Centred.size()).convertToFormat(QImage::Format_RGB32);
    const int reach = Screen.height() / 100;
    bool shown = false;
    int centredEarly = 0, steps = 0;
    QPoint last;
    // Twenty-two simulated minutes; in the first two the program cannot have moved the picture.
    while (sinceStart.elapsed() < 22'000) {
        const QImage shot = xvfb.screenshot();
        const bool early = sinceStart.elapsed() < 2'000;
        // Where the picture matches best on a coarse grid; there it must match everywhere.
        QPoint offset;
        for (int dy = -reach - 1, fewest = INT_MAX; dy <= reach + 1; ++dy)
            for (int dx = -reach - 1; dx <= reach + 1; ++dx)
                if (const int strange = strangePixels(shot, clean, {dx, dy}, 32); strange < fewest)
                    fewest = strange, offset = {dx, dy};
        const int strange = strangePixels(shot, clean, offset, 2);
        // Before the program shows, the desktop.
        if (!shown && strange > Screen.width() * Screen.height() / 8)
            continue;
        shown = true;
        QVERIFY2(strange == 0, qPrintable(QStringLiteral("%1 pixels neither picture nor black").arg(strange)));
        QVERIFY2(std::hypot(offset.x(), offset.y()) <= reach, "too far");
        QVERIFY2(std::max(std::abs(offset.x() - last.x()), std::abs(offset.y() - last.y())) <= 1, "a step too large");
        // The hands go with the picture: its dials' hubs are where they are on it.
        for (const QPointF hub : {DialLayout::LocalCentre.qt(), DialLayout::UtcCentre.qt()})
            QCOMPARE(shot.pixel(Centred.topLeft() + offset + ((hub + QPointF(0.5, 0.5)) * 1.40625).toPoint()),
                     qRgb(128, 128, 128));
        steps += offset != last;
        last = offset;
        centredEarly += early;
        QVERIFY(!early || offset == QPoint(0, 0));
    }
    QVERIFY2(centredEarly > 0, "not seen centred in the first two minutes");
    QVERIFY2(steps >= 4, qPrintable(QStringLiteral("%1 steps").arg(steps)));
    QVERIFY(xvfb.xdotool({"key", "x"}));
    QVERIFY(EndsCleanly(*program, copy.lockPath(), 5000));
}

QTEST_GUILESS_MAIN(TestWanderOnScreen)
#include "test_wander_on_screen.moc"
