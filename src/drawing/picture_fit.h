#pragma once

#include <QRect>
#include <QSize>

// Where a picture goes on a screen: as large as fits without cutting any of it off, keeping
// its shape, centred both ways; the rest of the screen stays black.
QRect FitPictureInside(const QSize &screen, const QSize &picture);
