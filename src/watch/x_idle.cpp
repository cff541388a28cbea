#include "x_idle.h"

#include <QSocketNotifier>

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// Two looks closer than this saw the same input: the server counts in milliseconds and the
// look itself takes a little time.
constexpr std::chrono::milliseconds SameInput(50);

} // namespace

XIdle::XIdle(xcb_connection_t *connection, std::chrono::milliseconds idleTime) : x_(connection), idleTime_(idleTime)
{
    nextLook_.setSingleShot(true);
    nextLook_.setTimerType(Qt::CoarseTimer);
    connect(&nextLook_, &QTimer::timeout, this, &XIdle::look);
}

XIdle::~XIdle()
{
    xcb_disconnect(x_);
}

std::unique_ptr<XIdle> XIdle::open(std::chrono::milliseconds idleTime, QString *why)
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        *why = QStringLiteral("no display: neither WAYLAND_DISPLAY nor DISPLAY is set");
        return nullptr;
    }
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(display.constData(), &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        *why = QStringLiteral("cannot open the display \"%1\"").arg(QString::fromLocal8Bit(display));
        return nullptr;
    }
    std::unique_ptr<XIdle> source(new XIdle(connection, idleTime));
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (!extension || !extension->present) {
        *why = QStringLiteral("the X server \"%1\" cannot tell idle time (it has no MIT-SCREEN-SAVER extension)")
                   .arg(QString::fromLocal8Bit(display));
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; screens.rem && screen > 0; --screen)
        xcb_screen_next(&screens);
    source->root_ = screens.data->root;
    // The server writes only when it goes away: events are not asked for.
    auto *hangUp = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, source.get());
    connect(hangUp, &QSocketNotifier::activated, source.get(), [source = source.get(), hangUp] {
        while (xcb_generic_event_t *event = xcb_poll_for_event(source->x_))
            std::free(event);
        if (xcb_connection_has_error(source->x_)) {
            hangUp->setEnabled(false);
            emit source->gone();
        }
    });
    source->nextLook_.start(0);
    return source;
}

std::optional<XIdle::Info> XIdle::query()
{
    xcb_screensaver_query_info_reply_t *reply = xcb_screensaver_query_info_reply(x_, xcb_screensaver_query_info(x_, root_),
                                                                                 nullptr);
    if (!reply)
        return std::nullopt;
    const Info info{std::chrono::milliseconds(reply->ms_since_user_input), reply->state};
    std::free(reply);
    return info;
}

void XIdle::look()
{
    const std::optional<Info> info = query();
    if (!info) {
        emit gone();
        return;
    }
    const auto input = std::chrono::steady_clock::now() - info->sinceInput;
    if (info->sinceInput < idleTime_) {
        nextLook_.start(idleTime_ - info->sinceInput);
        return;
    }
    // A new idle period can start no sooner than the watch time after the next input.
    nextLook_.start(idleTime_);
    if (input - reportedInput_ > SameInput || reportedInput_ - input > SameInput) {
        reportedInput_ = input;
        emit idle();
    }
}

bool XIdle::stillIdle()
{
    const std::optional<Info> info = query();
    return info && info->sinceInput >= idleTime_;
}

bool XIdle::savingDisabled()
{
    const std::optional<Info> info = query();
    return info && info->state == XCB_SCREENSAVER_STATE_DISABLED;
}
