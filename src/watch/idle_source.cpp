#include "idle_source.h"

#include "watch/gnome_idle_monitor.h"
#include "watch/wayland_idle.h"
#include "watch/x_idle.h"

std::unique_ptr<IdleSource> OpenIdleSource(std::chrono::milliseconds idleTime, QString *why)
{
    if (auto gnome = GnomeIdleMonitor::open(idleTime))
        return gnome;
    QString waylandProblem;
    if (auto wayland = WaylandIdle::open(idleTime, &waylandProblem))
        return wayland;
    // A compositor that answers has the only true idle time: its X server sees only X windows.
    if (!waylandProblem.isEmpty()) {
        *why = waylandProblem;
        return nullptr;
    }
    return XIdle::open(idleTime, why);
}
