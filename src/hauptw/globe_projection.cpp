#include "globe_projection.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double Degree = std::numbers::pi / 180.0;

} // namespace

std::optional<QPointF> GlobeView::forward(double lon, double lat) const
{
    const double dl = (lon - lon0) * Degree, phi = lat * Degree;
    if (kind == Kind::PolarAzimuthal) {
        const double r = (90.0 - lat) / maxColatitude;
        if (r > 1.0)
            return std::nullopt;
        return QPointF(r * std::sin(dl), r * std::cos(dl));
    }
    const double phi0 = lat0 * Degree;
    const double cosC = std::sin(phi0) * std::sin(phi) + std::cos(phi0) * std::cos(phi) * std::cos(dl);
    if (cosC < 0)
        return std::nullopt;
    const double x = std::cos(phi) * std::sin(dl);
    const double up = std::cos(phi0) * std::sin(phi) - std::sin(phi0) * std::cos(phi) * std::cos(dl);
    return QPointF(x, -up);
}

std::optional<QPointF> GlobeView::inverse(QPointF unit) const
{
    const double rho = std::hypot(unit.x(), unit.y());
    if (rho > 1.0)
        return std::nullopt;
    if (kind == Kind::PolarAzimuthal) {
        const double lon = lon0 + std::atan2(unit.x(), unit.y()) / Degree;
        return QPointF(std::remainder(lon, 360.0), 90.0 - rho * maxColatitude);
    }
    if (rho < 1e-12)
        return QPointF(lon0, lat0);
    const double phi0 = lat0 * Degree, up = -unit.y();
    const double c = std::asin(rho);
    const double lat = std::asin(std::cos(c) * std::sin(phi0) + up * std::sin(c) * std::cos(phi0) / rho);
    const double lon = lon0 * Degree
                       + std::atan2(unit.x() * std::sin(c),
                                    rho * std::cos(c) * std::cos(phi0) - up * std::sin(c) * std::sin(phi0));
    return QPointF(std::remainder(lon / Degree, 360.0), lat / Degree);
}

GlobeGround::GlobeGround(const GlobeView &view)
    : kind_(view.kind), maxColatitude_(view.maxColatitude), cosLon0_(std::cos(view.lon0 * Degree)),
      sinLon0_(std::sin(view.lon0 * Degree)), cosLat0_(std::cos(view.lat0 * Degree)), sinLat0_(std::sin(view.lat0 * Degree))
{
}

std::optional<std::array<double, 3>> GlobeGround::operator()(QPointF unit) const
{
    const double rho2 = unit.x() * unit.x() + unit.y() * unit.y();
    if (rho2 > 1.0)
        return std::nullopt;
    if (kind_ == GlobeView::Kind::PolarAzimuthal) {
        // Down the disc is lon0; the angle from there runs towards the disc's right.
        const double rho = std::sqrt(rho2);
        const double colatitude = rho * maxColatitude_ * Degree;
        const double down = rho > 0 ? unit.y() / rho : 1.0, right = rho > 0 ? unit.x() / rho : 0.0;
        const double cosLon = down * cosLon0_ - right * sinLon0_, sinLon = down * sinLon0_ + right * cosLon0_;
        const double s = std::sin(colatitude);
        return std::array{s * cosLon, s * sinLon, std::cos(colatitude)};
    }
    // Seen from above (lon0, lat0): right is east, up is north, the depth faces the viewer.
    const double east = unit.x(), north = -unit.y(), out = std::sqrt(1.0 - rho2);
    return std::array{-east * sinLon0_ - north * sinLat0_ * cosLon0_ + out * cosLat0_ * cosLon0_,
                      east * cosLon0_ - north * sinLat0_ * sinLon0_ + out * cosLat0_ * sinLon0_,
                      north * cosLat0_ + out * sinLat0_};
}
