// The idle watcher under a real KWin (Plasma's compositor), nested in a private X server and
// with its permission checks on: the compositor's idle notification brings the clocks over the
// whole screen after the idle time, and the watcher ends with the compositor.

#include "support/headless_compositor.h"
#include "support/idle_watch.h"

#include <QFile>
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
        QVERIFY(QFile::setPermissions(copy.folder(), QFile::Permissions(0x7777)));
        QProcess watcher;
        kwin.start(watcher, copy.programPath(), {"--watch", "3s"});
        const auto key = [&] { return CoversTheScreen([&] { return kwin.screenshot(); }) && kwin.key(QStringLiteral("x")); };
        QVERIFY(ClocksComeAndGo(copy, key, [&] { return kwin.key(QStringLiteral("Escape")); }));
        QVERIFY(TakesTheLock(copy.lockPath(), 30000));
        kwin.stop();
        QVERIFY(EndsCleanly(watcher, copy.lockPath()));
    }
};

QTEST_GUILESS_MAIN(TestKWin)
#include "test_kwin.moc"
