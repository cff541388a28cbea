#include "headless_compositor.h"

#include "support/unprivileged_user.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QTest>

const QString RemoteDesktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop");

bool HeadlessCompositor::startGnomeShell(const QString &runtime)
{
    // Its session bus where systemd puts a user's, open to this process too, starting no services
    // (they outlive it); and an empty system bus, without which it ends at once, seeing logind.
    QFile usual(QStringLiteral("/usr/share/dbus-1/session.conf"));
    QFile config(folder_.filePath(QStringLiteral("bus.conf")));
    if (!usual.open(QIODevice::ReadOnly) || !config.open(QIODevice::WriteOnly))
        return false;
    config.write(usual.readAll()
                     .replace("<policy context=\"default\">", "<policy context=\"default\"><allow user=\"*\"/>")
                     .replace("<standard_session_servicedirs />", ""));
    config.close();
    config.setPermissions(config.permissions() | QFile::ReadOther);
    const QString session = "unix:path=" + runtime + "/bus";
    const QString system = "unix:path=" + runtime + "/system_bus";
    for (auto [bus, address] : {std::pair(&sessionBus_, session), std::pair(&systemBus_, system)}) {
        bus->setProcessEnvironment(compositor_.processEnvironment());
        startUnprivileged(*bus, "dbus-daemon", {"--config-file=" + config.fileName(), "--nofork", "--address=" + address});
    }
    startUnprivileged(compositor_, "env",
                      {"DBUS_SESSION_BUS_ADDRESS=" + session, "DBUS_SYSTEM_BUS_ADDRESS=" + system, "gnome-shell",
                       "--headless", "--wayland", "--no-x11", "--virtual-monitor", "1920x1080", "--wayland-display",
                       "wayland-gnome"});
    socket_ = QStringLiteral("wayland-gnome");
    const auto has = [this](const char *name) { return bus().interface()->isServiceRegistered(name).value(); };
    const bool listening = QTest::qWaitFor([&] { return QFile::exists(runtime + "/bus"); }, 10000);
    const QDBusConnection bus = QDBusConnection::connectToBus(session, QStringLiteral("compositor"));
    const bool ready = listening && bus.isConnected()
                       && QTest::qWaitFor(
                           [&] { return has("org.gnome.Mutter.RemoteDesktop") && has("org.gnome.Mutter.IdleMonitor"); },
                           30000);
    // Keys and motion through one remote-desktop session, which lasts as long as this connection.
    const QDBusMessage created = bus.call(QDBusMessage::createMethodCall(
        RemoteDesktop, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), RemoteDesktop, QStringLiteral("CreateSession")));
    remoteDesktop_ = created.arguments().value(0).value<QDBusObjectPath>().path();
    // It starts in the overview: Escape leaves it. The first key (bringing the virtual keyboard
    // along) can be lost.
    return ready && call(remoteDesktop_, QStringLiteral("Start")) && key(QStringLiteral("Escape"))
           && key(QStringLiteral("Escape"));
}

bool HeadlessCompositor::startKWin(const QString &runtime)
{
    xvfb_ = std::make_unique<XvfbServer>(1920, 1080);
    // QPainter's compositing, as there is no GPU; and a plain copy of Debian's KWin, whose file
    // capability a container may refuse.
    startUnprivileged(compositor_, "env",
                      {"KWIN_COMPOSE=Q", runnableCopy(QStringLiteral("/usr/bin/kwin_wayland")), "--x11-display",
                       xvfb_->display(), "--width", "1920", "--height", "1080", "--socket", "wayland-kwin",
                       "--no-lockscreen"});
    socket_ = QStringLiteral("wayland-kwin");
    return xvfb_->isRunning() && QTest::qWaitFor([&] { return QFile::exists(runtime + "/wayland-kwin"); }, 30000);
}

bool HeadlessCompositor::call(const QString &path, const QString &method, const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(RemoteDesktop, path, RemoteDesktop + ".Session", method);
    message.setArguments(arguments);
    return bus().call(message).type() == QDBusMessage::ReplyMessage;
}
