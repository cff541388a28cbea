#pragma once

#include "support/program_copy.h"

#include <QFile>
#include <QTest>

#include <functional>

// The idle watcher's round under any desktop, the copy's lock telling whether its clocks show:
// they come after the idle time, a key ends them, and they come back after the next idle time.
// While input keeps coming (given, optionally) they stay away.
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
