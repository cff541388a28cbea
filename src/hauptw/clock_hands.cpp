#include "clock_hands.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <numbers>

namespace {

// Multiplies by the radius first and by the share second: the other order can truncate to a
// different pixel.
PicturePoint endOffset(double angle, int radius, double share = 1.0)
{
    return {int(std::cos(angle) * radius * share), int(std::sin(angle) * radius * share)};
}

// Pieces of a hand this long at most, in picture pixels, each boxed on its own: a slanting hand
// then needs a third of its bounding box repainted.
constexpr int PieceLength = 12;

int piecesOf(PicturePoint end)
{
    return std::max(1, int(std::hypot(end.x(), end.y())) / PieceLength);
}

// The box around one of the `pieces` pieces of a hand from the centre to centre + end, drawn at
// the scale, holding the pixels that piece may touch with a pen that many of them wide. It
// follows the line as drawn, not whole picture pixels: on a 3840x2160 screen the second hand's
// boxes are then less than half as wide.
DrawnRect handPiece(PicturePoint centre, PicturePoint end, double penPixels, int piece, int pieces, double scale)
{
    const PicturePointF from = PicturePointF(centre) + PicturePointF(end) * piece / pieces;
    const PicturePointF to = PicturePointF(centre) + PicturePointF(end) * (piece + 1) / pieces;
    return OutlineArea(ScaledCentre(from, scale), ScaledCentre(to, scale), penPixels);
}

constexpr HandPart Hands[] = {HandPart::Second, HandPart::Minute, HandPart::Hour};

// What tells the parts apart, in the order of HandPart.
struct PartLook
{
    // None for the hub.
    PicturePoint HandEnds::*end;
    int pen;
    BgrColour colour;
};
constexpr PartLook PartLooks[] = {
    {&HandEnds::second, SecondHandPen, SecondHandColour},
    {&HandEnds::minute, MinuteHandPen, MinuteHourHandColour},
    {&HandEnds::hour, HourHandPen, MinuteHourHandColour},
    {nullptr, HubPen, HubColour},
};
static_assert(std::size(PartLooks) == std::size(HandParts));

const PartLook &lookOf(HandPart part)
{
    return PartLooks[std::size_t(part)];
}

qint64 pixelsIn(const DrawnRect &box)
{
    return qint64(box.width()) * box.height();
}

// A box of its own costs about as much as repainting this many more pixels: a pass over the
// parts' sprites, and a request the screen's server wakes up to.
constexpr qint64 BoxPixels = 512;

// Joins the box to the last one where the box around both is hardly larger than the two: a
// hand that moved a second's worth then needs half as many boxes or fewer.
void addJoined(std::vector<DrawnRect> &area, const DrawnRect &box)
{
    if (!area.empty() && pixelsIn(area.back() | box) <= pixelsIn(area.back()) + pixelsIn(box) + BoxPixels)
        area.back() |= box;
    else
        area.push_back(box);
}

} // namespace

HandEnds HandEndOffsets(int radius, std::uint8_t h, std::uint8_t m, std::uint8_t s)
{
    using std::numbers::pi;
    // Angle 0 points to three o'clock and angles grow clockwise.
    const double secondAngle = (int(s) - 15) * pi / 30;
    const double minuteAngle = (int(m) - 15) * pi / 30;
    const double hours = h + m / 60.0;
    const double hourAngle = (hours - 3) * pi / 6;
    return {endOffset(secondAngle, radius), endOffset(minuteAngle, radius), endOffset(hourAngle, radius, 0.6)};
}

HandEnds HandEndOffsets(int radius, SecondOfDay time)
{
    std::uint8_t h = 0;
    std::uint8_t m = 0;
    std::uint8_t s = 0;
    SplitSecondOfDay(time, h, m, s);
    return HandEndOffsets(radius, h, m, s);
}

int PenReach(int pen, double scale)
{
    return (pen + 1) / 2 + int(std::ceil(1.0 / scale));
}

int HandOverhang(double scale)
{
    return PenReach(std::max({SecondHandPen, MinuteHandPen, HourHandPen, HubPen}), scale);
}

std::vector<DrawnRect> HandsArea(PicturePoint centre, const HandEnds &ends, double scale)
{
    const PicturePoint hubCorner(HubRadius, HubRadius);
    std::vector<DrawnRect> area{
        OutlineArea(ScaledCentre(centre - hubCorner, scale), ScaledCentre(centre + hubCorner, scale), HubPen * scale)};
    for (const HandPart hand : Hands) {
        const PicturePoint end = HandPartEnd(hand, ends);
        const double penPixels = HandPartPen(hand) * scale;
        for (int piece = 0, pieces = piecesOf(end); piece < pieces; ++piece)
            area.push_back(handPiece(centre, end, penPixels, piece, pieces, scale));
    }
    return area;
}

std::vector<DrawnRect> MovedHandsArea(PicturePoint centre, const HandEnds &before, const HandEnds &after, double scale)
{
    // Made anew each tick, when the memory it takes has long left the processor's caches: one
    // allocation, not one per growth.
    std::vector<DrawnRect> area;
    area.reserve(std::size_t(2 * (piecesOf(after.second) + piecesOf(after.minute) + piecesOf(after.hour)) + 6));
    for (const HandPart hand : Hands) {
        const PicturePoint was = HandPartEnd(hand, before);
        const PicturePoint is = HandPartEnd(hand, after);
        if (was == is)
            continue;
        const double penPixels = HandPartPen(hand) * scale;
        const int wasPieces = piecesOf(was);
        const int isPieces = piecesOf(is);
        // Piece by piece from the centre out, where the two lie closest.
        for (int piece = 0; piece < std::max(wasPieces, isPieces); ++piece) {
            if (piece < wasPieces)
                addJoined(area, handPiece(centre, was, penPixels, piece, wasPieces, scale));
            if (piece < isPieces)
                addJoined(area, handPiece(centre, is, penPixels, piece, isPieces, scale));
        }
    }
    return area;
}

PicturePoint HandPartEnd(HandPart part, const HandEnds &ends)
{
    const auto end = lookOf(part).end;
    return end ? ends.*end : PicturePoint();
}

int HandPartPen(HandPart part)
{
    return lookOf(part).pen;
}

PictureRect HandPartBounds(HandPart part, PicturePoint centre, const HandEnds &ends, double scale)
{
    const PicturePoint hubCorner(HubRadius, HubRadius);
    const PictureRect outline = part == HandPart::Hub ? PictureRect(centre - hubCorner, centre + hubCorner)
                                                      : PictureRect(centre, centre + HandPartEnd(part, ends)).normalized();
    const int reach = PenReach(HandPartPen(part), scale);
    return outline.adjusted(-reach, -reach, reach, reach);
}

void DrawHandPart(Canvas &canvas, HandPart part, PicturePoint centre, const HandEnds &ends)
{
    const PartLook &look = lookOf(part);
    canvas.setPenStyle(Qt::SolidLine);
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.setPenWidth(look.pen);
    canvas.setPenColour(look.colour);
    if (part == HandPart::Hub) {
        canvas.setBrushColour(look.colour);
        canvas.ellipse(centre.x() - HubRadius, centre.y() - HubRadius, centre.x() + HubRadius, centre.y() + HubRadius);
        return;
    }
    const PicturePoint end = centre + HandPartEnd(part, ends);
    canvas.moveTo(centre.x(), centre.y());
    canvas.lineTo(end.x(), end.y());
}
