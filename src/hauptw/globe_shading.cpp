#include "globe_shading.h"

#include "drawing/large_pages.h"

#include <algorithm>
#include <cmath>
#include <limits>
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
// No brightness: the pixel has not been painted since the globe was prepared.
constexpr std::uint16_t Unpainted = 0xFFFF;
// The changes are reported by the boxes they fill in tiles of the clean dial, side by side
// tiles joined: the twilight crosses a band of rows in a short stretch, or in two near the rim
// when it rings the globe.
constexpr int TileRows = 16;
constexpr int TileColumns = 32;

// The changed pixels of one band of tiles.
class ChangedTiles
{
public:
    explicit ChangedTiles(int width) : boxes_(std::size_t(width / TileColumns + 1)) {}
    void add(int x, int y)
    {
        Box &box = boxes_[std::size_t(x / TileColumns)];
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    }
    // Hands over the boxes of side by side changed tiles joined, and forgets them.
    template<typename Report>
    void report(Report report)
    {
        PatchRect joined;
        for (Box &box : boxes_) {
            if (box.right < 0) {
                if (!joined.isEmpty())
                    report(joined);
                joined = {};
                continue;
            }
            joined |= PatchRect(PatchPoint(box.left, box.top), PatchPoint(box.right, box.bottom));
            box = {};
        }
        if (!joined.isEmpty())
            report(joined);
    }

private:
    struct Box
    {
        int left = std::numeric_limits<int>::max();
        int top = std::numeric_limits<int>::max();
        int right = -1;
        int bottom = -1;
    };
    std::vector<Box> boxes_;
};

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

// Runs, texels and lights are in the clean dial's own pixels.
void GlobeShading::prepare(const Bitmap &clean, const QImage &layers, const DialGlobe &globe)
{
    runs_.clear();
    const Canvas &canvas = clean.canvas();
    prepared_ = canvas.drawnArea(PatchRect(clean.image().rect()));
    const int reach = int(std::ceil(globe.radius)) + 2;
    const PicturePoint centre(globe.centre.toPoint());
    const PictureRect area(centre - PicturePoint(reach, reach), centre + PicturePoint(reach - 1, reach - 1));
    const QRect pixels = (canvas.inImage(canvas.drawnArea(area)) & PatchRect(clean.image().rect())).qt();
    // Clean dial pixel + origin = drawn pixel; layer pixel + offset = drawn pixel.
    const QPoint toLayer = canvas.origin().qt() - layers.offset();
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
    memory_ = LargePageMemory(count * (sizeof(Texel) + sizeof(Light)));
    texels_ = std::span(reinterpret_cast<Texel *>(memory_.get()), count);
    lights_ = std::span(reinterpret_cast<Light *>(texels_.data() + count), count);

    const QPointF discCentre = globe.centre * canvas.scale() - QPointF(canvas.origin().qt());
    const double radius = globe.radius * canvas.scale();
    const GlobeGround groundAt(globe.view);
    Texel *texel = texels_.data();
    Light *light = lights_.data();
    for (const Run &run : runs_)
        for (int x = run.x; x < run.x + run.length; ++x, ++texel, ++light) {
            QPointF unit = (QPointF(x + 0.5, run.y + 0.5) - discCentre) / radius;
            // A pixel the rim only touches shows the ground at the rim.
            const double distance = std::hypot(unit.x(), unit.y());
            if (distance > 1.0)
                unit /= distance;
            const std::array<double, 3> ground = groundAt(unit).value_or(std::array<double, 3>{});
            const QRgb day = reinterpret_cast<const QRgb *>(clean.image().constScanLine(run.y))[x];
            const std::uint32_t globe = globeLight(day, layerAt(x, run.y));
            *texel = {{unitSteps(ground[0]), unitSteps(ground[1]), unitSteps(ground[2])}, Unpainted};
            *light = {day - globe, globe};
        }
}

std::vector<DrawnRect> GlobeShading::shade(Bitmap &clean, const std::array<double, 3> &sun)
{
    std::vector<DrawnRect> changed;
    if (clean.canvas().drawnArea(PatchRect(clean.image().rect())) != prepared_)
        return changed;
    const std::int32_t sunX = unitSteps(sun[0]), sunY = unitSteps(sun[1]), sunZ = unitSteps(sun[2]);
    const auto &brightness = brightnessBySine();
    QImage &pixels = clean.image();
    ChangedTiles tiles(pixels.width());
    auto reportBand = [&] { tiles.report([&](const PatchRect &box) { changed.push_back(clean.canvas().drawnArea(box)); }); };
    Texel *texel = texels_.data();
    const Light *light = lights_.data();
    for (const Run &run : runs_) {
        if (run.y % TileRows == 0)
            reportBand();
        auto *out = reinterpret_cast<std::uint32_t *>(pixels.scanLine(run.y)) + run.x;
        for (int i = 0; i < run.length; ++i, ++texel, ++light) {
            const std::int32_t sine = (texel->ground[0] * sunX + texel->ground[1] * sunY + texel->ground[2] * sunZ)
                                      >> UnitShift;
            const std::uint16_t now = brightness[std::size_t((sine >> SineShift) + SineSteps + 1)];
            if (now == texel->brightness)
                continue;
            texel->brightness = now;
            out[i] = light->rest + dimmed(light->globe, now);
            tiles.add(run.x + i, run.y);
        }
    }
    reportBand();
    return changed;
}
