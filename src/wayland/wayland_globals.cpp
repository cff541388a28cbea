#include "wayland_globals.h"

#include "wayland/shm_memory.h"

#include "viewporter-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <cstring>

namespace {

void announce(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    auto &globals = *static_cast<WaylandGlobals *>(data);
    const auto bind = [&](const wl_interface &type, uint32_t wanted) {
        return std::strcmp(interface, type.name) == 0 && version >= wanted ? wl_registry_bind(registry, name, &type, wanted)
                                                                           : nullptr;
    };
    // Version 4 has damage_buffer.
    if (void *compositor = bind(wl_compositor_interface, 4))
        globals.compositor = static_cast<wl_compositor *>(compositor);
    else if (void *shm = bind(wl_shm_interface, 1))
        globals.shm = static_cast<wl_shm *>(shm);
    else if (void *viewporter = bind(wp_viewporter_interface, 1))
        globals.viewporter = static_cast<wp_viewporter *>(viewporter);
    else if (void *subcompositor = bind(wl_subcompositor_interface, 1))
        globals.subcompositor = static_cast<wl_subcompositor *>(subcompositor);
    else if (void *outputs = bind(zxdg_output_manager_v1_interface, 2))
        globals.outputManager = static_cast<zxdg_output_manager_v1 *>(outputs);
}

void withdraw(void *, wl_registry *, uint32_t) {}

const WaylandGlobals *bindGlobals()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    auto *display = native ? static_cast<wl_display *>(native->nativeResourceForIntegration("wl_display")) : nullptr;
    if (!display)
        return nullptr;
    static WaylandGlobals globals;
    globals.display = display;
    // Asked on a queue of its own, so that none of Qt's events are handled meanwhile.
    wl_event_queue *queue = wl_display_create_queue(display);
    auto *wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper), queue);
    wl_registry *registry = wl_display_get_registry(wrapper);
    static const wl_registry_listener listener{announce, withdraw};
    wl_registry_add_listener(registry, &listener, &globals);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(wrapper);
    // Buffers made from here on tell of their release on Qt's queue, which Qt reads and
    // handles on the GUI thread as it does its own events.
    for (void *proxy :
         {static_cast<void *>(globals.compositor), static_cast<void *>(globals.shm), static_cast<void *>(globals.viewporter),
          static_cast<void *>(globals.subcompositor), static_cast<void *>(globals.outputManager)})
        if (proxy)
            wl_proxy_set_queue(static_cast<wl_proxy *>(proxy), nullptr);
    wl_event_queue_destroy(queue);
    if (!globals.compositor || !globals.shm || !globals.viewporter)
        return nullptr;
    static ShmMemory black(globals, QSize(1, 1));
    if (!black.isValid())
        return nullptr;
    black.fill(0xff000000u);
    globals.blackPixel = black.buffer();
    return &globals;
}

} // namespace

const WaylandGlobals *WaylandGlobals::get()
{
    static const WaylandGlobals *globals = bindGlobals();
    return globals;
}

wl_surface *SurfaceOf(QWindow *window)
{
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    if (!window || !native || !window->handle())
        return nullptr;
    return static_cast<wl_surface *>(native->nativeResourceForWindow("surface", window));
}

void CommitSurface(QWindow *window)
{
    const WaylandGlobals *globals = WaylandGlobals::get();
    if (wl_surface *surface = globals ? SurfaceOf(window) : nullptr) {
        wl_surface_commit(surface);
        wl_display_flush(globals->display);
    }
}
