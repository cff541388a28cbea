#include "icon.h"

#include "dial.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

const DialStyle kIconStyle{QColor(18, 58, 40), QColor(6, 26, 17), QColor()};
const GlobeView kIconGlobe = DialGlobes::Local.view;

// Ten past ten: the hands frame the face instead of hiding it.
constexpr double kHours = 10, kMinutes = 9, kSeconds = 36;

using Rgba = std::array<double, 4>; // premultiplied r, g, b, a

double distance2(const Rgba &a, const Rgba &b)
{
    double sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum;
}

// A small k-means in premultiplied RGBA, seeded with the colours farthest
// apart so the few bright accents (red, yellow) keep palette entries of
// their own instead of being averaged into the face.
QImage reduceColours(const QImage &source, int count)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<Rgba> pixels;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(
                {double(qRed(line[x])), double(qGreen(line[x])), double(qBlue(line[x])), double(qAlpha(line[x]))});
    }

    std::vector<Rgba> centres{{0, 0, 0, 0}};
    std::vector<double> nearest(pixels.size(), std::numeric_limits<double>::max());
    while (int(centres.size()) < count) {
        std::size_t farthest = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            nearest[i] = std::min(nearest[i], distance2(pixels[i], centres.back()));
            if (nearest[i] > nearest[farthest])
                farthest = i;
        }
        centres.push_back(pixels[farthest]);
    }

    std::vector<int> label(pixels.size(), 0);
    auto assign = [&] {
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            double best = std::numeric_limits<double>::max();
            for (int c = 0; c < count; ++c) {
                const double d = distance2(pixels[i], centres[c]);
                if (d < best) {
                    best = d;
                    label[i] = c;
                }
            }
        }
    };
    for (int iteration = 0; iteration < 30; ++iteration) {
        assign();
        std::vector<Rgba> sums(count, Rgba{0, 0, 0, 0});
        std::vector<int> members(count, 0);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            for (int k = 0; k < 4; ++k)
                sums[label[i]][k] += pixels[i][k];
            ++members[label[i]];
        }
        for (int c = 1; c < count; ++c) // entry 0 stays fully transparent
            if (members[c] > 0)
                for (int k = 0; k < 4; ++k)
                    centres[c][k] = sums[c][k] / members[c];
    }
    assign();

    QList<QRgb> palette;
    for (const Rgba &c : centres) {
        auto channel = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
        const int alpha = channel(c[3]);
        palette << qUnpremultiply(
            qRgba(std::min(channel(c[0]), alpha), std::min(channel(c[1]), alpha), std::min(channel(c[2]), alpha), alpha));
    }
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            line[x] = uchar(label[std::size_t(y) * image.width() + x]);
    }
    return indexed;
}

QPointF clockPoint(double turn, double radius)
{
    const double a = turn * 2 * std::numbers::pi;
    return {radius * std::sin(a), -radius * std::cos(a)};
}

} // namespace

QImage makeLargeIcon(const LandMask &mask)
{
    QImage icon(256, 256, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    const qreal scale = 126.0 / DialGeometry::kBezelOuter;
    const GlobeColours colours{QColor(255, 255, 255, 12), QColor(235, 245, 238, 80), QColor(255, 255, 255, 90),
                               QColor(255, 255, 255, 20)};
    const QImage globe = renderGlobe(mask, kIconGlobe, DialGeometry::kGlobe * scale, colours);
    QPainter p(&icon);
    paintDial(p, QPointF(128, 128), scale, kIconStyle, globe);
    paintHands(p, QPointF(128, 128), scale, kHours, kMinutes, kSeconds);
    return icon;
}

QImage makeSmallIcon(const LandMask &mask)
{
    // Drawn eight times over with heavy strokes, then scaled down so every
    // edge is smoothly averaged before the palette is reduced.
    constexpr int kSize = 256;
    QImage big(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kSize / 2.0, kSize / 2.0);
    p.setPen(Qt::NoPen);

    QLinearGradient rim(-124, -124, 124, 124);
    rim.setColorAt(0, QColor(150, 158, 168));
    rim.setColorAt(1, QColor(40, 43, 50));
    p.setBrush(rim);
    p.drawEllipse(QPointF(), 124, 124);
    QRadialGradient face(QPointF(0, -16), 120);
    face.setColorAt(0, kIconStyle.faceCentre);
    face.setColorAt(1, kIconStyle.faceEdge);
    p.setBrush(face);
    p.drawEllipse(QPointF(), 108, 108);

    const GlobeColours colours{QColor(255, 255, 255, 0), QColor(220, 240, 226, 70), QColor(0, 0, 0, 0), QColor(0, 0, 0, 0)};
    const QImage globe = renderGlobe(mask, kIconGlobe, 76, colours);
    p.drawImage(QPointF(-globe.width() / 2.0, -globe.height() / 2.0), globe);

    for (int h = 0; h < 12; ++h) {
        const bool quarter = h % 3 == 0;
        p.setPen(QPen(QColor(226, 56, 44), quarter ? 17 : 11, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(clockPoint(h / 12.0, quarter ? 78 : 86), clockPoint(h / 12.0, 106));
    }
    auto hand = [&](double turn, double length, double width, const QColor &colour) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(clockPoint(turn, -8), clockPoint(turn, length));
    };
    hand((kHours + kMinutes / 60.0) / 12.0, 56, 17, QColor(226, 56, 44));
    hand((kMinutes + kSeconds / 60.0) / 60.0, 88, 13, QColor(226, 56, 44));
    hand(kSeconds / 60.0, 94, 7, QColor(250, 204, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 200, 206));
    p.drawEllipse(QPointF(), 15, 15);
    p.end();

    const QImage small = big.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return reduceColours(small, 16);
}
