// The real program on an X server with its clocks running 60 times as fast (libfaketime): the
// picture stays centred for the first two minutes, has moved after twenty, never by more than
// 1 % of the screen's height nor by more than a pixel each way at a step, and the screen shows
// nothing but the picture and black. The server's framebuffer is read straight from its file,
// so a look takes no time of the server's and catches the first seconds.

#include "hauptw/built_in_pictures.h"
#include "drawing/picture_fit.h"
#include "support/fixed_clock.h"
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// An XWD file: big-endian header words, the header's size first, the colour count 20th.
QImage framebuffer(const QString &path, const QSize &size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 100)
        return {};
    const QByteArray head = file.read(100);
    const auto word = [&](int index) { return qFromBigEndian<quint32>(head.constData() + 4 * index); };
    file.seek(word(0) + 12 * word(19));
    const QByteArray pixels = file.read(qint64(size.width()) * size.height() * 4);
    return QImage(reinterpret_cast<const uchar *>(pixels.constData()), size.width(), size.height(), QImage::Format_RGB32)
        .copy();
}

// Where the program draws: the text line and the dials, in picture pixels.
const QRect Drawn[] = {{256, 0, 512, 80}, {520, 520, 470, 210}};

bool drawnAt(QPoint inPicture, double scale)
{
    return std::any_of(std::begin(Drawn), std::end(Drawn),
                       [&](const QRect &area) { return area.contains(inPicture / scale); });
}

// Where the picture is on the screen as it should be, if the screen shows it at all.
class ShownPicture
{
public:
    explicit ShownPicture(const QSize &screen)
        : centred(FitPictureInside(screen, DialLayout::PictureSize)),
          clean(BackgroundPicture(centred.size()).convertToFormat(QImage::Format_RGB32)),
          scale(double(centred.width()) / DialLayout::PictureSize.width())
    {
        // Points that differ from their neighbour, away from the edges the screen may cut.
        for (int y = 16; y < clean.height() - 16; y += 23)
            for (int x = 16; x < clean.width() - 16; x += 19)
                if (!drawnAt({x, y}, scale) && std::abs(qGray(clean.pixel(x, y)) - qGray(clean.pixel(x + 1, y + 1))) > 24)
                    landmarks_.push_back({x, y});
    }

    // How far the picture is from its centred place, where all landmarks are within `reach`.
    std::optional<QPoint> offset(const QImage &screen, int reach) const
    {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (std::all_of(landmarks_.begin(), landmarks_.end(), [&](QPoint mark) {
                        const QPoint there = mark + centred.topLeft() + QPoint(dx, dy);
                        return screen.rect().contains(there) && screen.pixel(there) == clean.pixel(mark);
                    }))
                    return QPoint(dx, dy);
        return std::nullopt;
    }

    // Pixels neither black where the picture is not, nor the clean picture where it is, leaving
    // out where the program draws.
    int strangePixels(const QImage &screen, QPoint offset) const
    {
        int strange = 0;
        for (int y = 0; y < screen.height(); y += 2)
            for (int x = 0; x < screen.width(); x += 2) {
                const QPoint inPicture = QPoint(x, y) - centred.topLeft() - offset;
                const bool inside = clean.rect().contains(inPicture);
                if (!(inside && drawnAt(inPicture, scale)))
                    strange += screen.pixel(x, y) != (inside ? clean.pixel(inPicture) : qRgb(0, 0, 0));
            }
        return strange;
    }

    const QRect centred;
    const QImage clean;
    const double scale;

private:
    std::vector<QPoint> landmarks_;
};

} // namespace

class TestWanderOnScreen : public QObject
{
    Q_OBJECT
private slots:
    void pictureWandersWithinOnePercent_data();
    void pictureWandersWithinOnePercent();
};

void TestWanderOnScreen::pictureWandersWithinOnePercent_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("bands beside, cut at top and bottom") << QSize(1920, 1080);
    QTest::newRow("bands above and below, cut at the sides") << QSize(1280, 1024);
}

void TestWanderOnScreen::pictureWandersWithinOnePercent()
{
    QFETCH(QSize, screen);
    QVERIFY2(!FakeTimeLibrary.isEmpty(), "libfaketime is not installed (Debian package faketime)");
    QTemporaryDir folder;
    // A white desktop, which any part of the screen the program leaves uncovered shows.
    XvfbServer xvfb(screen.width(), screen.height(), {QStringLiteral("-fbdir"), folder.path(), QStringLiteral("-wr")});
    ProgramCopy copy;
    QVERIFY(xvfb.isRunning() && copy.isValid());
    QProcessEnvironment environment = xvfb.environment();
    environment.insert(QStringLiteral("LD_PRELOAD"), FakeTimeLibrary);
    environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("+0 x60"));
    QElapsedTimer sinceStart;
    sinceStart.start();
    const std::unique_ptr<QProcess> program = copy.start({QStringLiteral("/S")}, environment);

    const ShownPicture picture(screen);
    const int reach = screen.height() / 100;
    const QString file = folder.filePath(QStringLiteral("Xvfb_screen0"));
    bool shown = false;
    int centredEarly = 0;
    int steps = 0;
    QPoint last;
    // Twenty-two simulated minutes; before two, the program cannot have wandered.
    while (sinceStart.elapsed() < 22'000) {
        QTest::qWait(100);
        QImage shot = framebuffer(file, screen);
        std::optional<QPoint> offset = picture.offset(shot, reach + 2);
        // A read while the server moves the picture may find it half moved; a second one does not.
        if (!offset || picture.strangePixels(shot, *offset) > 0) {
            shot = framebuffer(file, screen);
            offset = picture.offset(shot, reach + 2);
        }
        const bool early = sinceStart.elapsed() < 2'000;
        if (!offset && !shown)
            continue;
        QVERIFY2(offset, "the screen shows the picture nowhere");
        shown = true;
        const int strange = picture.strangePixels(shot, *offset);
        QVERIFY2(strange == 0, qPrintable(QStringLiteral("%1 pixels neither picture nor black").arg(strange)));
        QVERIFY2(std::hypot(offset->x(), offset->y()) <= reach, "too far");
        const QPoint move = *offset - last;
        QVERIFY2(std::max(std::abs(move.x()), std::abs(move.y())) <= 1, "a step too large");
        steps += move != QPoint(0, 0);
        last = *offset;
        if (early) {
            QCOMPARE(*offset, QPoint(0, 0));
            ++centredEarly;
        }
    }
    qInfo() << centredEarly << "looks in the first two minutes," << steps << "steps, last at" << last;
    QVERIFY2(centredEarly > 0, "not seen centred in the first two minutes");
    QVERIFY2(steps >= 4, qPrintable(QStringLiteral("%1 steps").arg(steps)));
    QVERIFY(xvfb.xdotool({"key", "x"}));
    QVERIFY(EndsCleanly(*program, copy.lockPath(), 5000));
}

QTEST_GUILESS_MAIN(TestWanderOnScreen)
#include "test_wander_on_screen.moc"
