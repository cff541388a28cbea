#pragma once

#include <QString>

#include <functional>

// The lock file's path; the settings file is this path followed by ".ini". Set once at start.
extern QString BasePath;

// The program path cut after its last "." with "in1" appended: /opt/x/clocksaver.scr gives
// /opt/x/clocksaver.in1. Without any dot it is just "in1", relative to the current folder.
QString BasePathFor(const QString &programPath);

// The user's own place: $XDG_CONFIG_HOME/clocksaver/clocksaver.in1, with ~/.config standing in
// for XDG_CONFIG_HOME when that is unset or not an absolute path.
QString UserBasePath();

// Where this run keeps its lock and settings. Beside the program (BasePathFor) when tryPlace
// succeeds there, so a program in a folder the user may write behaves as it always has; a
// program installed for everyone (its real path under /usr or /opt) uses UserBasePath, whose folder is made (mode 0700) and
// then handed to tryPlace as well, even for root, who could write beside it. tryPlace normally takes the lock at the path it
// gets.
QString ChooseBasePath(const QString &programPath, const std::function<bool(const QString &)> &tryPlace);

// The path ChooseBasePath would pick for this program now, found by creating and removing a
// scratch file beside it instead of taking the lock (the user's folder is made as a run would
// make it); for telling the user where the settings are.
QString BasePathInUse(const QString &programPath);
