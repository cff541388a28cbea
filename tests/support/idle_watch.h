#pragma once

#include "support/picture_difference.h"
#include "support/program_copy.h"

#include <QFile>
#include <QTest>

#include <functional>

// The idle watcher's round under any desktop, the copy's lock telling whether its clocks run:
// they come after the idle time, a key (pressed once they show) ends them, and they come back
// after the next idle time. While input keeps coming (given, optionally) they stay away.
inline bool ClocksComeAndGo(const ProgramCopy &copy, const std::function<bool()> &key,
                            const std::function<bool()> &input = {})
{
    const auto shows = [&] { return TakesTheLock(copy.lockPath(), 30000); };
    const auto ended = [&] { return QTest::qWaitFor([&] { return !QFile::exists(copy.lockPath()); }, 10000); };
    if (!shows() || !key() || !ended())
        return false;
    for (int i = 0; input && i < 4; ++i)
        if (!input() || (QTest::qWait(1000), QFile::exists(copy.lockPath())))
            return false;
    return shows() && key() && ended();
}

// Whether the clocks come to cover a 1920x1080 screen: the picture in the middle, black bands
// beside it, nothing of the desktop.
inline bool CoversTheScreen(const std::function<QImage()> &screenshot)
{
    return QTest::qWaitFor(
        [&] {
            const QImage screen = screenshot();
            return screen.size() == QSize(1920, 1080) && IsBlack(screen, QRect(0, 0, 240, 1080))
                   && IsBlack(screen, QRect(1680, 0, 240, 1080)) && !IsBlack(screen, QRect(240, 0, 1440, 1080));
        },
        15000);
}
