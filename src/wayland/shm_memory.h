#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>

struct WaylandGlobals;
struct wl_buffer;
struct wl_event_queue;

// A buffer of pixels in memory shared with the compositor, 0xffRRGGBB words as QImage's RGB32
// keeps them (wl_shm's XRGB8888), a wl_buffer whose events go to the queue given (none: Qt's).
class ShmMemory
{
public:
    ShmMemory(const WaylandGlobals &globals, const QSize &pixels, wl_event_queue *queue = nullptr);
    ~ShmMemory();
    ShmMemory(const ShmMemory &) = delete;
    ShmMemory &operator=(const ShmMemory &) = delete;

    bool isValid() const { return buffer_ != nullptr; }
    wl_buffer *buffer() const { return buffer_; }
    // The pixels, for drawing on while the compositor does not hold them.
    QImage image() const;
    // Whether the image's pixels are these.
    bool holds(const QImage &image) const;
    // Called when the compositor has let go of the buffer, where its queue is dispatched.
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
