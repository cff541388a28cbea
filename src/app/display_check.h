#pragma once

#include <QString>

struct xcb_connection_t;

// Tries the display server Qt is about to connect to, before Qt does: Qt itself would abort the
// program with a core dump when it cannot reach it.
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

private:
    QString xcbProblem();

    QString problem_;
    // Stays open while Qt connects: an X server resets when its last client leaves, and turns
    // new connections away while it does.
    xcb_connection_t *x_ = nullptr;
};
