#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

// Where the user's idle time comes from: it says when the user has been idle for the watch
// time, once for each idle period, and when the session it listens to has gone.
class IdleSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Asked again when the clocks were held back: whether this idle period still lasts.
    virtual bool stillIdle() = 0;
    // Whether the display server itself keeps its screen saver off for now.
    virtual bool savingDisabled() { return false; }

signals:
    void idle();
    void gone();
};

// The source this session offers: GNOME's idle monitor where its session bus has one, else the
// Wayland compositor when one answers, else the X server. Nothing, with the reason, when none
// can tell idle time.
std::unique_ptr<IdleSource> OpenIdleSource(std::chrono::milliseconds idleTime, QString *why);
