#pragma once

#include <QColor>

#include <cstdint>

// Colours as the clock code writes them: 0xBBGGRR, so 0x0000FF is red.
using BgrColour = std::uint32_t;

constexpr QRgb RgbFromBgr(BgrColour bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
