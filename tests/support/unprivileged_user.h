#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// Screen-saver hosts run display programs as an ordinary user, and XScreenSaver refuses to run
// them as root. So as root the tests run such programs as nobody, through setpriv; otherwise as
// the user running the tests.
bool RunningAsRoot();
constexpr uid_t NobodyId = 65534;
void startUnprivileged(QProcess &process, const QString &program, const QStringList &arguments);

// For a forked child that runs the program's code itself: turns it into nobody; false if that
// failed.
bool BecomeNobody();
