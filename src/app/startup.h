#pragma once

#include <QString>
#include <QStringList>

enum class RunMode { None, Configure, Show };

// The first argument picks the mode: one starting with /C (any case of the ASCII letter, so
// /c:1234 too) opens the settings, exactly /S (any case), -root or --root shows the clocks,
// anything else does nothing.
RunMode ModeFromArguments(const QStringList &arguments);

// The whole run: lock, one form for the mode, message loop, unlock. Returns the exit code:
// 0, or 1 when the lock file or the display cannot be used. A run ended by a quit signal does
// not return but dies by that signal once the lock is gone.
int RunClockSaver(int &argc, char **argv);
