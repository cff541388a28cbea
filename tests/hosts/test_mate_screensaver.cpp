// The package in MATE's screen saver: activating it shows the clocks in MATE's window, the lock
// held; deactivating ends them (by SIGTERM) with the lock gone; and nothing of the program's
// reaches MATE's log. MATE runs only programs at fixed paths under /usr, so the package's files
// must be there: rather than installing the package on the machine (and removing it after), the
// test lays it over /usr in a private mount namespace, which a failed run cannot leave behind,
// which leaves an installed copy alone, and which other tests running at the time never see.

#include "support/debian_package.h"
#include "support/fixed_clock.h"
#include "support/mate_screen_saver.h"
#include "support/unprivileged_user.h"

#include <QDir>
#include <QTest>

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

class TestMateScreenSaver : public QObject
{
    Q_OBJECT

    QTemporaryDir work_;

    QString home() const { return work_.filePath(QStringLiteral("home")); }
    QString lockPath() const { return home() + QStringLiteral("/.config/clocksaver/clocksaver.in1"); }

    // The saver user's home with the tests' settings, in a folder as the program makes it.
    bool writeSettings() const
    {
        int exitCode = -1;
        QFile settings(lockPath() + QStringLiteral(".ini"));
        if (QDir().mkpath(QFileInfo(lockPath()).path()) && settings.open(QIODevice::WriteOnly))
            settings.write(FixedClockSettings);
        settings.close();
        RunTool(QStringLiteral("chown"), {"-R", QStringLiteral("%1:%1").arg(NobodyId), home()}, &exitCode);
        return exitCode == 0 && settings.size() > 0 && QFile::setPermissions(QFileInfo(lockPath()).path(), OwnerOnly)
               && QFile::setPermissions(work_.path(), OwnerOnly | QFile::ExeOther);
    }

private slots:
    void activatingShowsTheClocksAndDeactivatingEndsThem()
    {
        if (!RunningAsRoot())
            QSKIP("laying the package over /usr takes root");
        QVERIFY(!MakeDebianPackage(QStringLiteral(CLOCKSAVER_BUILD_DIR), work_.path()).isEmpty());
        QVERIFY(writeSettings());
        XvfbServer xvfb;
        MateScreenSaver mate(xvfb, work_.filePath(QStringLiteral("tree")), home(),
                             QStringLiteral("screensavers-clocksaver"));
        QVERIFY2(xvfb.isRunning() && mate.isRunning(), mate.log().constData());
        QVERIFY2(QTest::qWaitFor([&] { return mate.command(QStringLiteral("--query")); }, 30000), mate.log().constData());

        const QString clocks = QStringLiteral("/usr/libexec/xscreensaver/clocksaver -root");
        QVERIFY(mate.command(QStringLiteral("--activate")));
        QVERIFY2(QTest::qWaitFor([&] { return mate.runs(clocks) && QFile::exists(lockPath()); }, 30000),
                 mate.log().constData());
        // The computer's clock runs on here: a minute may turn between reading it and the shot.
        // MATE passes no TZ on, so the clocks show the system's zone.
        qunsetenv("TZ");
        QStringList faults;
        const bool drawn = QTest::qWaitFor(
            [&] {
                const QTime now = QTime::currentTime();
                return (faults = clockFaults(xvfb.screenshot(), QRect(0, 0, 1024, 768), now)).isEmpty();
            },
            70000);
        QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));

        QVERIFY(mate.command(QStringLiteral("--deactivate")));
        QVERIFY(QTest::qWaitFor([&] { return !mate.runs(clocks) && !QFile::exists(lockPath()); }, 10000));
        const QByteArray log = mate.log();
        QVERIFY2(log.contains("Job died") && !log.contains("command output"), log.constData());
    }
};

QTEST_GUILESS_MAIN(TestMateScreenSaver)
#include "test_mate_screensaver.moc"
