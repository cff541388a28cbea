#pragma once

#include <array>
#include <cstdint>

// Where the sun stands at an instant (whole seconds since 1970-01-01 00:00 UTC), as a unit
// vector from the earth's centre in the frame of GlobeView::ground: x towards 0°E on the
// equator, y towards 90°E, z towards the north pole. By the Astronomical Almanac's low-precision
// formulas for the sun, good to about 0.01° from 1950 to 2050; the sun's geometric altitude at a
// place is the arcsine of this vector's dot product with the place's.
std::array<double, 3> SunDirection(std::int64_t epochSecond);
