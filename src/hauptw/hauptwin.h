#pragma once

#include "hauptw/dial_hands.h"
#include "hauptw/globe_shading.h"
#include "opdate/opdate.h"
#include "drawing/bitmap.h"
#include "windowing/full_screen_form.h"
#include "windowing/image_control.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

// The clock screen of show mode: the built-in picture fitted to the primary screen, live hands
// for local time on the left dial and UTC on the right one, the screen text at the top. A key
// ends it at once, mouse movement once the grace period of a few repaints is over. In a host's
// window the same layout fills that window instead of the screen, and the host ends it.
class THauptwin : public FullScreenForm
{
    Q_OBJECT
public:
    explicit THauptwin(HostWindow *host = nullptr);

    // Handlers.
    void FormCreate();
    void FormResize();
    void FormShow();
    void FormPaint();
    void FormKeyDown();
    void bildMouseMove();
    void TimerUhrTimer();
    // Erases the hands with the clean patches and draws them for the current times, unless
    // the dials show these times already; in the first tick of each ShadingPeriod it shades
    // the globes anew.
    void PaintBoxSekundePaint();
    // The one place where the globes' day and night change: both clean patches are shaded for
    // the instant (seconds since 1970 UTC), and the picture shows them under the hands.
    void shadeGlobes(std::int64_t epochSecond);

    // Where TextPlacement puts the screen text: centred, just below the top of the picture.
    static constexpr std::uint8_t TopCentre = 3;
    // Repaints (ticks, show and paint events) during which mouse movement is ignored.
    static constexpr std::uint8_t GraceTicks = 5;
    // The timer's step, in milliseconds.
    static constexpr int TickInterval = 300;
    // Seconds of the computer's clock between two shadings of the globes: the line between day
    // and night moves half a degree in that time.
    static constexpr std::int64_t ShadingPeriod = 120;

    // How long the timer waits after a tick. Once the grace period is over and the dials show
    // the clock's second, the ticks left in that second would change nothing: the timer then
    // sleeps through them to the first of its steps in the next second, the tick that moves
    // the hands. Otherwise one step.
    int nextTickDelay() const;

    ImageControl *bild = nullptr;
    QTimer *TimerUhr = nullptr;

    // Set by the first layout, which captures the clean picture; painting waits for it. Cleared
    // when the picture is dropped (a window with no pixels), as the patches then show nothing.
    bool PatchesReady = false;
    // The clock squares, in picture pixels.
    std::int32_t LocalClockTop = 0;
    std::int32_t UtcClockTop = 0;
    std::int32_t LocalClockLeft = 0;
    std::int32_t UtcClockLeft = 0;
    std::int32_t ClockHeight = 0;
    std::int32_t ClockWidth = 0;
    QByteArray ScreenText;
    std::uint8_t TickCount = 0;
    std::uint8_t TextPlacement = 0;
    // The clean picture under each clock square, with room for the hands' ends, at the
    // screen's resolution.
    std::unique_ptr<Bitmap> LocalPatch;
    std::unique_ptr<Bitmap> UtcPatch;

private:
    PictureRect localSquare() const { return {LocalClockLeft, LocalClockTop, ClockWidth, ClockHeight}; }
    PictureRect utcSquare() const { return {UtcClockLeft, UtcClockTop, ClockWidth, ClockHeight}; }
    PictureRect patchArea(const PictureRect &square) const;
    // Takes the clean picture around the clock square into the patch, which the hands erase
    // with.
    void capture(Bitmap &patch, DialHands &hands, const PictureRect &square);
    // `shown` is the time the dial shows, -1 before its first hands.
    void paintClock(DialHands &hands, const Bitmap &patch, SecondOfDay time, SecondOfDay &shown);
    void paintScreenText();
    // Moves the picture on along its path when a step is due.
    void wander();
    // Sets the text font on the picture's canvas and says where the text goes, if anywhere.
    std::optional<PicturePoint> placeScreenText(const QString &text);

    DialHands localHands_;
    DialHands utcHands_;
    GlobeShading localGlobe_;
    GlobeShading utcGlobe_;
    // The ShadingPeriod, counted from 1970, that the globes were last shaded in.
    std::int64_t shadingShown_ = -1;
    // The computer's second the dials were last drawn for.
    SecondOfDay clockShown_ = -1;
    SecondOfDay localShown_ = -1;
    SecondOfDay utcShown_ = -1;
    // Since the window was made; the picture's path starts there.
    QElapsedTimer shownFor_;
    PictureWander wander_{0};
    qint64 wanderStep_ = 0;
};
