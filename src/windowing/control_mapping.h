#pragma once

#include "drawing/coordinates.h"

#include <QSize>

// A control's own points, counted from its top-left corner: what Qt's events, geometry and
// painting of the control use. On a screen with several device pixels to a point, finer than a
// point.
struct ControlSpace;
using ControlPoint = Point<ControlSpace>;
using ControlRect = Rect<ControlSpace>;

// How a control shows its picture: the drawn pixels stretched over all of its points, each point
// that many device pixels.
class ControlMapping
{
public:
    ControlMapping() = default;
    ControlMapping(const QSize &controlPoints, const QSize &picturePixels, double devicePixelRatio)
        : points_(controlPoints), pixels_(picturePixels), ratio_(devicePixelRatio)
    {
    }

    ControlRect bounds() const { return ControlRect(0, 0, points_.width(), points_.height()); }
    // Each drawn pixel is a device pixel: the picture is not stretched.
    bool pixelForPixel() const { return QSizeF(points_) * ratio_ == QSizeF(pixels_); }
    double pixelsPerPoint() const { return points_.isEmpty() ? 1.0 : double(pixels_.width()) / points_.width(); }

    // The part of the control that shows these drawn pixels, soft edges included.
    ControlRect controlArea(const DrawnRect &area) const;
    // The drawn pixels that this part of the control shows, where the picture is not stretched.
    DrawnRect drawnArea(const ControlRect &area) const;

private:
    QSize points_;
    QSize pixels_;
    double ratio_ = 1.0;
};
