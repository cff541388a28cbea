// The sun's place, and the ground under each point of the dials' globes.

#include "hauptw/globe_projection.h"
#include "hauptw/sun_position.h"

#include <QTest>

#include <cmath>
#include <numbers>

namespace {

constexpr double Degree = std::numbers::pi / 180.0;

std::array<double, 3> place(double longitude, double latitude)
{
    return {std::cos(latitude * Degree) * std::cos(longitude * Degree),
            std::cos(latitude * Degree) * std::sin(longitude * Degree), std::sin(latitude * Degree)};
}

} // namespace

class TestSunPosition : public QObject
{
    Q_OBJECT
private slots:
    void altitudeAgreesWithPublishedValues_data();
    void altitudeAgreesWithPublishedValues();
    void groundUnderTheGlobesIsWhereTheMapsPutIt();
};

// The sun's altitude without refraction by PyEphem 4.1.4 (Debian's python3-ephem, Brandon
// Rhodes's binding of XEphem's libastro), observer at sea level with pressure 0. The last row is
// the March equinox of 2024 by the US Naval Observatory (2024-03-20 03:06 UTC), when the sun
// stands on the horizon at both poles.
void TestSunPosition::altitudeAgreesWithPublishedValues_data()
{
    QTest::addColumn<qint64>("instant");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("expected");
    const qint64 noon = 1710936000, midnight = 1710892800, solstice = 1718884800; // 2024-03-20, 06-20
    QTest::newRow("equinox noon 0,0") << noon << 0.0 << 0.0 << 88.167;
    QTest::newRow("equinox noon 180,0") << noon << 180.0 << 0.0 << -88.167;
    QTest::newRow("equinox noon north pole") << noon << 0.0 << 90.0 << 0.144;
    QTest::newRow("equinox noon south pole") << noon << 0.0 << -90.0 << -0.149;
    QTest::newRow("equinox midnight 0,0") << midnight << 0.0 << 0.0 << -88.135;
    QTest::newRow("equinox midnight 180,0") << midnight << 180.0 << 0.0 << 88.135;
    QTest::newRow("equinox midnight north pole") << midnight << 0.0 << 90.0 << -0.053;
    QTest::newRow("equinox midnight south pole") << midnight << 0.0 << -90.0 << 0.049;
    QTest::newRow("solstice noon 0,0") << solstice << 0.0 << 0.0 << 66.558;
    QTest::newRow("solstice noon 180,0") << solstice << 180.0 << 0.0 << -66.560;
    QTest::newRow("solstice noon north pole") << solstice << 0.0 << 90.0 << 23.436;
    QTest::newRow("solstice noon south pole") << solstice << 0.0 << -90.0 << -23.440;
    QTest::newRow("equinox instant north pole") << qint64(1710903960) << 0.0 << 90.0 << 0.0;
    // East and west apart: at 06:00 UTC the sun stands over about 92°E (the equation of time is
    // -7.6 minutes), at 18:00 UTC over 88°W.
    const qint64 equinox6 = 1710914400, equinox18 = 1710957600, solstice6 = 1718863200;
    QTest::newRow("equinox 06:00 90E,0") << equinox6 << 90.0 << 0.0 << 88.153;
    QTest::newRow("equinox 06:00 90W,0") << equinox6 << -90.0 << 0.0 << -88.154;
    QTest::newRow("equinox 18:00 90E,0") << equinox18 << 90.0 << 0.0 << -88.175;
    QTest::newRow("equinox 18:00 90W,0") << equinox18 << -90.0 << 0.0 << 88.175;
    QTest::newRow("solstice 06:00 90E,45N") << solstice6 << 90.0 << 45.0 << 68.433;
    QTest::newRow("solstice 06:00 90W,45N") << solstice6 << -90.0 << 45.0 << -21.564;
}

void TestSunPosition::altitudeAgreesWithPublishedValues()
{
    QFETCH(qint64, instant);
    QFETCH(double, longitude);
    QFETCH(double, latitude);
    QFETCH(double, expected);
    const std::array<double, 3> sun = SunDirection(instant), ground = place(longitude, latitude);
    const double computed = std::asin(sun[0] * ground[0] + sun[1] * ground[1] + sun[2] * ground[2]) / Degree;
    QVERIFY2(std::abs(computed - expected) <= 0.2, qPrintable(QString::number(computed)));
}

// The shading finds the ground without inverse trigonometry; it must be the point the
// generator drew there.
void TestSunPosition::groundUnderTheGlobesIsWhereTheMapsPutIt()
{
    for (const DialGlobe &globe : {DialGlobes::Local, DialGlobes::Utc}) {
        const GlobeGround groundAt(globe.view);
        for (double y = -0.95; y < 1; y += 0.1)
            for (double x = -0.95; x < 1; x += 0.1) {
                const auto lonLat = globe.view.inverse(QPointF(x, y));
                const auto ground = groundAt(QPointF(x, y));
                QCOMPARE(bool(lonLat), bool(ground));
                if (!lonLat)
                    continue;
                const std::array<double, 3> expected = place(lonLat->x(), lonLat->y());
                for (int axis = 0; axis < 3; ++axis)
                    QVERIFY(std::abs((*ground)[axis] - expected[axis]) < 1e-9);
            }
    }
}

QTEST_GUILESS_MAIN(TestSunPosition)
#include "test_sun_position.moc"
