#include "host_window.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

constexpr char VariableName[] = "XSCREENSAVER_WINDOW";

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename Reply>
using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

QSize drawnPart(int width, int height)
{
    return QSize(width, height).boundedTo(HostWindow::MaxDrawnSize);
}

} // namespace

bool HostWindow::isNamed()
{
    return qEnvironmentVariableIsSet(VariableName);
}

HostWindow::HostWindow() = default;
HostWindow::~HostWindow() = default;

bool HostWindow::fail(const QString &error)
{
    error_ = error;
    return false;
}

bool HostWindow::open()
{
    const QByteArray name = qgetenv(VariableName).trimmed();
    bool ok = false;
    if (name.startsWith("0x") || name.startsWith("0X"))
        id_ = name.mid(2).toUInt(&ok, 16);
    else
        id_ = name.toUInt(&ok, 10);
    if (!ok || id_ == 0)
        return fail(QStringLiteral("%1=\"%2\" is not a window id").arg(VariableName, QString::fromLocal8Bit(name)));

    // Other platforms may talk to an X server too, but their windows are no X windows.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return fail(QStringLiteral("%1 is set, but the program is not showing on an X server (platform \"%2\")")
                        .arg(VariableName, QGuiApplication::platformName()));
    xcb_connection_t *connection = x11->connection();

    // Watching the window tells its resizes and its end, and fails for anything but a window;
    // watching before asking its size misses no resize in between.
    const quint32 watched = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const xcb_void_cookie_t watch = xcb_change_window_attributes_checked(connection, id_, XCB_CW_EVENT_MASK, &watched);
    const ReplyPointer<xcb_generic_error_t> watchError(xcb_request_check(connection, watch));
    xcb_generic_error_t *geometryError = nullptr;
    const ReplyPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id_), &geometryError));
    std::free(geometryError);
    if (watchError || !geometry)
        return fail(QStringLiteral("%1=%2: there is no such window on the X server (gone already?)")
                        .arg(VariableName, QString::fromLocal8Bit(name)));

    size_ = drawnPart(geometry->width, geometry->height);
    window_.reset(QWindow::fromWinId(id_));
    qGuiApp->installNativeEventFilter(this);
    return true;
}

bool HostWindow::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto *configure = static_cast<const xcb_configure_notify_event_t *>(message);
        const QSize size = drawnPart(configure->width, configure->height);
        if (configure->window == id_ && size != size_) {
            size_ = size;
            emit resized(size_);
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t *>(message)->window == id_)
            emit vanished();
        break;
    }
    return false;
}
