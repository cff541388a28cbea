#pragma once

#include "watch/idle_source.h"

#include <QTimer>

#include <chrono>
#include <optional>

struct xcb_connection_t;

// The X server's idle time, from its screen-saver extension (MIT-SCREEN-SAVER), for X sessions
// whose desktop offers nothing better. The server tells how long ago the last input came; the
// next look is when the user could be idle long enough at the earliest, never sooner.
class XIdle : public IdleSource
{
    Q_OBJECT

public:
    // Nothing, with the reason, when the server cannot be reached or lacks the extension.
    static std::unique_ptr<XIdle> open(std::chrono::milliseconds idleTime, QString *why);
    ~XIdle() override;

    bool stillIdle() override;
    // As "xset s off" leaves it. (While a program has suspended the screen saver, as players
    // do, the server counts no idle time at all.)
    bool savingDisabled() override;

private:
    XIdle(xcb_connection_t *connection, std::chrono::milliseconds idleTime);
    void look();
    // The server's idle time in milliseconds and its saver's state; nothing once the server is gone.
    struct Info
    {
        std::chrono::milliseconds sinceInput;
        int state;
    };
    std::optional<Info> query();

    xcb_connection_t *x_;
    unsigned root_ = 0;
    std::chrono::milliseconds idleTime_;
    QTimer nextLook_;
    // When the input came whose idle period was last reported.
    std::chrono::steady_clock::time_point reportedInput_;
};
