#pragma once

#include "hauptw/globe_projection.h"
#include "topojson.h"

#include <QColor>
#include <QImage>

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
// The same disc in white, its alpha the share of each pixel the disc covers: where the clock
// shades the globe by day and night.
QImage renderGlobeCoverage(double radius);
