#include "buffer_book.h"

#include <utility>

void BufferBook::reset(const QSize &picture)
{
    const QRect whole(QPoint(0, 0), picture);
    lacking_.fill(QRegion(whole));
    damage_ = whole;
}

void BufferBook::changed(const QRect &box)
{
    for (QRegion &lacking : lacking_)
        lacking += box;
    damage_ += box;
}

int BufferBook::next() const
{
    int best = -1;
    for (int buffer = 0; buffer < Buffers; ++buffer) {
        const auto bytes = [this](int index) {
            qint64 pixels = 0;
            for (const QRect &box : lacking_[index])
                pixels += qint64(box.width()) * box.height();
            return pixels;
        };
        if (!held_[buffer] && (best < 0 || bytes(buffer) < bytes(best)))
            best = buffer;
    }
    return best;
}

QRegion BufferBook::shown(int buffer)
{
    lacking_[buffer] = QRegion();
    held_[buffer] = true;
    return std::exchange(damage_, QRegion());
}
