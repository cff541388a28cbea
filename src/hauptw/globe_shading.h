#pragma once

#include "hauptw/globe_projection.h"
#include "drawing/bitmap.h"
#include "drawing/coordinates.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Day and night on one dial's globe, painted into the clean dial that the hands are restored
// from. Night keeps NightBrightness of the day's light; the twilight between the sun at the
// horizon and TwilightDepth below it is a smooth gradient. Only the globe's share of each pixel
// dims: what the face lays over it (its rim) and everything around it keep their colours.
class GlobeShading
{
public:
    static constexpr double NightBrightness = 0.4;
    static constexpr double TwilightDepth = 18.0; // degrees: astronomical twilight

    // For the globe on the clean dial as it is now, by day. `layers` (see GlobeLayers) lies on
    // the picture's pixels, as the clean dial's canvas maps them; forgets an earlier globe.
    void prepare(const Bitmap &clean, const QImage &layers, const DialGlobe &globe);
    // Paints the globe on the clean dial, the one prepared for, as the sun in this direction (see
    // SunDirection) lights it. Returns the areas where the clean dial changed: a few strips along
    // the twilight when the sun moved on a little. A clean dial that is not the one prepared
    // for (one made afresh since) is left as it is.
    std::vector<DrawnRect> shade(Bitmap &clean, const std::array<double, 3> &sun);

private:
    // One pixel of the globe: the ground under it, as a unit vector in steps of 1 / UnitSteps,
    // and the brightness it was painted with last. Read whole at every shading, so kept small.
    struct Texel
    {
        std::array<std::int16_t, 3> ground;
        std::uint16_t brightness;
    };
    // Its light split into what the globe gives, which dims at night, and the rest; read only
    // where the brightness changed.
    struct Light
    {
        std::uint32_t rest;
        std::uint32_t globe;
    };
    // The pixels of the globe in one row of the clean dial, side by side.
    struct Run
    {
        int y;
        int x;
        int length;
    };

    // The clean dial's pixels that were prepared for.
    DrawnRect prepared_;
    std::vector<Run> runs_;
    std::shared_ptr<std::byte> memory_;
    std::span<Texel> texels_;
    std::span<Light> lights_;
};
