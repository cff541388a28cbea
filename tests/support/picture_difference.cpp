#include "picture_difference.h"

#include <algorithm>
#include <cstring>

namespace {

const QRgb *rowStart(const QImage &picture, int y, int x)
{
    return reinterpret_cast<const QRgb *>(picture.constScanLine(y)) + x;
}

} // namespace

QRect DifferingArea(const QImage &a, const QImage &b, const QRect &within)
{
    const QRect area = within.intersected(a.rect());
    int left = area.right() + 1;
    int right = area.left() - 1;
    int top = -1;
    int bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *rowA = rowStart(a, y, area.left());
        const QRgb *rowB = rowStart(b, y, area.left());
        if (std::memcmp(rowA, rowB, sizeof(QRgb) * area.width()) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        for (int x = 0; x < area.width(); ++x) {
            if (rowA[x] != rowB[x]) {
                left = std::min(left, area.left() + x);
                right = std::max(right, area.left() + x);
            }
        }
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage StripedPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x + y) % 256));
    return picture;
}

bool IsBlack(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); y += 8)
        for (int x = area.left(); x <= area.right(); x += 8)
            if (qGray(image.pixel(x, y)) > 16)
                return false;
    return true;
}
