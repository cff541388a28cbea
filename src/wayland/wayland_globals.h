#pragma once

struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_shm;
struct wl_subcompositor;
struct wl_surface;
struct wp_viewporter;
struct zxdg_output_manager_v1;
class QWindow;

// The compositor's interfaces that the program's own Wayland code uses, bound on Qt's
// connection. They live as long as the program: Qt's connection is never taken down either.
struct WaylandGlobals
{
    // None unless Qt runs on a Wayland compositor that can scale a surface's buffer
    // (wp_viewporter: sway, mutter, KWin and weston have it), asked once.
    static const WaylandGlobals *get();

    wl_display *display = nullptr;
    wl_compositor *compositor = nullptr;
    wl_shm *shm = nullptr;
    wp_viewporter *viewporter = nullptr;
    wl_subcompositor *subcompositor = nullptr;
    // Where the compositor has it (xdg-output): the outputs' sizes in the layout.
    zxdg_output_manager_v1 *outputManager = nullptr;
    // One black pixel, which any number of surfaces may show at once.
    wl_buffer *blackPixel = nullptr;
};

// The Wayland surface of Qt's window, while it is shown; none before.
wl_surface *SurfaceOf(QWindow *window);
// Commits the window's surface as it is, where it has one.
void CommitSurface(QWindow *window);
