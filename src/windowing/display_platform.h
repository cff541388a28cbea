#pragma once

#include <QCursor>

// What differs between the display servers the windows show on.

// Whether the program shows on a Wayland compositor, which places windows itself: a window
// can ask to be full screen on an output, but not to go to a place of its choosing.
bool OnWayland();

// A mouse pointer that shows nothing. Qt's blank pointer, except on Wayland, where Qt 6.4 sends
// the compositor no image for that one and the compositor goes on drawing its own: there a fully
// transparent one instead.
QCursor HiddenPointer();

// Qt's Wayland plugin, asked whether it could draw window frames, loads the graphics driver
// (Mesa with LLVM: some 45 MB) even for frameless windows drawn without it. Call before the GUI
// application exists.
void SkipWaylandWindowFrames();
