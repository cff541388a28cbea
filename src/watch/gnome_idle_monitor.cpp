#include "gnome_idle_monitor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>

namespace {

const QString Service = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString Path = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString Interface = QStringLiteral("org.gnome.Mutter.IdleMonitor");

} // namespace

GnomeIdleMonitor::GnomeIdleMonitor(const QDBusConnection &bus, std::chrono::milliseconds idleTime)
    : bus_(bus), idleTime_(idleTime)
{
}

std::unique_ptr<GnomeIdleMonitor> GnomeIdleMonitor::open(std::chrono::milliseconds idleTime)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(Service))
        return nullptr;
    std::unique_ptr<GnomeIdleMonitor> monitor(new GnomeIdleMonitor(bus, idleTime));
    if (!monitor->addWatch())
        return nullptr;
    // The monitor goes with the compositor; when the bus goes, Qt reports its names gone too.
    auto *watcher = new QDBusServiceWatcher(Service, bus, QDBusServiceWatcher::WatchForUnregistration, monitor.get());
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, monitor.get(), &IdleSource::gone);
    return monitor;
}

bool GnomeIdleMonitor::addWatch()
{
    // Listening first: the watch may fire at once.
    if (!bus_.connect(Service, Path, Interface, QStringLiteral("WatchFired"), this, SLOT(onWatchFired(uint))))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("AddIdleWatch"));
    call << quint64(idleTime_.count());
    const QDBusReply<uint> watch = bus_.call(call);
    watch_ = watch.isValid() ? watch.value() : 0;
    return watch.isValid();
}

void GnomeIdleMonitor::onWatchFired(uint watch)
{
    if (watch == watch_)
        emit idle();
}

bool GnomeIdleMonitor::stillIdle()
{
    const QDBusReply<quint64> idleTime = bus_.call(
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetIdletime")));
    return idleTime.isValid() && idleTime.value() >= quint64(idleTime_.count());
}
