#pragma once

#include "support/headless_compositor.h"
#include "support/picture_difference.h"
#include "support/program_copy.h"

#include <QFile>
#include <QTest>

#include <functional>

// The idle watcher's round under any desktop, the copy's lock telling whether its clocks run:
// they come after the idle time, a key (pressed once they show) ends them, and they come back
// after the next idle time.
inline bool ClocksComeAndGo(const ProgramCopy &copy, const std::function<bool()> &key)
{
    const auto shows = [&] { return TakesTheLock(copy.lockPath(), 30000); };
    const auto ended = [&] { return QTest::qWaitFor([&] { return !QFile::exists(copy.lockPath()); }, 10000); };
    return shows() && key() && ended() && shows() && key() && ended();
}

// Whether the clocks come to cover a 1920x1080 screen: the picture in the middle, a black band
// at its side, nothing of the desktop.
inline bool CoversTheScreen(const std::function<QImage()> &screenshot)
{
    return QTest::qWaitFor(
        [&] {
            const QImage screen = screenshot();
            return screen.size() == QSize(1920, 1080) && IsBlack(screen, QRect(0, 0, 240, 1080))
                   && !IsBlack(screen, QRect(240, 0, 1440, 1080));
        },
        15000);
}

// The round under a compositor, the watcher started as a desktop starts its autostart entries;
// and the watcher ends with the compositor, once its clocks have.
inline bool WatchesUntilTheDesktopGoes(HeadlessCompositor &desktop, const ProgramCopy &copy,
                                       const std::function<bool()> &key)
{
    QProcess watcher;
    watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const bool writable = QFile::setPermissions(copy.folder(), QFile::Permissions(0x7777)); // for the desktop's user
    desktop.start(watcher, copy.programPath(), {"--watch", "3s"});
    const bool shown = writable && ClocksComeAndGo(copy, key) && TakesTheLock(copy.lockPath(), 30000);
    desktop.stop();
    return shown && EndsCleanly(watcher, {}); // its clocks' lock is theirs to remove
}
