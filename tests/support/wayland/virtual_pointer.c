// A pointer for a wlroots compositor whose seat has none: reads lines "move DX DY", "click" and
// "wheel" from its input, hands each to the compositor and answers "done" once it has them.

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <stdio.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

enum { LeftButton = 0x110, Pressed = 1, Released = 0, VerticalScroll = 0 };

static void global(void *manager, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    (void)version;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        *(void **)manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static uint32_t now_ms(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

int main(void)
{
    static const struct wl_registry_listener listener = {global, global_remove};
    struct zwlr_virtual_pointer_manager_v1 *manager = NULL;
    struct wl_display *display = wl_display_connect(NULL);
    if (display) {
        wl_registry_add_listener(wl_display_get_registry(display), &listener, &manager);
        wl_display_roundtrip(display);
    }
    if (!manager) {
        fputs("virtual_pointer: no compositor with zwlr_virtual_pointer_manager_v1\n", stderr);
        return 1;
    }
    struct zwlr_virtual_pointer_v1 *pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
    char line[128];
    double dx, dy;
    while (fgets(line, sizeof line, stdin)) {
        if (sscanf(line, "move %lf %lf", &dx, &dy) == 2) {
            zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_double(dx), wl_fixed_from_double(dy));
        } else if (strncmp(line, "click", 5) == 0) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), LeftButton, Pressed);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), LeftButton, Released);
        } else if (strncmp(line, "wheel", 5) == 0) {
            zwlr_virtual_pointer_v1_axis(pointer, now_ms(), VerticalScroll, wl_fixed_from_int(10));
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0)
            return 1;
        puts("done");
        fflush(stdout);
    }
    return 0;
}
