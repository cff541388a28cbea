// Draws the screen saver's background picture and its icons.
//
//   make-picture <land-110m.json> <resources directory>
//
// The land outlines come from world-atlas (Natural Earth 1:110m); see README.md.

#include "dial.h"
#include "hauptw/dial_layout.h"
#include "globe.h"
#include "icon.h"
#include "scene.h"
#include "topojson.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Dial centres; the screen saver draws its hands around exactly these points.
constexpr QPointF kLocalCentre(DialLayout::LocalCentre);
constexpr QPointF kUtcCentre(DialLayout::UtcCentre);
constexpr double kCaptionBaseline = 489;

// The larger picture for large screens: a 4K screen shows it pixel for pixel, a 1920x1080
// one at exactly half the size.
constexpr int kLargeWidth = 2880;

const GlobeColours kDialGlobe{QColor(255, 255, 255, 8), QColor(232, 240, 236, 54), QColor(255, 255, 255, 70),
                              QColor(255, 255, 255, 15)};

// Plain 24-bit RGB, as the picture has no use for alpha. Rounding the 16-bit
// channels up or down at random (with a fixed seed) keeps the wide, dark
// gradients of sky and water free of visible bands.
QImage toDitheredRgb888(const QImage &deep)
{
    QImage out(deep.size(), QImage::Format_RGB888);
    quint32 state = 0x2545f491U;
    auto next = [&state] { // xorshift32
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state >> 8) / double(1 << 24);
    };
    for (int y = 0; y < deep.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgba64 *>(deep.constScanLine(y));
        uchar *line = out.scanLine(y);
        for (int x = 0; x < deep.width(); ++x) {
            const quint16 channels[3] = {in[x].red(), in[x].green(), in[x].blue()};
            for (int c = 0; c < 3; ++c)
                line[3 * x + c] = uchar(std::min(255.0, std::floor(channels[c] / 257.0 + next())));
        }
    }
    return out;
}

bool save(const QImage &image, const QString &path, const char *format = "PNG", int quality = -1)
{
    if (image.save(path, format, quality))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

QImage makeBackground(const LandMask &mask, int width)
{
    const QSize size = DialLayout::PictureSize;
    const double s = double(width) / size.width();
    QImage image(size * s, QImage::Format_RGBX64);
    paintScene(image, s);

    // Local time: a green face with the globe turned towards Europe.
    // UTC: a blue face with the whole northern world seen from the pole,
    // the Greenwich meridian pointing at six o'clock.
    const DialStyle local{QColor(17, 56, 38), QColor(5, 24, 15), QColor(176, 214, 188)};
    const DialStyle utc{QColor(20, 36, 62), QColor(6, 13, 26), QColor(182, 202, 232)};

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (QPointF c : {kLocalCentre, kUtcCentre})
        paintDialShadow(p, c * s, s);
    paintDial(p, kLocalCentre * s, s, local,
              renderGlobe(mask, DialGlobes::Local.view, DialGeometry::kGlobe * s, kDialGlobe));
    paintDial(p, kUtcCentre * s, s, utc, renderGlobe(mask, DialGlobes::Utc.view, DialGeometry::kGlobe * s, kDialGlobe));
    p.scale(s, s);
    paintCaption(p, QPointF(kLocalCentre.x(), kCaptionBaseline), QStringLiteral("LOCAL"), local.caption);
    paintCaption(p, QPointF(kUtcCentre.x(), kCaptionBaseline), QStringLiteral("UTC"), utc.caption);
    p.end();

    return toDitheredRgb888(image);
}

// What the clock needs to shade the globes by day and night, for the picture drawn `width`
// pixels wide: the pixels around both globes, each holding in its alpha the share of it the
// globe's disc covers, and in its colour, premultiplied, what the face lays over the globe there
// (its rim). Stored as plain ARGB, so neither channel alters the other; the image's offset says
// where it lies in the picture. Its edges lie on even pixels, so a picture decoded at half size
// meets it at whole pixels.
QImage makeGlobeLayers(int width)
{
    const double s = double(width) / DialLayout::PictureSize.width();
    const double reach = DialGlobes::Radius + 2;
    const QRectF globes = QRectF(DialGlobes::Local.centre, DialGlobes::Utc.centre).adjusted(-reach, -reach, reach, reach);
    auto even = [](double v, bool up) { return 2 * int(up ? std::ceil(v / 2) : std::floor(v / 2)); };
    const QPoint topLeft(even(globes.left() * s, false), even(globes.top() * s, false));
    const QPoint end(even(globes.right() * s, true), even(globes.bottom() * s, true));

    QImage coverage(QSize(end.x() - topLeft.x(), end.y() - topLeft.y()), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    QImage ornaments = coverage;
    QPainter c(&coverage);
    QPainter o(&ornaments);
    for (QPainter *p : {&c, &o})
        p->translate(-topLeft);
    for (const DialGlobe &globe : {DialGlobes::Local, DialGlobes::Utc}) {
        paintDialGlobe(c, globe.centre * s, s, renderGlobeCoverage(globe.radius * s));
        paintDialOrnaments(o, globe.centre * s, s);
    }
    c.end();
    o.end();

    QImage layers(coverage.size(), QImage::Format_ARGB32);
    for (int y = 0; y < layers.height(); ++y) {
        const auto *cover = reinterpret_cast<const QRgb *>(coverage.constScanLine(y));
        const auto *over = reinterpret_cast<const QRgb *>(ornaments.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(layers.scanLine(y));
        for (int x = 0; x < layers.width(); ++x)
            line[x] = qRgba(qRed(over[x]), qGreen(over[x]), qBlue(over[x]), qAlpha(cover[x]));
    }
    layers.setOffset(topLeft);
    return layers;
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application, but no display is needed to draw.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make-picture <land-110m.json> <resources directory>\n");
        return 2;
    }
    QString error;
    const QList<GeoPolygon> land = readTopoJsonPolygons(args[1], &error);
    if (land.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const LandMask mask(land, 4096);

    const QDir out(args[2]);
    // JPEG for the large one: it decodes fast, and at half or a quarter of its size directly.
    const bool ok = save(makeBackground(mask, DialLayout::PictureSize.width()), out.filePath("background.png"))
                    && save(makeBackground(mask, kLargeWidth), out.filePath("background_large.jpg"), "JPEG", 92)
                    && save(makeGlobeLayers(DialLayout::PictureSize.width()), out.filePath("globe_layers.png"))
                    && save(makeGlobeLayers(kLargeWidth), out.filePath("globe_layers_large.png"))
                    && save(makeLargeIcon(mask), out.filePath("clocksaver.png"))
                    && save(makeSmallIcon(mask), out.filePath("icon32.png"));
    return ok ? 0 : 1;
}
