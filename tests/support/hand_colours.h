#pragma once
// Telling a hand's colour on any background: anti-aliased edges and ends blend with the picture.

#include <QRgb>

#include <algorithm>

inline bool isRed(QRgb pixel)
{
    return qRed(pixel) - std::max(qGreen(pixel), qBlue(pixel)) > 80;
}

inline bool isYellow(QRgb pixel)
{
    return std::min(qRed(pixel), qGreen(pixel)) - qBlue(pixel) > 80;
}
