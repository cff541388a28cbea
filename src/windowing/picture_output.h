#pragma once

#include <QRect>
#include <QRegion>

// One way an image control's picture reaches the screen. The control only draws into its
// picture; its canvas reports, for every drawing call, exactly the pixels that call may have
// changed, and the control hands each such area to show(). Nothing else tells the screen that
// the picture changed, so an output that sends just those areas keeps the screen exact, and one
// that sends more only costs more. The control chooses its output each time it is placed.
class PictureOutput
{
public:
    virtual ~PictureOutput() = default;
    // Drawing changed these pixels of the picture.
    virtual void show(const QRect &pixelArea) = 0;
    // The window system wants this part of the control, in its own coordinates, shown again;
    // called from the control's paint event.
    virtual void expose(const QRegion &controlRegion) = 0;
    // Hands what show() and expose() gathered to the window system; called before the program
    // sleeps.
    virtual void flush() = 0;
    // Puts the control, as it is on the screen, at this place in its parent, in device pixels;
    // false where Qt is to move it and show it again there.
    virtual bool move(const QPoint &devicePlace) = 0;
};
