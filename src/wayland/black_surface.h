#pragma once

#include <QSize>

struct WaylandGlobals;
struct wl_surface;
struct wp_viewport;

// Shows a window's surface black from a single pixel, which the compositor scales to the
// window's size: no window-sized buffer in the program, and none the compositor could put on
// the screen as it is (sway then composes the output, which any screen capture sees as shown).
class BlackSurface
{
public:
    explicit BlackSurface(const WaylandGlobals &globals) : globals_(globals) {}
    ~BlackSurface() { forget(); }
    BlackSurface(const BlackSurface &) = delete;
    BlackSurface &operator=(const BlackSurface &) = delete;

    // Commits the surface black at this size in the compositor's layout; at once, so that a
    // configure the window has acknowledged is answered.
    void show(wl_surface *surface, const QSize &size);
    // The window's surface is gone (Qt makes a new one each time the window shows).
    void forget();

private:
    const WaylandGlobals &globals_;
    wl_surface *surface_ = nullptr;
    wp_viewport *viewport_ = nullptr;
};
