#pragma once

#include <QString>

// Why the program cannot run, or could not end cleanly, as one line "clocksaver: <reason>" on
// standard error: hosts and terminals show or log it, and the user sees nothing else of it.
void ReportFailure(const QString &reason);
