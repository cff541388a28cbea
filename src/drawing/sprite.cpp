#include "sprite.h"

#include <algorithm>

namespace {

// One channel times alpha / 255, rounded as Qt rounds when it blends.
uint channelTimes(uint channel, uint alpha)
{
    const uint t = channel * alpha;
    return (t + (t >> 8) + 0x80) >> 8;
}

// Premultiplied source over an opaque pixel, as Qt's source-over blend computes it.
QRgb over(QRgb source, QRgb target)
{
    const uint rest = 255 - qAlpha(source);
    return qRgba(qRed(source) + channelTimes(qRed(target), rest), qGreen(source) + channelTimes(qGreen(target), rest),
                 qBlue(source) + channelTimes(qBlue(target), rest), 255);
}

} // namespace

Sprite::Sprite(const Canvas &like, const PictureRect &area, const std::function<void(Canvas &)> &draw)
{
    const DrawnRect pixels = like.drawnArea(area);
    QImage layer(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    Canvas canvas(layer);
    canvas.setMapping(like.scale(), pixels.topLeft());
    draw(canvas);

    for (int y = 0; y < layer.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(layer.constScanLine(y));
        const QRgb *end = row + layer.width();
        const QRgb *left = std::find_if(row, end, [](QRgb pixel) { return pixel != 0; });
        if (left == end)
            continue;
        const QRgb *right = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(left), [](QRgb pixel) {
                                return pixel != 0;
                            }).base();
        runs_.push_back({pixels.top() + y, pixels.left() + int(left - row), int(right - left), pixels_.size()});
        pixels_.insert(pixels_.end(), left, right);
    }
    // Sprites are kept for long: no room for growth.
    runs_.shrink_to_fit();
    pixels_.shrink_to_fit();
}

void Sprite::blendOnto(QImage &image, DrawnPoint origin, const PatchRect &within) const
{
    const QRect area = within.qt().intersected(image.rect());
    if (area.isEmpty())
        return;
    auto *const firstRow = reinterpret_cast<QRgb *>(image.bits());
    const qsizetype rowLength = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    // Runs go down the rows; those above the area are passed over at once.
    const auto first = std::lower_bound(runs_.begin(), runs_.end(), area.top() + origin.y(),
                                        [](const Run &run, int y) { return run.y < y; });
    for (auto run = first; run != runs_.end() && run->y - origin.y() <= area.bottom(); ++run) {
        const int y = run->y - origin.y();
        const int left = std::max(run->x - origin.x(), area.left());
        const int right = std::min(run->x - origin.x() + run->length, area.right() + 1);
        if (left >= right)
            continue;
        QRgb *target = firstRow + y * rowLength;
        const QRgb *source = pixels_.data() + run->first + (left - (run->x - origin.x()));
        for (int x = left; x < right; ++x, ++source) {
            const int alpha = qAlpha(*source);
            if (alpha == 255)
                target[x] = *source;
            else if (alpha != 0)
                target[x] = over(*source, target[x]);
        }
    }
}
