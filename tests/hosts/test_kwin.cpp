// The idle watcher under a real KWin (Plasma's compositor), nested in a private X server and
// with its permission checks on: the compositor's idle notification brings the clocks over the
// whole screen after the idle time, and the watcher ends with the compositor.

#include "support/idle_watch.h"

#include <QTest>

class TestKWin : public QObject
{
    Q_OBJECT

private slots:
    void theClocksComeWhenTheUserIsIdleUntilTheCompositorGoes()
    {
        HeadlessCompositor kwin(HeadlessCompositor::Desktop::KWin);
        ProgramCopy copy;
        QVERIFY(kwin.isRunning() && copy.isValid());
        const auto key = [&] { return CoversTheScreen([&] { return kwin.screenshot(); }) && kwin.key("x"); };
        QVERIFY(WatchesUntilTheDesktopGoes(kwin, copy, key));
    }
};

QTEST_GUILESS_MAIN(TestKWin)
#include "test_kwin.moc"
