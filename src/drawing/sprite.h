#pragma once

#include "drawing/canvas.h"

#include <QImage>
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
    Sprite(const Canvas &like, const PictureRect &area, const std::function<void(Canvas &)> &draw);

    // Blends the sprite over those pixels of the image, which holds the drawn pixels from
    // `origin` on.
    void blendOnto(QImage &image, DrawnPoint origin, const PatchRect &within) const;

private:
    // The pixels between the first and the last covered one of a row, in drawn pixels.
    struct Run
    {
        int y;
        int x;
        int length;
        std::size_t first;
    };
    std::vector<Run> runs_;
    std::vector<QRgb> pixels_;
};
