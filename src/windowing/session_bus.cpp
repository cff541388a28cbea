#include "session_bus.h"

#include <QByteArray>
#include <QtGlobal>

// Qt's accessibility bridge asks for the session bus when the first window shows. Without one,
// the D-Bus library runs dbus-launch to start one, and the window waits for it (some 50 ms).
// An address that cannot work fails at once instead; a session that has a bus keeps using it.
void SkipMissingSessionBus()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArrayLiteral("disabled:"));
}
