// The idle watcher under a real headless gnome-shell: mutter's idle monitor brings the clocks
// over the whole screen, top bar included, after the idle time, not while the session holds idle
// back, and the watcher ends with the desktop.

#include "support/idle_watch.h"

#include <QTest>

class SessionManager : public QObject // gnome-session as mutter asks it: what players hold back (8: idle)
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
    Q_PROPERTY(uint InhibitedActions MEMBER inhibited)

public:
    uint inhibited = 8;
};

class TestGnomeShell : public QObject
{
    Q_OBJECT

private slots:
    void theClocksComeWhenTheUserIsIdleUntilTheDesktopGoes()
    {
        HeadlessCompositor shell(HeadlessCompositor::Desktop::GnomeShell);
        ProgramCopy copy;
        QVERIFY(shell.isRunning() && copy.isValid());
        const auto key = [&] { return CoversTheScreen([&] { return shell.screenshot(); }) && shell.key("x"); };
        QVERIFY(WatchesUntilTheDesktopGoes(shell, copy, key));
    }

    void notWhileIdleIsHeldBack()
    {
        HeadlessCompositor shell(HeadlessCompositor::Desktop::GnomeShell);
        ProgramCopy copy;
        SessionManager manager;
        QVERIFY(shell.isRunning() && copy.isValid());
        QVERIFY(shell.bus().registerObject(QStringLiteral("/org/gnome/SessionManager"), &manager,
                                           QDBusConnection::ExportAllProperties)
                && shell.bus().registerService(QStringLiteral("org.gnome.SessionManager")));
        QVERIFY(QFile::setPermissions(copy.folder(), QFile::Permissions(0x7777)));
        QProcess watcher;
        shell.start(watcher, copy.programPath(), {"--watch", "3s"});
        QTest::qWait(8000);
        QVERIFY(!QFile::exists(copy.lockPath()) && watcher.state() == QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestGnomeShell)
#include "test_gnome_shell.moc"
