#pragma once

#include <QString>
#include <QStringList>

// The program's path inside an install tree.
extern const QString InstalledProgram;

// What the install tree under `root` lacks or gets wrong: the program, its command, its manual page, its link where
// XScreenSaver runs display programs from, XScreenSaver's description of it, the menu entry and,
// for /usr only, the one MATE's screen saver offers, the icons. `prefix` is where the tree works once in place:
// the same as root after cmake --install, /usr for the package's. Empty when nothing is wrong.
QStringList installTreeFaults(const QString &root, const QString &prefix);
