// Telling the pixels that really changed from those that were only drawn again.

#include "toolkit/picture_difference.h"

#include <QTest>

namespace {

QImage greyPicture()
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(90, 90, 90));
    return picture;
}

} // namespace

class TestPictureDifference : public QObject
{
    Q_OBJECT
private slots:
    void equalPicturesDifferNowhere()
    {
        QCOMPARE(DifferingArea(greyPicture(), greyPicture(), QRect(0, 0, 64, 48)), QRect());
    }

    void areaBoundsEveryDifferingPixel()
    {
        QImage changed = greyPicture();
        changed.setPixel(10, 30, qRgb(90, 90, 91));
        changed.setPixel(40, 5, qRgb(0, 0, 0));
        changed.setPixel(63, 47, qRgb(255, 0, 0));
        QCOMPARE(DifferingArea(greyPicture(), changed, QRect(0, 0, 64, 48)), QRect(QPoint(10, 5), QPoint(63, 47)));
    }

    void differencesOutsideTheAreaAreNotLookedAt()
    {
        QImage changed = greyPicture();
        changed.setPixel(5, 5, qRgb(0, 0, 0));
        changed.setPixel(30, 20, qRgb(0, 0, 0));
        QCOMPARE(DifferingArea(greyPicture(), changed, QRect(20, 10, 20, 20)), QRect(30, 20, 1, 1));
        QCOMPARE(DifferingArea(greyPicture(), changed, QRect(40, 0, 24, 48)), QRect());
    }

    void areaIsCutToThePicture()
    {
        QImage changed = greyPicture();
        changed.setPixel(0, 0, qRgb(0, 0, 0));
        QCOMPARE(DifferingArea(greyPicture(), changed, QRect(-10, -10, 200, 200)), QRect(0, 0, 1, 1));
    }

    void copiedAreaNoLongerDiffers()
    {
        QImage source = greyPicture();
        source.fill(qRgb(1, 2, 3));
        QImage target = greyPicture();
        CopyArea(source, target, QRect(8, 4, 10, 6));
        QCOMPARE(DifferingArea(source, target, QRect(8, 4, 10, 6)), QRect());
        QCOMPARE(DifferingArea(greyPicture(), target, target.rect()), QRect(8, 4, 10, 6));
    }
};

QTEST_GUILESS_MAIN(TestPictureDifference)
#include "test_picture_difference.moc"
