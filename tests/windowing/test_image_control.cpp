// The image control shows its picture in the pixels it covers, repaints only what drawing
// changed, and never makes a picture larger than 8K; a screen-sized picture lies in memory that
// may take large pages, and the source's pixels are left whole where others share them.

#include "support/paint_recorder.h"
#include "windowing/image_control.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const QSize PictureSize(200, 150);

// A picture of four plain quarters, at any size.
QImage quarteredPicture(const QSize &pixels)
{
    QImage picture(pixels, QImage::Format_RGB32);
    picture.fill(qRgb(200, 0, 0));
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            if ((x < pixels.width() / 2) != (y < pixels.height() / 2))
                picture.setPixel(x, y, qRgb(0, 0, 200));
    return picture;
}

// Whether the kernel may back the memory at this address with large pages.
bool mayTakeLargePages(const void *address)
{
    QFile maps(QStringLiteral("/proc/self/smaps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    bool inside = false;
    const auto at = quintptr(address);
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QList<QByteArray> range = line.split(' ').value(0).split('-');
        bool start = false;
        bool end = false;
        if (range.size() == 2) {
            const quintptr from = range[0].toULongLong(&start, 16);
            const quintptr to = range[1].toULongLong(&end, 16);
            if (start && end)
                inside = from <= at && at < to;
        }
        if (inside && line.startsWith("THPeligible:"))
            return line.simplified().endsWith(" 1");
    }
    return false;
}

} // namespace

class TestImageControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { control_.reset(); }
    void pictureIsMadeForTheControlsPixels();
    void repaintsOnlyWhereThePictureChanged();
    void pictureIsNeverLargerThan8K();
    void mouseMovementIsReportedWithoutAPointer();
    void screenSizedPictureMayTakeLargePages();

private:
    std::unique_ptr<ImageControl> control_;
};

void TestImageControl::init()
{
    control_ = std::make_unique<ImageControl>();
    control_->setPicture(PictureSize, quarteredPicture);
    QVERIFY(control_->place(QRect(0, 0, 400, 300)) == ImageControl::Placed::MadeAfresh);
    control_->show();
    QVERIFY(QTest::qWaitForWindowExposed(control_.get()));
    QTest::qWait(50);
}

void TestImageControl::pictureIsMadeForTheControlsPixels()
{
    QCOMPARE(control_->picture().size(), QSize(400, 300));
    QCOMPARE(control_->canvas().scale(), 2.0);
    const QImage shown = control_->grab().toImage();
    QCOMPARE(shown.size(), QSize(400, 300));
    QCOMPARE(QColor(shown.pixel(199, 149)), QColor(200, 0, 0));
    QCOMPARE(QColor(shown.pixel(200, 149)), QColor(0, 0, 200));
    QCOMPARE(QColor(shown.pixel(399, 299)), QColor(200, 0, 0));
    QVERIFY2(control_->place(QRect(10, 0, 400, 300)) == ImageControl::Placed::Unchanged,
             "the same pixels keep their picture");
}

void TestImageControl::repaintsOnlyWhereThePictureChanged()
{
    PaintRecorder recorder(*control_);
    Canvas &canvas = control_->canvas();
    canvas.setPenColour(0xFFFFFF);
    canvas.moveTo(20, 20);
    canvas.lineTo(40, 20);
    QTRY_COMPARE(recorder.paints, 1);
    // The line runs through the centres of picture pixels 20..40 of row 20: x 41..81, y 41.
    QVERIFY((QRegion(41, 40, 41, 2) - recorder.painted).isEmpty());
    QVERIFY2(QRect(36, 36, 50, 10).contains(recorder.painted.boundingRect()), "nothing far from the line");
    const QImage shown = control_->grab().toImage();
    QCOMPARE(QColor(shown.pixel(60, 41)), QColor(Qt::white));
    QCOMPARE(QColor(shown.pixel(60, 44)), QColor(200, 0, 0));
}

void TestImageControl::pictureIsNeverLargerThan8K()
{
    QSize asked;
    ImageControl control;
    control.setPicture(QSize(4, 4), [&asked](const QSize &pixels) {
        asked = pixels;
        return QImage(1, 1, QImage::Format_RGB32);
    });
    control.place(QRect(0, 0, 32767, 32767));
    QCOMPARE(asked, QSize(4320, 4320));
    control.place(QRect(0, 0, 16000, 4000));
    QCOMPARE(asked, QSize(7680, 1920));
}

void TestImageControl::mouseMovementIsReportedWithoutAPointer()
{
    QCOMPARE(control_->cursor().shape(), Qt::BlankCursor);
    QSignalSpy moved(control_.get(), &ImageControl::mouseMoved);
    QTest::mouseMove(control_.get(), QPoint(50, 50));
    QTest::mouseMove(control_.get(), QPoint(60, 50));
    QVERIFY(moved.count() >= 1);
}

void TestImageControl::screenSizedPictureMayTakeLargePages()
{
    // Pixels the source keeps must survive being moved.
    const QImage kept = quarteredPicture(QSize(1024, 768));
    ImageControl control;
    control.setPicture(PictureSize, [&kept](const QSize &) { return kept; });
    QVERIFY(control.place(QRect(0, 0, 1024, 768)) == ImageControl::Placed::MadeAfresh);
    QCOMPARE(control.picture(), kept);
    QCOMPARE(kept, quarteredPicture(QSize(1024, 768)));
    QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    const bool largePagesOn = setting.open(QIODevice::ReadOnly) && !setting.readAll().contains("[never]");
    QCOMPARE(mayTakeLargePages(control.picture().constBits()), largePagesOn);
}

QTEST_MAIN(TestImageControl)
#include "test_image_control.moc"
