#pragma once

#include <QByteArray>

// Qt looks into the user's runtime folder as it starts, and where XDG_RUNTIME_DIR is not set (as
// under MATE's screen saver, which logs whatever its display programs write to standard error)
// it says so on standard error. Then this points XDG_RUNTIME_DIR at a folder readable by the
// user alone: one for all the user's runs, kept from one to the next so that no end of a run
// leaves a new one behind, or where that cannot be trusted, one of the run's own; otherwise it
// does nothing. Make it before the GUI application.
class PrivateRuntimeFolder
{
public:
    PrivateRuntimeFolder();
    // Removes a folder of the run's own and what is in it; so does the end of the process by exit().
    ~PrivateRuntimeFolder();
    PrivateRuntimeFolder(const PrivateRuntimeFolder &) = delete;
    PrivateRuntimeFolder &operator=(const PrivateRuntimeFolder &) = delete;
};
