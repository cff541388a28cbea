#include "picture_surface.h"

#include "wayland/wayland_globals.h"

#include "viewporter-client-protocol.h"

#include <wayland-client.h>

void PictureSurface::drop()
{
    if (!surface_)
        return;
    wp_viewport_destroy(viewport_);
    wl_subsurface_destroy(subsurface_);
    wl_surface_destroy(surface_);
    wl_display_flush(globals_.display);
    viewport_ = nullptr;
    subsurface_ = nullptr;
    surface_ = nullptr;
    window_ = nullptr;
}

bool PictureSurface::over(wl_surface *window)
{
    if (window == window_)
        return false;
    drop();
    window_ = window;
    surface_ = wl_compositor_create_surface(globals_.compositor);
    subsurface_ = wl_subcompositor_get_subsurface(globals_.subcompositor, surface_, window);
    wl_subsurface_set_desync(subsurface_);
    viewport_ = wp_viewporter_get_viewport(globals_.viewporter, surface_);
    wl_region *none = wl_compositor_create_region(globals_.compositor);
    wl_surface_set_input_region(surface_, none);
    wl_region_destroy(none);
    place_ = QPoint();
    size_ = QSize();
    return true;
}

void PictureSurface::place(const QPoint &place)
{
    if (!subsurface_ || place == place_)
        return;
    place_ = place;
    wl_subsurface_set_position(subsurface_, place.x(), place.y());
    wl_surface_commit(window_);
    wl_display_flush(globals_.display);
}

void PictureSurface::show(wl_buffer *buffer, const QSize &size, const QRegion &damage)
{
    if (!surface_)
        return;
    if (size != size_)
        wp_viewport_set_destination(viewport_, size.width(), size.height());
    size_ = size;
    wl_surface_attach(surface_, buffer, 0, 0);
    for (const QRect &box : damage)
        wl_surface_damage_buffer(surface_, box.x(), box.y(), box.width(), box.height());
    wl_surface_commit(surface_);
    wl_display_flush(globals_.display);
}
