#include "picture_wander.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Points on the curve per pixel of reach: dense enough that no coordinate jumps a pixel.
constexpr int SamplesPerPixel = 256;

} // namespace

// A three-petalled rose, r = a sin 3t over half a turn: it starts and ends at the centred place
// and passes through it between petals, so the path is closed and goes out in six directions.
// Its points, rounded to whole pixels, are kept where they differ from the one before. Rounding
// moves a point by at most 0.71 pixels, so a rose a little smaller than the reach keeps within it.
PictureWander::PictureWander(int screenHeight) : reach_(std::max(0, screenHeight / 100))
{
    const double radius = std::max(0.0, reach_ - 0.75);
    const int samples = SamplesPerPixel * std::max(1, reach_);
    points_.push_back(QPoint(0, 0));
    for (int sample = 1; sample < samples; ++sample) {
        const double t = std::numbers::pi * sample / samples;
        const double r = radius * std::sin(3 * t);
        const QPoint point(int(std::lround(r * std::cos(t))), int(std::lround(r * std::sin(t))));
        if (point != points_.back())
            points_.push_back(point);
    }
    // The rose's last points round to its first.
    while (points_.size() > 1 && points_.back() == points_.front())
        points_.pop_back();
}

qint64 PictureWander::stepAt(std::chrono::milliseconds shown)
{
    return shown / StepInterval;
}

QPoint PictureWander::offsetAt(qint64 step) const
{
    return points_[std::size_t(step % qint64(points_.size()))];
}
