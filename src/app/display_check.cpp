#include "display_check.h"

#include "windowing/host_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

constexpr QLatin1String Wayland("wayland");

// The platforms QT_QPA_PLATFORM lists, in the order Qt tries them, without their options.
QStringList platformsNamedIn(const QString &requested)
{
    QStringList names;
    for (const QString &entry : requested.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << entry.section(QLatin1Char(':'), 0, 0);
    return names;
}

bool waylandIsNamed()
{
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_SOCKET");
}

// Whether a platform plugin for this name is where Qt looks, read from the plugins' own
// metadata without loading them.
bool hasPlatformPlugin(const QString &name)
{
    QStringList folders = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &path : QCoreApplication::libraryPaths())
        folders << path + QLatin1String("/platforms");
    for (const QString &folder : folders) {
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
            const QJsonObject metaData = QPluginLoader(file.filePath()).metaData().value("MetaData").toObject();
            for (const QJsonValue key : metaData.value("Keys").toArray())
                if (key.toString().compare(name, Qt::CaseInsensitive) == 0)
                    return true;
        }
    }
    return false;
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
    const QString requested = qEnvironmentVariable("QT_QPA_PLATFORM");
    // A host's window is an X window, whatever else the session offers.
    const QStringList usual = HostWindow::isNamed() ? QStringList{QStringLiteral("xcb")}
                                                    : QStringList{Wayland, QStringLiteral("xcb")};
    const QStringList platforms = requested.isEmpty() ? usual : platformsNamedIn(requested);
    for (const QString &platform : platforms) {
        QString problem;
        if (platform == QLatin1String("xcb")) {
            problem = xcbProblem();
        } else if (platform.startsWith(Wayland)) {
            problem = waylandProblem();
            // Only where no one named a compositor is the usual socket a guess, whose absence
            // says nothing.
            if (!problem.isEmpty() && requested.isEmpty() && !waylandIsNamed())
                continue;
            if (problem.isEmpty() && !hasPlatformPlugin(platform))
                problem = QStringLiteral(
                    "Qt's Wayland plugin is missing, which the compositor needs (Debian package qt6-wayland)");
        }
        if (problem.isEmpty()) {
            problem_.clear();
            if (requested.isEmpty())
                platform_ = platform;
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
