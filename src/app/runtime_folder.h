#pragma once

#include <QByteArray>

// Qt looks into the user's runtime folder as it starts, and where XDG_RUNTIME_DIR is not set (as
// under MATE's screen saver, which logs whatever its display programs write to standard error)
// it says so on standard error. Then this makes a folder of the run's own, readable by the user
// alone, and points XDG_RUNTIME_DIR at it until the run ends; otherwise it does nothing. Make it
// before the GUI application.
class PrivateRuntimeFolder
{
public:
    PrivateRuntimeFolder();
    // Removes the folder and what is in it; so does the end of the process by exit().
    ~PrivateRuntimeFolder();
    PrivateRuntimeFolder(const PrivateRuntimeFolder &) = delete;
    PrivateRuntimeFolder &operator=(const PrivateRuntimeFolder &) = delete;
};
