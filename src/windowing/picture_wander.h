#pragma once

#include <QPoint>
#include <QtGlobal>

#include <chrono>
#include <vector>

// Where the picture sits as it wanders, so that no pixel of the screen shows the same edge of
// text, ring or numeral for hours: a slow closed path of whole device pixels around its centred
// place, never farther from it than 1 % of the height of the screen (or of the host's window)
// it shows on. It stays centred for the first step interval; each step after that moves it one
// pixel across, up or down, or both.
class PictureWander
{
public:
    static constexpr std::chrono::seconds StepInterval{180};

    // For a screen this many device pixels high.
    explicit PictureWander(int screenHeight);

    // The farthest the path goes from the centred place, in device pixels.
    int reach() const { return reach_; }
    // The step the path is at once the picture has shown this long.
    static qint64 stepAt(std::chrono::milliseconds shown);
    // The offset from the centred place at that step; the path starts over after its last.
    QPoint offsetAt(qint64 step) const;
    // Steps until the path is back at its start.
    int length() const { return int(points_.size()); }

private:
    int reach_;
    std::vector<QPoint> points_;
};
