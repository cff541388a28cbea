#pragma once

#include "watch/idle_source.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

// A Wayland compositor's idle notification: ext-idle-notify (KWin, newer wlroots) or KDE's older
// idle protocol (wlroots 0.15, sway 1.7). The compositor says when the user has been idle and
// when they are back, and holds idle back itself while a window inhibits it.
class WaylandIdle : public IdleSource
{
    Q_OBJECT

public:
    // Nothing when no compositor answers (why stays empty) or it has neither protocol (why says so).
    static std::unique_ptr<WaylandIdle> open(std::chrono::milliseconds idleTime, QString *why);
    ~WaylandIdle() override;

    bool stillIdle() override { return idle_; }

private:
    explicit WaylandIdle(wl_display *display);
    void readEvents();

    static void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version);
    static void onIdled(void *data, ext_idle_notification_v1 *);
    static void onResumed(void *data, ext_idle_notification_v1 *);
    static void onKdeIdle(void *data, org_kde_kwin_idle_timeout *);
    static void onKdeResumed(void *data, org_kde_kwin_idle_timeout *);

    wl_display *display_;
    wl_registry *registry_ = nullptr;
    wl_seat *seat_ = nullptr;
    ext_idle_notifier_v1 *notifier_ = nullptr;
    ext_idle_notification_v1 *notification_ = nullptr;
    org_kde_kwin_idle *kdeIdle_ = nullptr;
    org_kde_kwin_idle_timeout *kdeTimeout_ = nullptr;
    bool idle_ = false;
};
