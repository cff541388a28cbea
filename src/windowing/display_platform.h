#pragma once

#include <QCursor>

class QScreen;

// What differs between the display servers the windows show on.

// Whether the program shows on a Wayland compositor, which places windows itself: a window
// can ask to be full screen on an output, but not to go to a place of its choosing.
bool OnWayland();

// Device pixels to a point on the screen: on Wayland the output's own pixels to a unit of the
// compositor's layout, also where the scale is not whole (Qt 6.4 says 2 at a scale of 1.5).
double ScreenPixelRatio(const QScreen *screen);

// A mouse pointer that shows nothing. Qt's blank pointer, except on Wayland, where Qt 6.4 sends
// the compositor no image for that one and the compositor goes on drawing its own: there a fully
// transparent one instead.
QCursor HiddenPointer();

// Qt's Wayland plugin, asked whether it could draw window frames, loads the graphics driver
// (Mesa with LLVM: some 45 MB) even for frameless windows drawn without it. Call before the GUI
// application exists.
void SkipWaylandWindowFrames();
