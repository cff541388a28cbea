#pragma once

#include <QString>

#include <functional>

class QObject;

// The signals with which screen-saver hosts, terminals and timers end a program (SIGTERM, SIGHUP,
// SIGINT, SIGUSR1, SIGALRM, the real-time ones, ...) are caught from its first moment to its
// last, so that each ends it the same way, lock released. SIGPIPE is ignored.

// Installs the handlers and lets the signals through; call first thing. They stay to the end.
// Returns why it cannot listen for them, or empty once it does.
QString CatchQuitSignals();

// The first quit signal that arrived, 0 while none has.
int ReceivedQuitSignal();

// Calls quit on the GUI thread once a quit signal arrives, or as soon as the message loop runs
// when one came earlier. Needs the application object; ends with context.
void OnQuitSignal(QObject *context, std::function<void()> quit);

// Ends the process by the signal that arrived, as Unix programs do once they have cleaned up.
// XScreenSaver counts that as a normal end of its display program, but exit code 0 after its
// SIGTERM as an abnormal one.
[[noreturn]] void EndByQuitSignal();
