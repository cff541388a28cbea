#include "shm_memory.h"

#include "drawing/row_copy.h"
#include "drawing/shared_memory.h"
#include "wayland/wayland_globals.h"

#include <wayland-client.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

ShmMemory::ShmMemory(const WaylandGlobals &globals, const QSize &pixels, wl_event_queue *queue)
    : pixels_(pixels), bytes_(std::size_t(pixels.width()) * std::size_t(pixels.height()) * 4)
{
    if (pixels.isEmpty())
        return;
    void *memory = nullptr;
    const int descriptor = MapSharedMemory("clocksaver-buffer", bytes_, memory);
    if (descriptor < 0)
        return;
    memory_ = static_cast<std::uint32_t *>(memory);
    // The pool only hands out this one buffer; the buffer keeps the memory at the compositor.
    wl_shm_pool *pool = wl_shm_create_pool(globals.shm, descriptor, int(bytes_));
    buffer_ = wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(), pixels.width() * 4,
                                        WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    if (queue)
        wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(buffer_), queue);
    static const wl_buffer_listener listener{release};
    wl_buffer_add_listener(buffer_, &listener, this);
    close(descriptor);
}

ShmMemory::~ShmMemory()
{
    if (buffer_)
        wl_buffer_destroy(buffer_);
    if (memory_)
        munmap(memory_, bytes_);
}

void ShmMemory::release(void *data, wl_buffer *)
{
    auto &memory = *static_cast<ShmMemory *>(data);
    if (memory.released_)
        memory.released_();
}

QImage ShmMemory::image() const
{
    return QImage(reinterpret_cast<uchar *>(memory_), pixels_.width(), pixels_.height(), pixels_.width() * 4,
                  QImage::Format_RGB32);
}

bool ShmMemory::holds(const QImage &image) const
{
    return memory_ && image.constBits() == reinterpret_cast<const uchar *>(memory_);
}

void ShmMemory::fill(std::uint32_t pixel)
{
    std::fill(memory_, memory_ + bytes_ / 4, pixel);
}

void ShmMemory::copy(const QImage &image, const QRect &area)
{
    const QRect shown = area.intersected(QRect(QPoint(0, 0), pixels_));
    if (shown.isEmpty() || image.size() != pixels_ || image.format() != QImage::Format_RGB32)
        return;
    CopyRows(reinterpret_cast<unsigned char *>(memory_ + std::size_t(shown.top()) * pixels_.width() + shown.left()),
             std::ptrdiff_t(pixels_.width()) * 4, image.constScanLine(shown.top()) + std::size_t(shown.left()) * 4,
             image.bytesPerLine(), std::size_t(shown.width()) * 4, shown.height());
}
