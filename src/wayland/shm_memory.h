#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>

struct WaylandGlobals;
struct wl_buffer;

// A buffer of pixels in memory shared with the compositor, 0xffRRGGBB words as QImage's RGB32
// keeps them (wl_shm's XRGB8888), a wl_buffer on Qt's event queue.
class ShmMemory
{
public:
    ShmMemory(const WaylandGlobals &globals, const QSize &pixels);
    ~ShmMemory();
    ShmMemory(const ShmMemory &) = delete;
    ShmMemory &operator=(const ShmMemory &) = delete;

    bool isValid() const { return buffer_ != nullptr; }
    wl_buffer *buffer() const { return buffer_; }
    // Called when the compositor has let go of the buffer, on the GUI thread.
    void onRelease(std::function<void()> released) { released_ = std::move(released); }

    void fill(std::uint32_t pixel);
    // Copies these pixels of the image, the same size as the buffer, to the same place in it.
    void copy(const QImage &image, const QRect &area);

private:
    static void release(void *data, wl_buffer *buffer);

    QSize pixels_;
    std::size_t bytes_ = 0;
    std::uint32_t *memory_ = nullptr;
    wl_buffer *buffer_ = nullptr;
    std::function<void()> released_;
};
