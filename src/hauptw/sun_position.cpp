#include "sun_position.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double Degree = std::numbers::pi / 180.0;
constexpr double SecondsPerDay = 86400.0;
// Days from 1970-01-01 00:00 UTC to the epoch J2000.0 (2000-01-01 12:00).
constexpr double DaysToJ2000 = 10957.5;

} // namespace

std::array<double, 3> SunDirection(std::int64_t epochSecond)
{
    const double n = double(epochSecond) / SecondsPerDay - DaysToJ2000;
    // Mean longitude and mean anomaly, then the ecliptic longitude and the obliquity.
    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double meanAnomaly = (357.528 + 0.9856003 * n) * Degree;
    const double longitude = (meanLongitude + 1.915 * std::sin(meanAnomaly) + 0.020 * std::sin(2 * meanAnomaly)) * Degree;
    const double obliquity = (23.439 - 0.0000004 * n) * Degree;
    const double rightAscension = std::atan2(std::cos(obliquity) * std::sin(longitude), std::cos(longitude));
    const double declination = std::asin(std::sin(obliquity) * std::sin(longitude));
    // Greenwich mean sidereal time: how far the earth has turned under the equinox.
    const double siderealTime = std::remainder(280.46061837 + 360.98564736629 * n, 360.0) * Degree;
    // The longitude where the sun stands overhead.
    const double overhead = rightAscension - siderealTime;
    return {std::cos(declination) * std::cos(overhead), std::cos(declination) * std::sin(overhead), std::sin(declination)};
}
