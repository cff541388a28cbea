// The picture's path on screens of several heights: centred at its start and after its last
// step, never beyond 1 % of the height, one pixel each way a step, and it really goes out.

#include "windowing/picture_wander.h"

#include <QTest>

#include <cmath>

class TestPictureWander : public QObject
{
    Q_OBJECT
private slots:
    void pathStaysWithinReachInSmallSteps()
    {
        for (const auto &[height, reach] : {std::pair{150, 1}, {240, 2}, {768, 7}, {1080, 10}, {2160, 21}, {4320, 43}}) {
            const PictureWander wander(height);
            QCOMPARE(wander.reach(), reach);
            QCOMPARE(wander.offsetAt(0), QPoint(0, 0));
            QCOMPARE(wander.offsetAt(wander.length()), QPoint(0, 0));
            // A window too small to wander stays put.
            QCOMPARE(wander.length() == 1, reach <= 1);
            int farthest = 0;
            for (int step = 0; step < wander.length(); ++step) {
                const QPoint here = wander.offsetAt(step);
                const QPoint move = wander.offsetAt(step + 1) - here;
                QVERIFY(std::hypot(here.x(), here.y()) <= reach);
                QVERIFY(wander.length() == 1 || std::max(std::abs(move.x()), std::abs(move.y())) == 1);
                farthest = std::max({farthest, std::abs(here.x()), std::abs(here.y())});
            }
            QVERIFY(farthest >= reach - 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestPictureWander)
#include "test_picture_wander.moc"
