#include "scene.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

// The waterline; everything below it is lake or shore.
constexpr int kHorizon = 468;
// Where the moon stands; its reflection runs straight down from here.
constexpr QPointF kMoon(392, 150);

// Our own hash rather than <random> distributions, whose output differs
// between standard libraries: every rebuild must give the same picture.
quint32 hash(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

double random01(quint32 index, quint32 salt)
{
    return hash(index * 0x9e3779b9U ^ hash(salt + 0x51ed27U)) / 4294967296.0;
}

double smoothNoise(double x, quint32 salt)
{
    const double i = std::floor(x), f = x - i;
    const double a = random01(quint32(qint64(i)), salt), b = random01(quint32(qint64(i) + 1), salt);
    const double t = f * f * (3 - 2 * f);
    return a + (b - a) * t;
}

// Ridged fractal noise, 0..1: sharp crests like a mountain skyline.
double ridges(double x, quint32 salt, int octaves)
{
    double sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        const double n = 1.0 - std::abs(2.0 * smoothNoise(x, salt + o * 101) - 1.0);
        sum += amplitude * n * n;
        total += amplitude;
        amplitude *= 0.48;
        x *= 2.03;
    }
    return sum / total;
}

double smoothstep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

void paintSky(QPainter &p, int width)
{
    // Nearly black at the top, where the call sign is written, deepening
    // to a dim blue glow over the mountains.
    QLinearGradient sky(0, 0, 0, kHorizon);
    sky.setColorAt(0.00, QColor(3, 5, 11));
    sky.setColorAt(0.17, QColor(5, 8, 17));
    sky.setColorAt(0.50, QColor(10, 20, 40));
    sky.setColorAt(0.82, QColor(20, 37, 64));
    sky.setColorAt(1.00, QColor(33, 52, 80));
    p.fillRect(QRectF(0, 0, width, kHorizon + 1), sky);

    // The last light of the evening, low and off to the right.
    QRadialGradient glow(QPointF(width * 0.68, kHorizon + 40), 520);
    glow.setColorAt(0.0, QColor(70, 92, 120, 70));
    glow.setColorAt(0.5, QColor(50, 72, 104, 26));
    glow.setColorAt(1.0, QColor(40, 60, 90, 0));
    p.save();
    p.scale(1.0, 0.42); // a flattened glow hugging the horizon
    p.fillRect(QRectF(0, 0, width, (kHorizon + 1) / 0.42), QBrush(glow));
    p.restore();
}

void paintStars(QPainter &p, int width)
{
    p.setPen(Qt::NoPen);
    for (quint32 i = 0; i < 520; ++i) {
        const double x = random01(i, 1) * width;
        const double y = std::pow(random01(i, 2), 1.25) * (kHorizon - 40);
        // Fewer and fainter stars behind the call sign and near the horizon haze.
        double strength = smoothstep(kHorizon - 20, 150, y);
        const double band = smoothstep(95, 60, y) * smoothstep(360, 250, std::abs(x - width / 2.0));
        strength *= 1.0 - 0.85 * band;
        strength *= 1.0 - 0.7 * smoothstep(90, 30, std::hypot(x - kMoon.x(), y - kMoon.y()));
        const double magnitude = std::pow(random01(i, 3), 3.0);
        const double alpha = (0.18 + 0.75 * magnitude) * strength;
        if (alpha < 0.04)
            continue;
        const double tint = random01(i, 4);
        const QColor colour = tint < 0.25  ? QColor(255, 228, 200)
                              : tint < 0.6 ? QColor(205, 220, 255)
                                           : QColor(240, 244, 255);
        const double radius = 0.55 + 0.75 * magnitude;
        if (magnitude > 0.45) {
            // The few bright ones get a soft halo.
            QRadialGradient halo(QPointF(x, y), radius * 4);
            QColor c = colour;
            c.setAlphaF(0.22 * alpha);
            halo.setColorAt(0, c);
            c.setAlphaF(0);
            halo.setColorAt(1, c);
            p.setBrush(halo);
            p.drawEllipse(QPointF(x, y), radius * 4, radius * 4);
        }
        QColor c = colour;
        c.setAlphaF(std::min(1.0, alpha));
        p.setBrush(c);
        p.drawEllipse(QPointF(x, y), radius, radius);
    }
}

void paintMoon(QPainter &p)
{
    const double r = 15;
    QRadialGradient glow(kMoon, 140);
    glow.setColorAt(0.0, QColor(200, 215, 240, 60));
    glow.setColorAt(0.25, QColor(150, 175, 215, 22));
    glow.setColorAt(1.0, QColor(120, 150, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(kMoon, 140, 140);

    // Earthshine on the dark side, then the lit crescent.
    p.setBrush(QColor(150, 165, 190, 26));
    p.drawEllipse(kMoon, r, r);
    QPainterPath disc, shadow;
    disc.addEllipse(kMoon, r, r);
    shadow.addEllipse(kMoon + QPointF(-6.5, -3.0), r * 0.97, r * 0.97);
    QRadialGradient light(kMoon + QPointF(6, 2), r * 1.4);
    light.setColorAt(0, QColor(255, 250, 232));
    light.setColorAt(1, QColor(222, 214, 190));
    p.setBrush(light);
    p.drawPath(disc.subtracted(shadow));
}

// One mountain range as a filled skyline.
void paintRange(QPainter &p, int width, quint32 salt, double scale, double base, double height, const QColor &top,
                const QColor &bottom)
{
    QPolygonF shape;
    shape << QPointF(0, kHorizon + 1);
    for (int x = 0; x <= width; x += 2) {
        // A slow swell decides where the high massifs stand.
        const double swell = 0.45 + 0.55 * smoothNoise(x / (scale * 3.1), salt + 7);
        const double h = base + height * swell * ridges(x / scale, salt, 6);
        shape << QPointF(x, kHorizon - h);
    }
    shape << QPointF(width, kHorizon + 1);
    QLinearGradient fill(0, kHorizon - base - height, 0, kHorizon);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPolygon(shape);
}

// The lake mirrors what is above the waterline, slightly rippled and darker. Worked out in
// picture coordinates for each of the image's pixels, so a larger image gets the same lake.
void paintLake(QImage &image, double scale)
{
    const int width = image.width(), height = image.height();
    const double pictureHeight = height / scale;
    const QImage above = image.copy();
    for (int row = int(std::floor((kHorizon + 1) * scale)); row < height; ++row) {
        const double y = row / scale;
        if (y < kHorizon + 1)
            continue;
        const double depth = y - kHorizon;
        const double fade = 0.58 - 0.30 * smoothstep(0, pictureHeight - kHorizon, depth);
        const double sourceY = std::max(0.0, kHorizon - depth * 0.92);
        // Each row drifts a little sideways, more so nearer the viewer.
        const double amplitude = 0.6 + depth * 0.018;
        const double rowShift = amplitude * (2 * smoothNoise(y * 0.45, 77) - 1);
        auto *out = reinterpret_cast<QRgba64 *>(image.scanLine(row));
        const auto *src = reinterpret_cast<const QRgba64 *>(above.constScanLine(int(sourceY * scale)));
        for (int column = 0; column < width; ++column) {
            const double x = column / scale;
            const double wobble = rowShift + amplitude * 0.6 * std::sin(x * 0.045 + y * 1.7);
            const int sx = std::clamp(int(std::lround((x + wobble) * scale)), 0, width - 1);
            const QRgba64 c = src[sx];
            // Water keeps a little more blue than it reflects.
            out[column] = QRgba64::fromRgba64(quint16(c.red() * fade * 0.92), quint16(c.green() * fade * 0.97),
                                              quint16(std::min(65535.0, c.blue() * fade + 900)), 65535);
        }
    }
}

void paintMoonPath(QPainter &p, int width)
{
    // Broken streaks of moonlight on the water, narrowing towards the horizon.
    p.setPen(Qt::NoPen);
    for (quint32 i = 0; i < 150; ++i) {
        const double t = random01(i, 11);
        const double y = kHorizon + 3 + t * t * 200;
        const double spread = 5 + (y - kHorizon) * 0.17;
        const double x = kMoon.x() + (random01(i, 12) * 2 - 1) * spread * (0.3 + 0.7 * random01(i, 15));
        const double length = 3 + random01(i, 13) * (4 + (y - kHorizon) * 0.10);
        const double alpha = (0.10 + 0.35 * random01(i, 14)) * (1 - t * 0.8)
                             * (1 - std::abs(x - kMoon.x()) / (spread * 1.2));
        if (alpha <= 0.02)
            continue;
        p.setBrush(QColor(230, 225, 205, int(255 * alpha)));
        p.drawRoundedRect(QRectF(x - length / 2, y, length, 1.2), 0.6, 0.6);
    }
    // A faint bright line where sky meets water.
    QLinearGradient line(0, 0, width, 0);
    line.setColorAt(0.0, QColor(150, 175, 210, 18));
    line.setColorAt(0.68, QColor(170, 195, 225, 32));
    line.setColorAt(1.0, QColor(150, 175, 210, 20));
    p.fillRect(QRectF(0, kHorizon, width, 1), line);
}

// A spruce: stacked drooping tiers, widening towards the ground.
QPainterPath spruce(double x, double groundY, double height, quint32 seed)
{
    QPolygonF left, right;
    const double top = groundY - height;
    const int tiers = std::max(6, int(height / 9));
    const double maxHalf = height * 0.17;
    left << QPointF(x, top - 2);
    for (int i = 0; i < tiers; ++i) {
        const double t = (i + 1.0) / tiers;
        const double y = top + t * height * 0.93;
        const double jl = 0.75 + 0.5 * random01(seed * 64 + i, 21);
        const double jr = 0.75 + 0.5 * random01(seed * 64 + i, 22);
        const double half = maxHalf * std::pow(t, 0.9);
        left << QPointF(x - half * jl, y + 2.5) << QPointF(x - half * 0.3, y - 1.5);
        right << QPointF(x + half * jr, y + 2.5) << QPointF(x + half * 0.3, y - 1.5);
    }
    QPolygonF outline = left;
    outline << QPointF(x - 1.5, groundY + 2) << QPointF(x + 1.5, groundY + 2);
    for (qsizetype i = right.size() - 1; i >= 0; --i)
        outline << right[i];
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

void paintShore(QPainter &p, int height)
{
    // The near bank: a low rise in the bottom left corner.
    QPainterPath edge;
    edge.moveTo(0, 590);
    edge.cubicTo(120, 596, 230, 640, 300, 690);
    edge.cubicTo(350, 725, 420, 752, 500, height);
    QPainterPath bank = edge;
    bank.lineTo(0, height);
    bank.closeSubpath();
    QLinearGradient fill(0, 590, 0, height);
    fill.setColorAt(0, QColor(7, 11, 19));
    fill.setColorAt(1, QColor(3, 5, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(bank);
    // The waterline along the bank catches a little of the moonlight.
    QLinearGradient shine(0, 0, 500, 0);
    shine.setColorAt(0.0, QColor(140, 160, 195, 0));
    shine.setColorAt(0.55, QColor(150, 170, 205, 60));
    shine.setColorAt(1.0, QColor(140, 160, 195, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(shine), 1.0));
    p.drawPath(edge);
    p.setPen(Qt::NoPen);

    // Spruces along the bank, tallest at the edge of the picture.
    QPainterPath trees;
    for (quint32 i = 0; i < 14; ++i) {
        const double x = 6 + i * 21.5 + (random01(i, 31) - 0.5) * 14;
        const double ground = 592 + std::pow(x / 300.0, 2.0) * 95 + 6;
        const double h = (250 - x * 0.62) * (0.72 + 0.38 * random01(i, 32));
        if (h < 40)
            continue;
        trees.addPath(spruce(x, ground, h, i));
    }
    // A few small ones in front, to give the bank some depth.
    for (quint32 i = 0; i < 6; ++i) {
        const double x = 40 + i * 55 + random01(i, 33) * 20;
        const double ground = 650 + std::pow(x / 330.0, 2.0) * 80;
        trees.addPath(spruce(x, ground, 60 + 50 * random01(i, 34), 100 + i));
    }
    p.setBrush(QColor(3, 6, 11));
    p.drawPath(trees.simplified());
}

} // namespace

void paintScene(QImage &image, double scale)
{
    const int width = qRound(image.width() / scale), height = qRound(image.height() / scale);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        paintSky(p, width);
        paintStars(p, width);
        paintMoon(p);
        // Far, hazy peaks first, then nearer and darker ridges.
        paintRange(p, width, 3, 190, 30, 120, QColor(26, 40, 66), QColor(29, 45, 72));
        paintRange(p, width, 17, 120, 14, 70, QColor(14, 23, 40), QColor(18, 29, 49));
        paintRange(p, width, 41, 70, 4, 26, QColor(8, 13, 24), QColor(10, 16, 28));
    }
    paintLake(image, scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    paintMoonPath(p, width);
    paintShore(p, height);
}
