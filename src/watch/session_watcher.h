#pragma once

#include <QString>

// One watcher per desktop session (XDG_SESSION_ID, else the display): its process id sits in a
// file in the user's runtime folder, locked while it runs.
class SessionWatcher
{
public:
    SessionWatcher() = default;
    ~SessionWatcher();
    SessionWatcher(const SessionWatcher &) = delete;
    SessionWatcher &operator=(const SessionWatcher &) = delete;

    // Ends the session's running watcher, if any, and takes its place. False, with the reason,
    // when it cannot.
    bool takeOver(QString *why);
    // Ends the session's running watcher, if any, and leaves no one in its place.
    static bool endRunning(QString *why);

private:
    int fd_ = -1;
};
