// The idle watcher under a real headless gnome-shell, started as the user's autostart entry
// starts it: mutter's idle monitor brings the clocks over the whole screen, top bar included,
// after the idle time, not while the session holds idle back, and the watcher ends with the
// desktop.

#include "support/headless_compositor.h"
#include "support/idle_watch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QTest>

// gnome-session as mutter asks it: the actions players and browsers hold back (8: idle).
class IdleInhibitingSessionManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
    Q_PROPERTY(uint InhibitedActions READ inhibitedActions)

public:
    uint inhibitedActions() const { return actions_; }
    // As gnome-session tells of a change.
    bool release(const QDBusConnection &bus)
    {
        actions_ = 0;
        QDBusMessage changed = QDBusMessage::createSignal(QStringLiteral("/org/gnome/SessionManager"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("PropertiesChanged"));
        changed << QStringLiteral("org.gnome.SessionManager") << QVariantMap{{QStringLiteral("InhibitedActions"), 0U}}
                << QStringList();
        return bus.send(changed);
    }

private:
    uint actions_ = 8;
};

class TestGnomeShell : public QObject
{
    Q_OBJECT

    std::unique_ptr<HeadlessCompositor> shell_;
    std::unique_ptr<ProgramCopy> copy_;
    QProcess watcher_;

private slots:
    void init()
    {
        shell_ = std::make_unique<HeadlessCompositor>(HeadlessCompositor::Desktop::GnomeShell);
        watcher_.setProcessEnvironment({});
        watcher_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        copy_ = std::make_unique<ProgramCopy>();
        QVERIFY(shell_->isRunning() && copy_->isValid());
        // The desktop's user writes the lock beside the program.
        QVERIFY(QFile::setPermissions(copy_->folder(), QFile::Permissions(0x7777)));
    }

    void cleanup()
    {
        watcher_.terminate();
        if (!watcher_.waitForFinished(5000))
            watcher_.kill();
        shell_.reset();
    }

    void theClocksComeWhenTheUserIsIdleUntilTheDesktopGoes()
    {
        shell_->start(watcher_, copy_->programPath(), {"--watch", "3s"});
        const auto key = [&] {
            return CoversTheScreen([&] { return shell_->screenshot(); }) && shell_->key(QStringLiteral("x"));
        };
        QVERIFY(ClocksComeAndGo(*copy_, key, [&] { return shell_->key(QStringLiteral("Escape")); }));
        QVERIFY(TakesTheLock(copy_->lockPath(), 30000));
        shell_->stop();
        QVERIFY(EndsCleanly(watcher_, copy_->lockPath()));
    }

    void notWhileIdleIsHeldBack()
    {
        IdleInhibitingSessionManager manager;
        QVERIFY(shell_->bus().registerObject(QStringLiteral("/org/gnome/SessionManager"), &manager,
                                             QDBusConnection::ExportAllProperties));
        QVERIFY(shell_->bus().registerService(QStringLiteral("org.gnome.SessionManager")));
        shell_->start(watcher_, copy_->programPath(), {"--watch", "3s"});
        QTest::qWait(8000);
        QVERIFY(!QFile::exists(copy_->lockPath()) && watcher_.state() == QProcess::Running);
        QVERIFY(manager.release(shell_->bus()));
        QVERIFY(TakesTheLock(copy_->lockPath(), 30000));
    }
};

QTEST_GUILESS_MAIN(TestGnomeShell)
#include "test_gnome_shell.moc"
