#include "clock_hands.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <numbers>

namespace {

// Multiplies by the radius first and by the share second: the other order can truncate to a
// different pixel.
QPoint endOffset(double angle, int radius, double share = 1.0)
{
    return {int(std::cos(angle) * radius * share), int(std::sin(angle) * radius * share)};
}

// Pieces of a hand this long at most, in picture pixels, each boxed on its own: a slanting hand
// then needs a third of its bounding box repainted.
constexpr int PieceLength = 12;

// The pixels a hand from the centre to centre + end may touch.
QRegion handArea(QPoint centre, QPoint end)
{
    const int pieces = std::max(1, int(std::hypot(end.x(), end.y())) / PieceLength);
    QRegion area;
    for (int piece = 0; piece < pieces; ++piece) {
        const QPoint from = centre + end * piece / pieces;
        const QPoint to = centre + end * (piece + 1) / pieces;
        area += QRect(from, to).normalized().adjusted(-HandOverhang, -HandOverhang, HandOverhang, HandOverhang);
    }
    return area;
}

void drawHand(Canvas &canvas, QPoint centre, QPoint end)
{
    canvas.moveTo(centre.x(), centre.y());
    canvas.lineTo(centre.x() + end.x(), centre.y() + end.y());
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

QRegion HandsArea(QPoint centre, int radius, SecondOfDay time)
{
    const HandEnds ends = HandEndOffsets(radius, time);
    QRegion area = QRect(centre - QPoint(HubRadius, HubRadius), centre + QPoint(HubRadius, HubRadius))
                       .adjusted(-HandOverhang, -HandOverhang, HandOverhang, HandOverhang);
    for (const QPoint end : {ends.second, ends.minute, ends.hour})
        area += handArea(centre, end);
    return area;
}

QRegion MovedHandsArea(QPoint centre, int radius, SecondOfDay from, SecondOfDay to)
{
    const HandEnds before = HandEndOffsets(radius, from);
    const HandEnds after = HandEndOffsets(radius, to);
    QRegion area;
    for (const auto &[was, is] : {std::pair(before.second, after.second), std::pair(before.minute, after.minute),
                                  std::pair(before.hour, after.hour)})
        if (was != is)
            area += handArea(centre, was) + handArea(centre, is);
    return area;
}

void DrawHandsAndHub(Canvas &canvas, QPoint centre, int radius, SecondOfDay time)
{
    const HandEnds ends = HandEndOffsets(radius, time);

    canvas.setPenStyle(Qt::SolidLine);
    canvas.setPenWidth(1);
    canvas.setPenColour(SecondHandColour);
    canvas.setBrushStyle(BrushStyle::Solid);
    drawHand(canvas, centre, ends.second);

    canvas.setPenColour(MinuteHourHandColour);
    canvas.setPenWidth(2);
    drawHand(canvas, centre, ends.minute);

    canvas.setPenWidth(3);
    drawHand(canvas, centre, ends.hour);

    canvas.setBrushColour(HubColour);
    canvas.setPenColour(HubColour);
    canvas.ellipse(centre.x() - HubRadius, centre.y() - HubRadius, centre.x() + HubRadius, centre.y() + HubRadius);
}
