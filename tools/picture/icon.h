#pragma once

#include "globe.h"

#include <QImage>

// 256x256, full colour with alpha: the dial with hands, for the icon theme.
QImage makeLargeIcon(const LandMask &mask);

// 32x32 with a 16-colour palette: a bolder, simplified dial that stays
// legible at that size.
QImage makeSmallIcon(const LandMask &mask);
