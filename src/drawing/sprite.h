#pragma once

#include "drawing/canvas.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <functional>
#include <vector>

// A drawing kept as the pixels it covers, to be laid over pictures later with exactly the
// result of drawing it there: Qt blends a shape's coverage onto a picture just as it blends a
// premultiplied layer holding that shape. This holds for any drawing that covers each pixel
// once, or fully where it covers twice. Laying it over costs a copy of those pixels, far less
// than drawing a smooth wide line.
class Sprite
{
public:
    // Draws on a transparent layer over this area of the picture, at the scale of `like`.
    Sprite(const Canvas &like, const QRect &pictureArea, const std::function<void(Canvas &)> &draw);

    // The pixels that may change, at the scale, for a canvas whose origin is (0, 0).
    QRect pixelArea() const { return area_; }
    // Blends the sprite over those pixels of the image, whose pixel (0, 0) is the scale's
    // pixel `origin`.
    void blendOnto(QImage &image, QPoint origin, const QRect &within) const;

private:
    // The pixels between the first and the last covered one of a row.
    struct Run
    {
        int y;
        int x;
        int length;
        std::size_t first;
    };
    std::vector<Run> runs_;
    std::vector<QRgb> pixels_;
    QRect area_;
};
