#include "opdate/opdate.h"
#include "support/settings_sandbox.h"

#include <QTest>

#include <limits>

namespace {

SecondOfDay hms(int h, int m, int s)
{
    return h * 3600 + m * 60 + s;
}

} // namespace

class TestOpDate : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetWallClock({});
        ResetHourOffsets();
    }

    void secondsFromHmsWrapsHoursAtADay()
    {
        QCOMPARE(SecondsFromHms(23, 59, 59), 86400 - 1);
        QCOMPARE(SecondsFromHms(24, 0, 0), 0);
        QCOMPARE(SecondsFromHms(25, 0, 0), 3600);
        QCOMPARE(SecondsFromHms(0, 0, 0), 0);
        // Minutes and seconds are taken as they come; only the day wraps.
        QCOMPARE(SecondsFromHms(23, 255, 255), (23 * 3600 + 255 * 60 + 255) % 86400);
    }

    void addAndSubtractWrapAtMidnight()
    {
        QCOMPARE(AddHms(86400 - 1, 0, 0, 1), 0);
        QCOMPARE(AddHms(hms(23, 0, 0), 2, 0, 0), 3600);
        QCOMPARE(AddHms(hms(10, 0, 0), 24, 0, 0), hms(10, 0, 0));
        QCOMPARE(SubtractHms(30 * 60, 1, 0, 0), hms(23, 30, 0));
        QCOMPARE(SubtractHms(3600, 25, 0, 0), 0);
        QCOMPARE(SubtractHms(0, 0, 0, 1), 86400 - 1);
        QCOMPARE(SubtractHms(hms(12, 0, 0), 12, 0, 0), 0);
    }

    void splitGivesHoursMinutesSeconds()
    {
        std::uint8_t h = 99, m = 99, s = 99;
        SplitSecondOfDay(hms(12, 34, 56), h, m, s);
        QCOMPARE(int(h), 12);
        QCOMPARE(int(m), 34);
        QCOMPARE(int(s), 56);
        SplitSecondOfDay(0, h, m, s);
        QCOMPARE(int(h) + int(m) + int(s), 0);
        SplitSecondOfDay(86400 - 1, h, m, s);
        QCOMPARE(QList<int>({h, m, s}), QList<int>({23, 59, 59}));
    }

    void everySecondOfTheDaySurvivesARoundTrip()
    {
        for (SecondOfDay t = 0; t < 86400; ++t) {
            std::uint8_t h, m, s;
            SplitSecondOfDay(t, h, m, s);
            QVERIFY(h < 24 && m < 60 && s < 60);
            QCOMPARE(SecondsFromHms(h, m, s), t);
        }
    }

    void hourShiftsPassThroughEightBits_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("expected");
        const SecondOfDay base = hms(10, 15, 20);
        QTest::newRow("zero") << 0 << base;
        QTest::newRow("plus 1") << 1 << hms(11, 15, 20);
        QTest::newRow("minus 1") << -1 << hms(9, 15, 20);
        QTest::newRow("plus 14 over midnight") << 14 << hms(0, 15, 20);
        QTest::newRow("minus 11 over midnight") << -11 << hms(23, 15, 20);
        QTest::newRow("24 is a whole day") << 24 << base;
        QTest::newRow("25 acts as 1") << 25 << hms(11, 15, 20);
        QTest::newRow("300 acts as 20") << 300 << hms(6, 15, 20);
        QTest::newRow("-300 acts as -20") << -300 << hms(14, 15, 20);
        QTest::newRow("256 leaves 0 in eight bits") << 256 << base;
        QTest::newRow("int max") << std::numeric_limits<std::int32_t>::max() << hms(1, 15, 20); // 255 mod 24 = 15
        QTest::newRow("int min") << std::numeric_limits<std::int32_t>::min() << base;           // 2^31 leaves 0
    }

    void hourShiftsPassThroughEightBits()
    {
        QFETCH(int, offset);
        QFETCH(int, expected);
        QCOMPARE(ShiftedByHours(hms(10, 15, 20), offset), expected);
    }

    void dialTimesFollowTheWallClockAndTheOffsets()
    {
        QTime now(0, 30, 0, 999);
        SetWallClock([&now] { return now; });
        UtcOffset = -1;
        QCOMPARE(CurrentSecondOfDay(), hms(0, 30, 0));
        QCOMPARE(UtcClockTime(), hms(23, 30, 0));
        QCOMPARE(LocalClockTime(), hms(0, 30, 0));

        LocalOffset = 2;
        UtcOffset = std::numeric_limits<std::int32_t>::min();
        now = QTime(23, 59, 59);
        QCOMPARE(LocalClockTime(), hms(1, 59, 59));
        QCOMPARE(UtcClockTime(), hms(23, 59, 59));
    }
};

QTEST_GUILESS_MAIN(TestOpDate)
#include "test_opdate.moc"
