#pragma once

// The watcher's command line, as the program hands it on:
//   --watch TIME PROGRAM       waits in the foreground and shows PROGRAM /S after TIME idle
//   --autostart TIME PROGRAM   writes the autostart entry for it and starts a watcher at once
//   --autostart off PROGRAM    removes the entry and ends the session's watcher
// TIME is minutes, or seconds with an s. Returns the exit code; a watcher ended by SIGTERM,
// SIGINT or SIGHUP ends the clocks it started and dies by that signal.
int RunWatchCommand(int argc, char **argv);
