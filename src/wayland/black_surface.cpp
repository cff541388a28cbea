#include "black_surface.h"

#include "wayland/wayland_globals.h"

#include "viewporter-client-protocol.h"

#include <wayland-client.h>

void BlackSurface::show(wl_surface *surface, const QSize &size)
{
    if (!surface || size.isEmpty())
        return;
    if (surface != surface_) {
        forget();
        surface_ = surface;
        viewport_ = wp_viewporter_get_viewport(globals_.viewporter, surface);
    }
    wp_viewport_set_destination(viewport_, size.width(), size.height());
    wl_surface_attach(surface, globals_.blackPixel, 0, 0);
    wl_surface_damage_buffer(surface, 0, 0, 1, 1);
    wl_surface_commit(surface);
    wl_display_flush(globals_.display);
}

void BlackSurface::forget()
{
    if (viewport_)
        wp_viewport_destroy(viewport_);
    viewport_ = nullptr;
    surface_ = nullptr;
}
