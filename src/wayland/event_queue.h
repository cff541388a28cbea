#pragma once

#include <chrono>

struct wl_display;
struct wl_event_queue;

// A queue of the program's own on Qt's connection, for events it waits for itself: Qt's reader
// thread still reads them from the socket, but they are handled only where this queue is
// dispatched, on the thread that dispatches it, never inside Qt's own dispatching.
class EventQueue
{
public:
    explicit EventQueue(wl_display *display);
    ~EventQueue();
    EventQueue(const EventQueue &) = delete;
    EventQueue &operator=(const EventQueue &) = delete;

    wl_event_queue *queue() const { return queue_; }
    // Handles the events read for it already.
    void dispatchPending();
    // Waits at most this long for events of its own and handles them; false where none came.
    bool await(std::chrono::milliseconds timeout);

private:
    wl_display *display_;
    wl_event_queue *queue_;
};
