// The image control shows its picture stretched and repaints only what drawing really changed.

#include "support/paint_recorder.h"
#include "toolkit/bitmap.h"
#include "toolkit/image_control.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A picture of four plain quarters.
QImage quarteredPicture()
{
    QImage picture(200, 150, QImage::Format_RGB32);
    picture.fill(qRgb(200, 0, 0));
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            if ((x < 100) != (y < 75))
                picture.setPixel(x, y, qRgb(0, 0, 200));
    return picture;
}

} // namespace

class TestImageControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { control_.reset(); }
    void showsThePictureStretched();
    void repaintsOnlyWhereThePictureChanged();
    void drawingThatEndsWhereItBeganRepaintsNothing();
    void mouseMovementIsReportedWithoutAPointer();

private:
    std::unique_ptr<ImageControl> control_;
};

void TestImageControl::init()
{
    control_ = std::make_unique<ImageControl>();
    control_->setPicture(quarteredPicture());
    control_->setGeometry(0, 0, 400, 300);
    control_->show();
    QVERIFY(QTest::qWaitForWindowExposed(control_.get()));
    QTest::qWait(50);
}

void TestImageControl::showsThePictureStretched()
{
    const QImage shown = control_->grab().toImage();
    QCOMPARE(shown.size(), QSize(400, 300));
    QCOMPARE(QColor(shown.pixel(100, 75)), QColor(200, 0, 0));
    QCOMPARE(QColor(shown.pixel(300, 75)), QColor(0, 0, 200));
    QCOMPARE(QColor(shown.pixel(100, 225)), QColor(0, 0, 200));
    QCOMPARE(QColor(shown.pixel(300, 225)), QColor(200, 0, 0));
    QCOMPARE(QColor(shown.pixel(399, 299)), QColor(200, 0, 0));
}

void TestImageControl::repaintsOnlyWhereThePictureChanged()
{
    PaintRecorder recorder(*control_);
    Canvas &canvas = control_->canvas();
    canvas.setPenColour(0xFFFFFF);
    canvas.moveTo(20, 20);
    canvas.lineTo(40, 20);
    QTest::qWait(50);
    QCOMPARE(recorder.paints, 1);
    // The line covers picture pixels 20..40 of row 20: screen pixels 40..81 of rows 40 and 41.
    QVERIFY((QRegion(40, 40, 42, 2) - recorder.painted).isEmpty());
    QVERIFY2(QRect(34, 34, 54, 14).contains(recorder.painted.boundingRect()), "nothing far from the line");
    // Smooth stretching blends the white line with the red beneath.
    QVERIFY(qGreen(control_->grab().toImage().pixel(60, 40)) > 150);
}

void TestImageControl::drawingThatEndsWhereItBeganRepaintsNothing()
{
    Bitmap clean;
    clean.setSize(200, 150);
    clean.canvas().copyRect(QRect(0, 0, 200, 150), control_->canvas(), QRect(0, 0, 200, 150));
    PaintRecorder recorder(*control_);
    Canvas &canvas = control_->canvas();
    canvas.setPenColour(0xFFFFFF);
    canvas.moveTo(20, 20);
    canvas.lineTo(40, 60);
    canvas.copyRect(QRect(0, 0, 100, 100), clean.canvas(), QRect(0, 0, 100, 100));
    QTest::qWait(50);
    QCOMPARE(recorder.paints, 0);

    // Erasing and drawing the same again, as a clock does within one second.
    canvas.moveTo(20, 20);
    canvas.lineTo(40, 60);
    QTest::qWait(50);
    QCOMPARE(recorder.paints, 1);
    canvas.copyRect(QRect(0, 0, 100, 100), clean.canvas(), QRect(0, 0, 100, 100));
    canvas.moveTo(20, 20);
    canvas.lineTo(40, 60);
    QTest::qWait(50);
    QCOMPARE(recorder.paints, 1);
}

void TestImageControl::mouseMovementIsReportedWithoutAPointer()
{
    QCOMPARE(control_->cursor().shape(), Qt::BlankCursor);
    QSignalSpy moved(control_.get(), &ImageControl::mouseMoved);
    QTest::mouseMove(control_.get(), QPoint(50, 50));
    QTest::mouseMove(control_.get(), QPoint(60, 50));
    QVERIFY(moved.count() >= 1);
}

QTEST_MAIN(TestImageControl)
#include "test_image_control.moc"
