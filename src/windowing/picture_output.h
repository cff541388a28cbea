#pragma once

#include "drawing/coordinates.h"

#include <QPoint>
#include <QRegion>

// One way an image control's picture reaches the screen. The control only draws into its
// picture; its canvas reports, for every drawing call, exactly the pixels that call may have
// changed, and the control hands each such area to show(). Nothing else tells the screen that
// the picture changed, so an output that sends just those areas keeps the screen exact, and one
// that sends more only costs more. An output is made for one picture, with the control's
// picture and mapping (see ControlMapping), which outlive it and which it reads as they are
// when it shows; it knows nothing else of the control. The control chooses an output each time
// it makes its picture afresh.
class PictureOutput
{
public:
    virtual ~PictureOutput() = default;
    // The output puts the pixels into the control's window itself: Qt is to paint nothing there,
    // and its paint events come to expose().
    virtual bool paintsWindowItself() const = 0;
    // Drawing is about to change the picture. An output that lends the picture memory it shares
    // with the window system may put the picture's pixels elsewhere first.
    virtual void aboutToDraw() {}
    // Drawing changed these pixels of the picture.
    virtual void show(const DrawnRect &area) = 0;
    // The window system wants this part of the control, in its own points, shown again; called
    // from the control's paint event.
    virtual void expose(const QRegion &controlRegion) = 0;
    // Hands what show() and expose() gathered to the window system; called before the program
    // sleeps.
    virtual void flush() = 0;
    // Puts the control, as it is on the screen, at this place in its parent, in device pixels;
    // false where Qt is to move it and show it again there.
    virtual bool move(const QPoint &devicePlace) = 0;
};
