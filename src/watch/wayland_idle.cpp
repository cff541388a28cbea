#include "wayland_idle.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

#include <QSocketNotifier>

#include <cstring>

WaylandIdle::WaylandIdle(wl_display *display) : display_(display) {}

WaylandIdle::~WaylandIdle()
{
    if (notification_)
        ext_idle_notification_v1_destroy(notification_);
    if (notifier_)
        ext_idle_notifier_v1_destroy(notifier_);
    if (kdeTimeout_)
        org_kde_kwin_idle_timeout_release(kdeTimeout_);
    if (kdeIdle_)
        org_kde_kwin_idle_destroy(kdeIdle_);
    if (seat_)
        wl_seat_destroy(seat_);
    if (registry_)
        wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

std::unique_ptr<WaylandIdle> WaylandIdle::open(std::chrono::milliseconds idleTime, QString *why)
{
    wl_display *display = wl_display_connect(nullptr);
    // Where no one named a compositor, the usual socket was only a guess.
    if (!display && qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        *why = QStringLiteral("cannot open the display \"%1\": %2")
                   .arg(qEnvironmentVariable("WAYLAND_DISPLAY"), QString::fromLocal8Bit(std::strerror(errno)));
    if (!display)
        return nullptr;
    std::unique_ptr<WaylandIdle> source(new WaylandIdle(display));
    static constexpr wl_registry_listener registryListener{&WaylandIdle::onGlobal, [](void *, wl_registry *, uint32_t) {}};
    source->registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(source->registry_, &registryListener, source.get());
    if (wl_display_roundtrip(display) < 0) {
        *why = QStringLiteral("the Wayland compositor hung up");
        return nullptr;
    }
    const auto timeout = uint32_t(idleTime.count());
    if (source->seat_ && source->notifier_) {
        static constexpr ext_idle_notification_v1_listener listener{&WaylandIdle::onIdled, &WaylandIdle::onResumed};
        source->notification_ = ext_idle_notifier_v1_get_idle_notification(source->notifier_, timeout, source->seat_);
        ext_idle_notification_v1_add_listener(source->notification_, &listener, source.get());
    } else if (source->seat_ && source->kdeIdle_) {
        static constexpr org_kde_kwin_idle_timeout_listener listener{&WaylandIdle::onKdeIdle, &WaylandIdle::onKdeResumed};
        source->kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(source->kdeIdle_, source->seat_, timeout);
        org_kde_kwin_idle_timeout_add_listener(source->kdeTimeout_, &listener, source.get());
    } else {
        *why = QStringLiteral("the Wayland compositor tells no program when the user is idle "
                              "(it has neither ext-idle-notify nor KDE's idle protocol)");
        return nullptr;
    }
    wl_display_flush(display);
    auto *notifier = new QSocketNotifier(wl_display_get_fd(display), QSocketNotifier::Read, source.get());
    connect(notifier, &QSocketNotifier::activated, source.get(), &WaylandIdle::readEvents);
    return source;
}

void WaylandIdle::onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *source = static_cast<WaylandIdle *>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !source->seat_)
        source->seat_ = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
        source->notifier_ = static_cast<ext_idle_notifier_v1 *>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
        source->kdeIdle_ = static_cast<org_kde_kwin_idle *>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
}

void WaylandIdle::onIdled(void *data, ext_idle_notification_v1 *)
{
    auto *source = static_cast<WaylandIdle *>(data);
    source->idle_ = true;
    emit source->idle();
}

void WaylandIdle::onResumed(void *data, ext_idle_notification_v1 *)
{
    static_cast<WaylandIdle *>(data)->idle_ = false;
}

void WaylandIdle::onKdeIdle(void *data, org_kde_kwin_idle_timeout *)
{
    onIdled(data, nullptr);
}

void WaylandIdle::onKdeResumed(void *data, org_kde_kwin_idle_timeout *)
{
    onResumed(data, nullptr);
}

// Only the compositor's events wake the program; a failed read means the compositor is gone.
void WaylandIdle::readEvents()
{
    while (wl_display_prepare_read(display_) != 0)
        wl_display_dispatch_pending(display_);
    if (wl_display_read_events(display_) < 0 || wl_display_dispatch_pending(display_) < 0) {
        static_cast<QSocketNotifier *>(sender())->setEnabled(false);
        emit gone();
        return;
    }
    wl_display_flush(display_);
}
