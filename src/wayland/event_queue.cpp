#include "event_queue.h"

#include <wayland-client.h>

#include <poll.h>

EventQueue::EventQueue(wl_display *display) : display_(display), queue_(wl_display_create_queue(display)) {}

EventQueue::~EventQueue()
{
    wl_event_queue_destroy(queue_);
}

void EventQueue::dispatchPending()
{
    wl_display_dispatch_queue_pending(display_, queue_);
}

// libwayland's way for several threads on one connection: whoever has prepared to read takes
// part in the read, so Qt's reader thread and this one both see what comes.
bool EventQueue::await(std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + timeout;
    for (;;) {
        if (wl_display_prepare_read_queue(display_, queue_) != 0)
            return wl_display_dispatch_queue_pending(display_, queue_) > 0;
        wl_display_flush(display_);
        pollfd socket{wl_display_get_fd(display_), POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0 || poll(&socket, 1, int(left)) <= 0) {
            wl_display_cancel_read(display_);
            return false;
        }
        if (wl_display_read_events(display_) < 0)
            return false;
        if (const int handled = wl_display_dispatch_queue_pending(display_, queue_); handled != 0)
            return handled > 0;
    }
}
