#pragma once

// --watch and --autostart belong to the idle watcher, a small program of its own beside this
// one, which waits without the weight of the clocks' libraries.
bool IsWatcherRequest(int argc, char **argv);

// Replaces this process with the watcher, handing it the option, its value and this program's
// path. Returns only on failure: exit code 1, the reason reported.
int StartWatcher(int argc, char **argv);
