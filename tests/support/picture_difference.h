#pragma once

#include <QImage>
#include <QRect>

// The smallest rectangle inside `within` that holds every pixel in which the two pictures
// differ; empty when they agree there. Both pictures have the same size and 32-bit format.
QRect DifferingArea(const QImage &a, const QImage &b, const QRect &within);

// A picture whose every pixel differs from its neighbours, so any copy or overdraw shows.
QImage StripedPicture(int width, int height);

// Whether every 8th pixel each way in the area is black, or nearly.
bool IsBlack(const QImage &image, const QRect &area);
