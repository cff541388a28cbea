#include "display_check.h"

#include <QStringList>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// In the order Qt tries them: those QT_QPA_PLATFORM lists, else what the session suggests.
QStringList platformsQtTries()
{
    const QString requested = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (requested.isEmpty())
        return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ? QStringList{"wayland", "xcb"}
                                                                                    : QStringList{"xcb"};
    QStringList names;
    for (const QString &entry : requested.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << entry.section(QLatin1Char(':'), 0, 0);
    return names;
}

QString cannotOpen(const QString &name, const QString &reason)
{
    return QStringLiteral("cannot open the display \"%1\": %2").arg(name, reason);
}

QString xcbReason(int error)
{
    switch (error) {
    case XCB_CONN_CLOSED_PARSE_ERR:
        return QStringLiteral("not a display name");
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return QStringLiteral("the server has no such screen");
    case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
        return QStringLiteral("out of memory");
    default:
        return QStringLiteral("no X server accepts the connection");
    }
}

// Connects to the compositor's socket as libwayland-client would.
QString waylandProblem()
{
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return {};
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    QString path = name;
    if (!name.startsWith(QLatin1Char('/'))) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return QStringLiteral("no display: XDG_RUNTIME_DIR is not set");
        path = runtime + QLatin1Char('/') + name;
    }
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof address.sun_path)
        return cannotOpen(name, QStringLiteral("the socket's path is too long"));
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool connected = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return connected ? QString() : cannotOpen(name, reason);
}

} // namespace

DisplayCheck::DisplayCheck()
{
    for (const QString &platform : platformsQtTries()) {
        QString problem;
        if (platform == QLatin1String("xcb"))
            problem = xcbProblem();
        else if (platform.startsWith(QLatin1String("wayland")))
            problem = waylandProblem();
        if (problem.isEmpty()) {
            problem_.clear();
            return;
        }
        if (problem_.isEmpty())
            problem_ = problem;
    }
}

DisplayCheck::~DisplayCheck()
{
    if (x_)
        xcb_disconnect(x_);
}

QString DisplayCheck::xcbProblem()
{
    const QString name = qEnvironmentVariable("DISPLAY");
    if (name.isEmpty())
        return QStringLiteral("no display: DISPLAY is not set");
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(name.toLocal8Bit().constData(), &screen);
    if (const int error = xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return cannotOpen(name, xcbReason(error));
    }
    x_ = connection;
    return {};
}
