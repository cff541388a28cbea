#include "picture_fit.h"

#include <algorithm>
#include <cmath>

QRect FitPictureInside(const QSize &screen, const QSize &picture)
{
    const double scale = std::min(double(screen.width()) / picture.width(), double(screen.height()) / picture.height());
    // Halves round to the even neighbour.
    const int width = int(std::nearbyint(picture.width() * scale));
    const int height = int(std::nearbyint(picture.height() * scale));
    return QRect((screen.width() - width) / 2, (screen.height() - height) / 2, width, height);
}
