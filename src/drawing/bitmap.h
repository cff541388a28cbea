#pragma once

#include "drawing/canvas.h"

#include <QImage>

// Off-screen pixels with a canvas of their own; empty until sized.
class Bitmap
{
public:
    Bitmap() = default;

    // New pixels start black.
    void setSize(int width, int height);
    // Sized to hold exactly the pixels that `canvas` has for this area of its picture, and
    // drawn on in that picture's coordinates: copying the area from there to here and back
    // again is a plain pixel copy at any scale.
    void cover(const Canvas &canvas, const PictureRect &area);
    // The area of the picture drawn on that these pixels hold: all of them after setSize.
    PictureRect pictureArea() const { return pictureArea_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    Canvas &canvas() { return canvas_; }
    const Canvas &canvas() const { return canvas_; }
    const QImage &image() const { return image_; }
    // For changing the pixels directly, with nothing told: the canvas's listener hears nothing.
    QImage &image() { return image_; }

private:
    QImage image_;
    PictureRect pictureArea_;
    Canvas canvas_{image_};
};
