#include "globe_shading.h"

#include "drawing/large_pages.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Unit vectors in whole steps: the sun's and the ground's product then fits 32 bits.
constexpr int UnitShift = 14;
constexpr double UnitSteps = 1 << UnitShift;
// Brightness by the sine of the sun's altitude, in steps of 1/16 of a unit step, as a share of
// 256.
constexpr int SineShift = 4;
constexpr int SineSteps = (1 << UnitShift) >> SineShift;
constexpr int FullBrightness = 256;

std::int16_t unitSteps(double value)
{
    return std::int16_t(std::lround(value * UnitSteps));
}

// Index (sine of the altitude in steps) + SineSteps + 1, with a step to spare either way for
// rounding.
const std::array<std::uint16_t, 2 * SineSteps + 3> &brightnessBySine()
{
    static const auto table = [] {
        std::array<std::uint16_t, 2 * SineSteps + 3> brightness{};
        for (std::size_t i = 0; i < brightness.size(); ++i) {
            const double sine = std::clamp((double(i) - SineSteps - 1) / SineSteps, -1.0, 1.0);
            const double altitude = std::asin(sine) * 180.0 / std::numbers::pi;
            const double t = std::clamp(-altitude / GlobeShading::TwilightDepth, 0.0, 1.0);
            const double dimmed = (1.0 - GlobeShading::NightBrightness) * t * t * (3 - 2 * t);
            brightness[i] = std::uint16_t(std::lround(FullBrightness * (1.0 - dimmed)));
        }
        return brightness;
    }();
    return table;
}

// Each channel of the pixel times brightness / 256; brightness is 256 at most, so red and blue
// can share one multiplication.
std::uint32_t dimmed(std::uint32_t pixel, std::uint32_t brightness)
{
    const std::uint32_t redBlue = (((pixel & 0xFF00FFU) * brightness) >> 8) & 0xFF00FFU;
    const std::uint32_t green = (((pixel & 0x00FF00U) * brightness) >> 8) & 0x00FF00U;
    return redBlue | green;
}

// The globe's share of a pixel's light: what lies over the globe taken off, the rest scaled by
// the share of the pixel the globe covers.
std::uint32_t globeLight(QRgb day, QRgb layer)
{
    const int coverage = qAlpha(layer);
    auto channel = [&](int value, int over) { return std::max(value - over, 0) * coverage / 255; };
    return std::uint32_t(
        qRgba(channel(qRed(day), qRed(layer)), channel(qGreen(day), qGreen(layer)), channel(qBlue(day), qBlue(layer)), 0));
}

} // namespace

void GlobeShading::prepare(Bitmap &clean, const QImage &layers, const DialGlobe &globe)
{
    clean_ = &clean;
    runs_.clear();
    const Canvas &canvas = clean.canvas();
    const int reach = int(std::ceil(globe.radius)) + 2;
    const QPoint centre = globe.centre.toPoint();
    pictureArea_ = QRect(centre - QPoint(reach, reach), centre + QPoint(reach - 1, reach - 1));
    const QRect pixels = canvas.pixelArea(pictureArea_) & clean.image().rect();
    // Clean dial pixel + origin = picture pixel; layer pixel + offset = picture pixel.
    const QPoint toLayer = canvas.origin() - layers.offset();
    auto layerAt = [&](int x, int y) {
        const QPoint at = QPoint(x, y) + toLayer;
        if (!layers.rect().contains(at))
            return QRgb(0);
        return reinterpret_cast<const QRgb *>(layers.constScanLine(at.y()))[at.x()];
    };

    // A disc's pixels lie side by side in each row.
    std::size_t count = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        int first = -1;
        int last = -1;
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (qAlpha(layerAt(x, y)) > 0) {
                first = first < 0 ? x : first;
                last = x;
            }
        if (first >= 0) {
            runs_.push_back({y, first, last - first + 1});
            count += std::size_t(last - first + 1);
        }
    }
    memory_ = LargePageMemory(count * sizeof(Texel));
    texels_ = std::span(reinterpret_cast<Texel *>(memory_.get()), count);

    const QPointF discCentre = globe.centre * canvas.scale() - QPointF(canvas.origin());
    const double radius = globe.radius * canvas.scale();
    const GlobeGround groundAt(globe.view);
    Texel *texel = texels_.data();
    for (const Run &run : runs_)
        for (int x = run.x; x < run.x + run.length; ++x, ++texel) {
            QPointF unit = (QPointF(x + 0.5, run.y + 0.5) - discCentre) / radius;
            // A pixel the rim only touches shows the ground at the rim.
            const double distance = std::hypot(unit.x(), unit.y());
            if (distance > 1.0)
                unit /= distance;
            const std::array<double, 3> ground = groundAt(unit).value_or(std::array<double, 3>{});
            const QRgb day = reinterpret_cast<const QRgb *>(clean.image().constScanLine(run.y))[x];
            const std::uint32_t light = globeLight(day, layerAt(x, run.y));
            *texel = {{unitSteps(ground[0]), unitSteps(ground[1]), unitSteps(ground[2])}, day - light, light};
        }
}

void GlobeShading::shade(const std::array<double, 3> &sun)
{
    const std::int32_t sunX = unitSteps(sun[0]), sunY = unitSteps(sun[1]), sunZ = unitSteps(sun[2]);
    const auto &brightness = brightnessBySine();
    QImage &pixels = clean_->image();
    const Texel *texel = texels_.data();
    for (const Run &run : runs_) {
        auto *out = reinterpret_cast<std::uint32_t *>(pixels.scanLine(run.y)) + run.x;
        for (int i = 0; i < run.length; ++i, ++texel) {
            const std::int32_t sine = (texel->ground[0] * sunX + texel->ground[1] * sunY + texel->ground[2] * sunZ)
                                      >> UnitShift;
            out[i] = texel->rest + dimmed(texel->light, brightness[std::size_t((sine >> SineShift) + SineSteps + 1)]);
        }
    }
}
