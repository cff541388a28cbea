#pragma once

#include <QString>

struct xcb_connection_t;

// Finds the display server the way desktops, idle daemons and shells name it, and tries it before
// Qt does: Qt itself would abort the program with a core dump when it cannot reach it.
// QT_QPA_PLATFORM decides when set, and a screen-saver host's window means its X server.
// Otherwise a Wayland compositor that accepts a connection wins, even with DISPLAY set (a compositor sets that for its X
// compatibility, and XDG_SESSION_TYPE is "tty" when it was started from a console); else the X server.
class DisplayCheck
{
public:
    DisplayCheck();
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck &) = delete;
    DisplayCheck &operator=(const DisplayCheck &) = delete;

    // Why the server cannot be reached ("cannot open the display ...", "no display: ..."), or
    // empty when it can or Qt will use a platform that needs none.
    QString problem() const { return problem_; }
    // The platform to hand Qt in QT_QPA_PLATFORM, or empty when that names it already.
    QString platform() const { return platform_; }

private:
    QString xcbProblem();

    QString problem_;
    QString platform_;
    // Stays open while Qt connects: an X server resets when its last client leaves, and turns
    // new connections away while it does.
    xcb_connection_t *x_ = nullptr;
};
