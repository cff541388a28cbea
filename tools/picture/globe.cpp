#include "globe.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// Antarctica's outline in the data runs from -180 to 180 along its coast; to
// fill it as a closed shape on a flat map, a ring that jumps across the date
// line is routed around the nearer pole.
QPolygonF unwrapRing(const QPolygonF &ring)
{
    QPolygonF out;
    for (qsizetype i = 0; i < ring.size(); ++i) {
        const QPointF p = ring[i];
        if (i > 0 && std::abs(p.x() - ring[i - 1].x()) > 180) {
            const QPointF q = ring[i - 1];
            const double side = q.x() < 0 ? -180 : 180;
            const double pole = q.y() < 0 ? -90 : 90;
            out << QPointF(side, q.y()) << QPointF(side, pole) << QPointF(-side, pole) << QPointF(-side, p.y());
        }
        out << p;
    }
    return out;
}

QPointF toRaster(QPointF lonLat, int width, int height)
{
    return {(lonLat.x() + 180.0) / 360.0 * width, (90.0 - lonLat.y()) / 180.0 * height};
}

QColor premultipliedMix(const QColor &a, double wa, const QColor &b, double wb)
{
    // Both colours may be translucent; blend their premultiplied values.
    const double alpha = a.alphaF() * wa + b.alphaF() * wb;
    if (alpha <= 0)
        return QColor(0, 0, 0, 0);
    auto channel = [&](double ca, double cb) { return (ca * a.alphaF() * wa + cb * b.alphaF() * wb) / alpha; };
    QColor c;
    c.setRgbF(channel(a.redF(), b.redF()), channel(a.greenF(), b.greenF()), channel(a.blueF(), b.blueF()),
              std::min(alpha, 1.0));
    return c;
}

// Draws a lon/lat polyline, broken wherever it leaves the visible side.
void drawGeoLine(QPainter &p, const GlobeView &view, const QPolygonF &line, double radius, QPointF centre)
{
    QPolygonF run;
    auto flush = [&] {
        if (run.size() > 1)
            p.drawPolyline(run);
        run.clear();
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (i > 0 && std::abs(line[i].x() - line[i - 1].x()) > 180)
            flush();
        const auto unit = view.forward(line[i].x(), line[i].y());
        if (!unit) {
            flush();
            continue;
        }
        run << centre + *unit * radius;
    }
    flush();
}

// Samples per pixel of a globe, on a 4x4 grid.
constexpr int kSubdivisions = 4;
constexpr int kSamples = kSubdivisions * kSubdivisions;

// A transparent square that holds a disc of this pixel radius, centred.
QImage emptyDisc(double radius)
{
    const int size = int(std::ceil(2 * radius)) + 2;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// One sample point of pixel (x, y), in units of the radius from the disc's centre.
QPointF samplePoint(int x, int y, int sample, QPointF centre, double radius)
{
    const int sx = sample % kSubdivisions, sy = sample / kSubdivisions;
    return QPointF((x + (sx + 0.5) / kSubdivisions - centre.x()) / radius,
                   (y + (sy + 0.5) / kSubdivisions - centre.y()) / radius);
}

} // namespace

LandMask::LandMask(const QList<GeoPolygon> &land, int width)
    : m_land(land), m_raster(width, width / 2, QImage::Format_ARGB32_Premultiplied)
{
    m_raster.fill(Qt::transparent);
    QPainter p(&m_raster);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (const GeoPolygon &polygon : land) {
        // Even-odd filling turns inner rings into holes whatever their winding.
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        for (const QPolygonF &ring : polygon) {
            QPolygonF mapped;
            for (const QPointF &point : unwrapRing(ring))
                mapped << toRaster(point, m_raster.width(), m_raster.height());
            path.addPolygon(mapped);
            path.closeSubpath();
        }
        p.drawPath(path);
    }
}

double LandMask::coverage(double lon, double lat) const
{
    const int w = m_raster.width(), h = m_raster.height();
    const double x = (lon + 180.0) / 360.0 * w - 0.5;
    const double y = std::clamp((90.0 - lat) / 180.0 * h - 0.5, 0.0, h - 1.0);
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    auto at = [&](int xi, int yi) {
        xi = ((xi % w) + w) % w; // longitude wraps around
        yi = std::clamp(yi, 0, h - 1);
        return qAlpha(reinterpret_cast<const QRgb *>(m_raster.constScanLine(yi))[xi]) / 255.0;
    };
    const double top = at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx;
    const double bottom = at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

QImage renderGlobe(const LandMask &mask, const GlobeView &view, double radius, const GlobeColours &colours)
{
    QImage image = emptyDisc(radius);
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);

    // Land and sea: 4x4 samples per pixel give a smooth rim and coast.
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            double inside = 0, land = 0;
            for (int sample = 0; sample < kSamples; ++sample) {
                const QPointF unit = samplePoint(x, y, sample, centre, radius);
                const auto lonLat = view.inverse(unit);
                if (!lonLat)
                    continue;
                inside += 1;
                double cover = mask.coverage(lonLat->x(), lonLat->y());
                // A touch of limb darkening makes the orthographic globe read as a sphere.
                if (view.kind == GlobeView::Kind::Orthographic)
                    cover *= 0.55 + 0.45 * std::sqrt(std::max(0.0, 1 - QPointF::dotProduct(unit, unit)));
                land += cover;
            }
            if (inside == 0)
                continue;
            constexpr double n = kSamples;
            const QColor mixed = premultipliedMix(colours.ocean, (inside - land) / n, colours.land, land / n);
            line[x] = qPremultiply(mixed.rgba());
        }
    }

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    p.setClipPath(disc);
    p.setBrush(Qt::NoBrush);

    p.setPen(QPen(colours.graticule, 0.7));
    for (int lon = -180; lon < 180; lon += 30) {
        QPolygonF meridian;
        for (int lat = -80; lat <= 80; lat += 2)
            meridian << QPointF(lon, lat);
        drawGeoLine(p, view, meridian, radius, centre);
    }
    for (int lat = -60; lat <= 60; lat += 30) {
        QPolygonF parallel;
        for (int lon = -180; lon <= 180; lon += 2)
            parallel << QPointF(lon == 180 ? 179.999 : lon, lat);
        drawGeoLine(p, view, parallel, radius, centre);
    }

    p.setPen(QPen(colours.coast, 0.8));
    for (const GeoPolygon &polygon : mask.polygons())
        for (const QPolygonF &ring : polygon)
            drawGeoLine(p, view, ring, radius, centre);
    return image;
}

QImage renderGlobeCoverage(double radius)
{
    QImage image = emptyDisc(radius);
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int inside = 0;
            for (int sample = 0; sample < kSamples; ++sample) {
                const QPointF unit = samplePoint(x, y, sample, centre, radius);
                inside += std::hypot(unit.x(), unit.y()) <= 1.0;
            }
            const int alpha = int(std::lround(255.0 * inside / kSamples));
            line[x] = qRgba(alpha, alpha, alpha, alpha);
        }
    }
    return image;
}
