#pragma once

#include "watch/idle_source.h"

#include <QDBusConnection>

// Mutter's idle monitor on the session bus (GNOME on Wayland and on X11). Its idle watch fires
// once the user has been idle that long, again after each activity, and not while the session
// holds idle back (players and browsers ask GNOME for that). The watch lives as long as this
// connection to the bus.
class GnomeIdleMonitor : public IdleSource
{
    Q_OBJECT

public:
    // Nothing when the session has no bus or the bus no idle monitor.
    static std::unique_ptr<GnomeIdleMonitor> open(std::chrono::milliseconds idleTime);

    bool stillIdle() override;

private slots:
    void onWatchFired(uint watch);

private:
    GnomeIdleMonitor(const QDBusConnection &bus, std::chrono::milliseconds idleTime);
    bool addWatch();

    QDBusConnection bus_;
    std::chrono::milliseconds idleTime_;
    uint watch_ = 0;
};
