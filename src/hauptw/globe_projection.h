#pragma once
// How the two dials lay the earth into their globes: the picture generator paints the maps this
// way, and the clock window finds the ground under each pixel of a globe the same way to shade
// it by day and night.

#include "hauptw/dial_layout.h"

#include <QPointF>

#include <array>
#include <optional>

// A projection of the earth into a disc of unit radius (x right, y down).
struct GlobeView
{
    enum class Kind {
        Orthographic,   // the earth seen from space above (lon0, lat0)
        PolarAzimuthal, // equidistant from the north pole, lon0 pointing down
    };
    Kind kind = Kind::Orthographic;
    double lon0 = 0;
    double lat0 = 0;
    double maxColatitude = 150; // PolarAzimuthal: degrees from the pole at the rim

    std::optional<QPointF> forward(double lon, double lat) const;
    std::optional<QPointF> inverse(QPointF unit) const; // -> (lon, lat)
};

// The ground under points of a globe's disc, as unit vectors from the earth's centre: x towards
// 0°E on the equator, y towards 90°E, z towards the north pole. The same points as
// GlobeView::inverse() gives, without its inverse trigonometry, and with the view's own angles
// worked out once: it is asked for every pixel of a globe.
class GlobeGround
{
public:
    explicit GlobeGround(const GlobeView &view);
    // None outside the disc.
    std::optional<std::array<double, 3>> operator()(QPointF unit) const;

private:
    GlobeView::Kind kind_;
    double maxColatitude_;
    double cosLon0_, sinLon0_, cosLat0_, sinLat0_;
};

// A globe on the picture: its projection, and the disc it fills, in the picture's own pixels
// (the centre is a point between pixels, as the painter takes coordinates).
struct DialGlobe
{
    GlobeView view;
    QPointF centre;
    double radius;
};

namespace DialGlobes {

// The globe's radius on both dials; the numerals and rings lie outside it.
inline constexpr double Radius = 78;

// Local time: the earth turned towards Europe and Africa.
inline constexpr DialGlobe Local{{GlobeView::Kind::Orthographic, 10, 30, 150}, DialLayout::LocalCentre.qt(), Radius};
// UTC: the northern world seen from above the pole down to 40°S, Greenwich at six o'clock and
// east running counter-clockwise.
inline constexpr DialGlobe Utc{{GlobeView::Kind::PolarAzimuthal, 0, 90, 130}, DialLayout::UtcCentre.qt(), Radius};

} // namespace DialGlobes
