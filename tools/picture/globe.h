#pragma once

#include "topojson.h"

#include <QColor>
#include <QImage>
#include <QPointF>

#include <optional>

// Land coverage on an equirectangular raster. Sampling it per output pixel
// lets any projection be drawn without clipping polygons at the horizon.
class LandMask
{
public:
    LandMask(const QList<GeoPolygon> &land, int width);

    // Fraction of land around (lon, lat) in degrees, 0..1, bilinear.
    double coverage(double lon, double lat) const;
    const QList<GeoPolygon> &polygons() const { return m_land; }

private:
    QList<GeoPolygon> m_land;
    QImage m_raster;
};

// How the earth is laid into a disc of unit radius (x right, y down).
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

struct GlobeColours
{
    QColor ocean;
    QColor land;
    QColor coast;
    QColor graticule;
};

// A disc of the given pixel radius with land, coastline and a 30 degree
// graticule; transparent outside the disc.
QImage renderGlobe(const LandMask &mask, const GlobeView &view, double radius, const GlobeColours &colours);
