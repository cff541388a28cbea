#include "hauptwin.h"

#include "hauptw/built_in_pictures.h"
#include "hauptw/clock_hands.h"
#include "hauptw/dial_layout.h"
#include "settings/settings_file.h"

THauptwin::THauptwin(HostWindow *host) : FullScreenForm(host)
{
    shownFor_.start();
    setWindowTitle(QStringLiteral("Hauptwin"));
    // Black bands beside the picture: on X windows of their own, which keep no pixels; on
    // Wayland the form covers the screen and paints them itself.
    keepShape(DialLayout::PictureSize);
    bild = new ImageControl(this);
    bild->setGeometry(0, 0, 800, 514);
    bild->setPicture(DialLayout::PictureSize, BackgroundPicture);
    TimerUhr = new QTimer(this);
    TimerUhr->setInterval(TickInterval);
    // Never early: a tick just before the second turns would find nothing to move.
    TimerUhr->setTimerType(Qt::PreciseTimer);

    connect(this, &FullScreenForm::resized, this, &THauptwin::FormResize);
    connect(this, &FullScreenForm::shown, this, &THauptwin::FormShow);
    connect(this, &FullScreenForm::painted, this, &THauptwin::FormPaint);
    connect(this, &FullScreenForm::keyPressed, this, &THauptwin::FormKeyDown);
    connect(bild, &ImageControl::mouseMoved, this, &THauptwin::bildMouseMove);
    connect(bild, &ImageControl::outputChosen, this, &FullScreenForm::leaveUnpainted);
    // The picture keeps its shape, so wide screens have wide black bands beside it; movement
    // there, or on another screen, wakes the user's desktop just the same.
    connect(this, &FullScreenForm::mouseMoved, this, &THauptwin::bildMouseMove);
    connect(TimerUhr, &QTimer::timeout, this, [this] {
        TimerUhrTimer();
        const int delay = nextTickDelay();
        if (TimerUhr->isActive() && (delay != TickInterval || TimerUhr->interval() != TickInterval))
            TimerUhr->start(delay);
    });
    TimerUhr->start();
    FormCreate();
}

void THauptwin::FormCreate()
{
    LocalPatch = std::make_unique<Bitmap>();
    UtcPatch = std::make_unique<Bitmap>();
    ScreenText = ReadSettings();
}

void THauptwin::FormResize()
{
    ClockHeight = DialLayout::ClockSize;
    ClockWidth = DialLayout::ClockSize;
    LocalClockTop = DialLayout::ClockTop;
    UtcClockTop = DialLayout::ClockTop;
    LocalClockLeft = DialLayout::LocalClockLeft;
    UtcClockLeft = DialLayout::UtcClockLeft;
    TextPlacement = TopCentre;
    // Layout is in picture pixels, the same on every screen. A picture made afresh for new
    // screen pixels is clean: the text goes on once, and the patches are taken from it with the
    // text, so restoring them never wipes a letter.
    wander_ = wanderPath();
    bild->setOffset(wander_.offsetAt(wanderStep_));
    switch (bild->place(pictureArea())) {
    case ImageControl::Placed::Unchanged:
        return;
    case ImageControl::Placed::Dropped:
        // Nothing to draw on until the window has pixels again, and then a clean picture.
        PatchesReady = false;
        return;
    case ImageControl::Placed::MadeAfresh:
        break;
    }
    paintScreenText();
    capture(*LocalPatch, localHands_, localSquare());
    capture(*UtcPatch, utcHands_, utcSquare());
    localShown_ = -1;
    utcShown_ = -1;
    const QImage layers = GlobeLayers(bild->picture().size());
    localGlobe_.prepare(*LocalPatch, layers, DialGlobes::Local);
    utcGlobe_.prepare(*UtcPatch, layers, DialGlobes::Utc);
    shadeGlobes(CurrentEpochSecond());
    PatchesReady = true;
}

// Hands end on the square's edge at 0 and 30 seconds, and their round ends and soft edges reach
// a little beyond it: the patches take that in, so erasing leaves no trace.
PictureRect THauptwin::patchArea(const PictureRect &square) const
{
    const int overhang = HandOverhang(bild->canvas().scale());
    return square.adjusted(-overhang, -overhang, overhang, overhang);
}

void THauptwin::capture(Bitmap &patch, DialHands &hands, const PictureRect &square)
{
    const PictureRect area = patchArea(square);
    patch.cover(bild->canvas(), area);
    patch.canvas().copyRect(area, bild->canvas(), area);
    const int radius = ClockWidth / 2;
    hands.prepare(square.topLeft() + PicturePoint(radius, radius), radius);
}

void THauptwin::FormShow()
{
    TimerUhrTimer();
}

void THauptwin::FormPaint()
{
    TimerUhrTimer();
}

void THauptwin::TimerUhrTimer()
{
    wander();
    PaintBoxSekundePaint();
    if (TickCount < GraceTicks)
        ++TickCount;
}

// A step moves the whole picture with its hands, so the hands are drawn where they were.
void THauptwin::wander()
{
    const qint64 step = PictureWander::stepAt(std::chrono::milliseconds(shownFor_.elapsed()));
    if (step == wanderStep_)
        return;
    wanderStep_ = step;
    bild->setOffset(wander_.offsetAt(step));
}

int THauptwin::nextTickDelay() const
{
    if (TickCount < GraceTicks)
        return TickInterval;
    // Read before the second: should the second turn in between, the dials lag and tick at once.
    const int untilNextSecond = MillisecondsToNextSecond();
    if (clockShown_ != CurrentSecondOfDay())
        return TickInterval;
    return (untilNextSecond / TickInterval + 1) * TickInterval;
}

void THauptwin::FormKeyDown()
{
    close();
}

void THauptwin::bildMouseMove()
{
    if (TickCount != GraceTicks)
        return;
    TimerUhr->stop();
    close();
}
