#pragma once

#include <QString>

// The user's XDG autostart entry that starts a watcher at each log-in:
// $XDG_CONFIG_HOME/autostart (else ~/.config/autostart)/clocksaver-watch.desktop.
QString AutostartEntryPath();

// Writes the entry, whose command runs the program with --watch and the time as given. False,
// with the reason, on failure.
bool WriteAutostartEntry(const QString &program, const QString &watchTime, QString *why);
// Removes the entry; no entry is no failure.
bool RemoveAutostartEntry(QString *why);
