#pragma once

#include "hauptw/clock_hands.h"
#include "opdate/opdate.h"
#include "drawing/bitmap.h"
#include "drawing/canvas.h"
#include "drawing/coordinates.h"
#include "drawing/sprite.h"

#include <array>
#include <optional>

// Moves one dial's hands on the picture, changing only the pixels around the hands that moved.
// A smooth wide line costs Qt far more to draw than to copy, so each part is drawn once, as a
// sprite, and after that only laid over the clean dial's pixels as they are restored. The second
// hand's sixty sprites are made during the first minute and kept. The clean dial is handed in
// on every call, as its owner keeps it: `clean` holds the clean picture around the dial, mapped
// like the picture.
class DialHands
{
public:
    // For the dial at `centre`; forgets the sprites of an earlier layout.
    void prepare(PicturePoint centre, int radius);
    // Changes the hands on `picture` from those it drew last (none since prepare: the picture is
    // clean there) to those for `to`. Only the boxes of the hands that moved are copied there,
    // none beyond the clean dial's area.
    void move(Canvas &picture, const Bitmap &clean, SecondOfDay to);
    // Copies this area of the clean dial to `picture` with the hands it drew last laid over it:
    // once the clean dial changed there, the picture shows the change under the hands.
    void redraw(Canvas &picture, const Bitmap &clean, const DrawnRect &area);

private:
    struct Kept
    {
        PicturePoint end;
        Sprite sprite;
    };
    const Sprite &sprite(const Canvas &like, HandPart part, const HandEnds &ends, SecondOfDay time);
    using Parts = std::array<const Sprite *, std::size(HandParts)>;
    Parts parts(const Canvas &like, const HandEnds &ends, SecondOfDay time);

    PicturePoint centre_;
    int radius_ = 0;
    std::optional<HandEnds> shown_;
    SecondOfDay shownTime_ = 0;
    // The second hand by second; the minute hand, hour hand and hub as they are now.
    std::array<std::optional<Kept>, 60> seconds_;
    std::array<std::optional<Kept>, 3> others_;
};
