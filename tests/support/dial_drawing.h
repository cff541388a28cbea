#pragma once
// What a dial must show, drawn directly: the reference for pictures drawn any other way.

#include "hauptw/clock_hands.h"

// Second hand, minute hand, hour hand and hub, in that order, for the time of day.
inline void DrawHandsAndHub(Canvas &canvas, PicturePoint centre, int radius, SecondOfDay time)
{
    const HandEnds ends = HandEndOffsets(radius, time);
    for (const HandPart part : HandParts)
        DrawHandPart(canvas, part, centre, ends);
}
