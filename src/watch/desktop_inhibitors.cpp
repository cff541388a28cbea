#include "desktop_inhibitors.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace {

// GNOME's session manager's flag for "idle".
constexpr uint IdleFlag = 8;
// A busy service must not keep the clocks waiting long.
constexpr int AnswerTimeoutMs = 2000;

bool answersTrue(const QDBusConnection &bus, const QString &service, const QString &path, const QString &method,
                 const QVariantList &arguments = {})
{
    if (!bus.interface()->isServiceRegistered(service))
        return false;
    const QString interface = method.section(QLatin1Char('.'), 0, -2);
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method.section(QLatin1Char('.'), -1));
    call.setArguments(arguments);
    const QDBusReply<bool> answer = bus.call(call, QDBus::Block, AnswerTimeoutMs);
    return answer.isValid() && answer.value();
}

} // namespace

bool DesktopHoldsIdleBack()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    return answersTrue(bus, QStringLiteral("org.freedesktop.PowerManagement"),
                       QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                       QStringLiteral("org.freedesktop.PowerManagement.Inhibit.HasInhibit"))
           || answersTrue(bus, QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
                          QStringLiteral("org.gnome.SessionManager.IsInhibited"), {IdleFlag});
}
