#pragma once
// Where things are in the built-in picture, in its own pixels. The picture generator draws the
// faces around these centres, the clock window draws its hands around them, and the tests look
// for them there.

#include "drawing/coordinates.h"

#include <QSize>

namespace DialLayout {

inline constexpr QSize PictureSize(1024, 768);

// Each clock square is ClockSize by ClockSize; the hands are half of that long.
inline constexpr int ClockSize = 190;
inline constexpr int ClockTop = 528;
inline constexpr int LocalClockLeft = 531;
inline constexpr int UtcClockLeft = 787;
inline constexpr int HandRadius = ClockSize / 2;
inline constexpr PicturePoint LocalCentre(LocalClockLeft + HandRadius, ClockTop + HandRadius);
inline constexpr PicturePoint UtcCentre(UtcClockLeft + HandRadius, ClockTop + HandRadius);

// The screen text's top edge; the picture keeps the rows above the mountains dark for it.
inline constexpr int TextTop = 10;

} // namespace DialLayout
