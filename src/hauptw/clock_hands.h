#pragma once

#include "opdate/opdate.h"
#include "drawing/canvas.h"
#include "drawing/coordinates.h"

#include <algorithm>
#include <cstdint>
#include <vector>

inline constexpr BgrColour SecondHandColour = 0x0000FF;
inline constexpr BgrColour MinuteHourHandColour = 0x00FFFF;
inline constexpr BgrColour HubColour = 0x808080;

// The hub's box reaches this far from the centre.
inline constexpr int HubRadius = 2;

// Pen widths in picture pixels; the canvas scales them with the picture.
inline constexpr int SecondHandPen = 1;
inline constexpr int MinuteHandPen = 2;
inline constexpr int HourHandPen = 3;
inline constexpr int HubPen = 3;

// How far a pen this wide reaches, in picture pixels drawn at this scale, beyond a line's end
// points or an outline: half the pen, rounded up, and a drawn pixel of soft edge.
int PenReach(int pen, double scale);
// The farthest any part of the hands reaches at this scale.
int HandOverhang(double scale);

// Where each hand ends, in picture pixels from the dial's centre, on a dial whose hands are
// `radius` long (the hour hand 0.6 of that). Screen y grows downwards; the ends are truncated
// towards zero, never rounded, so every time has exactly one set of end points.
struct HandEnds
{
    PicturePoint second;
    PicturePoint minute;
    PicturePoint hour;
};
HandEnds HandEndOffsets(int radius, std::uint8_t h, std::uint8_t m, std::uint8_t s);
HandEnds HandEndOffsets(int radius, SecondOfDay time);

// The pixels drawn at the scale that drawing all parts changes, soft edges included, as boxes
// that may overlap. They hug each hand along its length, far less than the hands' bounding box
// when they slant.
std::vector<DrawnRect> HandsArea(PicturePoint centre, const HandEnds &ends, double scale);
// Where the drawing for one set of ends differs from that for another: around the hands that
// moved, with boxes of a hand's old and new places joined where the box around both costs less
// to repaint than the two apart.
std::vector<DrawnRect> MovedHandsArea(PicturePoint centre, const HandEnds &from, const HandEnds &to, double scale);

// The parts of a dial's drawing, from the bottom up.
enum class HandPart { Second, Minute, Hour, Hub };
inline constexpr HandPart HandParts[] = {HandPart::Second, HandPart::Minute, HandPart::Hour, HandPart::Hub};

// Where a part ends, relative to the dial's centre: the hub has no end, (0, 0).
PicturePoint HandPartEnd(HandPart part, const HandEnds &ends);
// The pen a part is drawn with.
int HandPartPen(HandPart part);
// The area of the picture one part changes at the scale, soft edges included.
PictureRect HandPartBounds(HandPart part, PicturePoint centre, const HandEnds &ends, double scale);
// Draws one part ending there, with the pen and brush it sets.
void DrawHandPart(Canvas &canvas, HandPart part, PicturePoint centre, const HandEnds &ends);
