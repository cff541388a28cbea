#pragma once

#include <QPoint>
#include <QRegion>
#include <QSize>

struct WaylandGlobals;
struct wl_buffer;
struct wl_subsurface;
struct wl_surface;
struct wp_viewport;

// A surface of the program's own over part of a window's surface (a subsurface of it), that
// shows a buffer at whatever size in the compositor's layout wp_viewporter scales it to. It takes
// no input, so the pointer and keys go to the window beneath. Its commits apply at once
// (desynchronized); its place is the window's state, applied with the window's next commit,
// which it makes itself.
class PictureSurface
{
public:
    explicit PictureSurface(const WaylandGlobals &globals) : globals_(globals) {}
    ~PictureSurface() { drop(); }
    PictureSurface(const PictureSurface &) = delete;
    PictureSurface &operator=(const PictureSurface &) = delete;

    // Lies over this window surface from now on; true where that takes a surface made afresh,
    // which shows nothing until shown.
    bool over(wl_surface *window);
    // Puts its top-left corner there in the window's surface, in the layout's units.
    void place(const QPoint &place);
    // Shows the buffer scaled to this size; the compositor takes only the damaged boxes of it.
    void show(wl_buffer *buffer, const QSize &size, const QRegion &damage);

private:
    void drop();

    const WaylandGlobals &globals_;
    wl_surface *window_ = nullptr;
    wl_surface *surface_ = nullptr;
    wl_subsurface *subsurface_ = nullptr;
    wp_viewport *viewport_ = nullptr;
    QPoint place_;
    QSize size_;
};
