#pragma once
// Shared by the clock window's tests: a settings file of the test's own, a clock that stands
// still where the test puts it (the time of day the dials show and the instant the globes are
// shaded for), and the window shown with its timer stopped, so every tick is the test's.

#include "hauptw/built_in_pictures.h"
#include "hauptw/hauptwin.h"
#include "opdate/opdate.h"
#include "support/picture_difference.h"
#include "support/settings_sandbox.h"

#include <QTest>
#include <QTime>

#include <memory>

// The window's picture as drawn, in the 32-bit format the tests compare pixels in.
inline QImage drawnPicture(const THauptwin &window)
{
    return window.bild->picture().convertToFormat(QImage::Format_RGB32);
}

// The built-in picture at the window's size with the globes shaded as on the window's clean
// dials, where no hand or text has been drawn.
inline QImage shadedPicture(const THauptwin &window)
{
    QImage picture = BackgroundPicture(window.bild->picture().size()).convertToFormat(QImage::Format_RGB32);
    Canvas canvas(picture);
    canvas.setMapping(window.bild->canvas().scale());
    for (const Bitmap *patch : {window.LocalPatch.get(), window.UtcPatch.get()})
        canvas.copyRect(patch->pictureArea(), patch->canvas(), patch->pictureArea());
    return picture;
}

// The part of the window that shows what differs between two of its pictures on each dial: the
// smallest box there that holds every differing pixel, 8 picture pixels wider each way for the
// hub (7 across with its pen), which does not change but is drawn anew over the hands' feet.
inline QRegion aroundDifferencesOnTheDials(const THauptwin &window, const QImage &a, const QImage &b)
{
    const int margin = int(8 * window.bild->canvas().scale());
    QRegion around;
    for (const int left : {window.LocalClockLeft, window.UtcClockLeft}) {
        const DrawnRect dial = window.bild->canvas().drawnArea(
            PictureRect(left, window.LocalClockTop, window.ClockWidth, window.ClockHeight));
        const QRect changed = DifferingArea(a, b, dial.adjusted(-margin, -margin, margin, margin).qt());
        if (!changed.isEmpty())
            around += window.bild->mapping().controlArea(DrawnRect(changed.adjusted(-margin, -margin, margin, margin))).qt();
    }
    return around;
}

class ClockWindowFixture
{
public:
    ClockWindowFixture()
    {
        SetWallClock([this] { return now; });
        SetEpochClock([this] { return instant; });
    }
    ~ClockWindowFixture()
    {
        SetWallClock({});
        SetEpochClock({});
    }

    bool writeSettings(const QByteArray &contents) const { return sandbox_.writeSettings(contents); }

    // A new window over these settings, shown and laid out, its timer stopped.
    std::unique_ptr<THauptwin> showWindow(const QByteArray &settings)
    {
        if (!writeSettings(settings))
            return nullptr;
        auto window = std::make_unique<THauptwin>();
        window->TimerUhr->stop();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        QTest::qWait(20);
        return window;
    }

    // The wall clock every window of the test reads.
    QTime now = QTime(12, 0, 0);
    // The instant every window of the test shades its globes for: 2024-03-20 12:00 UTC.
    std::int64_t instant = 1710936000;

private:
    SettingsSandbox sandbox_;
};
