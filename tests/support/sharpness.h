#pragma once
// Comparing drawings made at a screen's resolution with references and with stretched ones.

#include <QImage>

#include <algorithm>

// Soft edge pixels per solid one, for light drawing on black: a picture stretched from a
// coarser one has many more of them than one drawn at its own resolution.
inline double edgeSoftness(const QImage &picture)
{
    int soft = 0;
    int solid = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            const int light = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            soft += light > 48 && light < 208;
            solid += light >= 208;
        }
    return solid == 0 ? 0.0 : double(soft) / solid;
}

// How many pixels differ by more than the tolerance in some channel.
inline int differingPixels(const QImage &a, const QImage &b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            count += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))})
                     > tolerance;
        }
    return count;
}

inline QImage stretched(const QImage &picture, int factor)
{
    return picture.scaled(picture.size() * factor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
