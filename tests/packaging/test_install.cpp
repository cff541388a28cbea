// The install tree: what goes where, and where the installed program keeps its lock and
// settings: beside itself in a folder the user may write, in the user's own configuration
// folder when installed for everyone.
#include "support/debian_package.h"
#include "support/fixed_clock.h"
#include "support/install_tree.h"
#include "support/program_copy.h"
#include "support/unprivileged_user.h"
#include "support/xvfb_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace {

bool install(const QString &prefix)
{
    QProcess install;
    install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    install.start(QStringLiteral("cmake"), {"--install", QStringLiteral(CLOCKSAVER_BUILD_DIR), "--prefix", prefix});
    return install.waitForFinished(60000) && install.exitCode() == 0;
}

constexpr QFile::Permissions ReadableByAll = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                             | QFile::ReadOther | QFile::ExeOther;

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    XvfbServer xvfb_;
    QTemporaryDir userPrefix_;
    // Read-only to the user who runs the program: owned by root with that user being nobody,
    // or with the program's folder made read-only otherwise.
    QTemporaryDir systemPrefix_;
    QTemporaryDir home_;

    QString systemFolder() const { return systemPrefix_.filePath(QStringLiteral("lib/clocksaver")); }
    QString userConfig() const { return home_.filePath(QStringLiteral(".config/clocksaver")); }

    // Enter presses OK: the settings in effect are saved.
    bool confirmTheSettings() const
    {
        return !xvfb_.focusWindow(QStringLiteral("Bildschirmschoner-Einstellungen")).isEmpty()
               && xvfb_.xdotool({"key", "Return"});
    }

    void startSystemWide(QProcess &process, const QString &argument, QProcessEnvironment environment) const
    {
        environment.insert(QStringLiteral("HOME"), home_.path());
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startUnprivileged(process, systemFolder() + QStringLiteral("/clocksaver.scr"), {argument});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(xvfb_.isRunning());
        QVERIFY(install(userPrefix_.path()) && install(systemPrefix_.path()));
        QVERIFY(QFile::setPermissions(systemPrefix_.path(), ReadableByAll | QFile::WriteOwner));
        if (RunningAsRoot())
            QCOMPARE(::chown(QFile::encodeName(home_.path()).constData(), NobodyId, NobodyId), 0);
        else
            QVERIFY(QFile::setPermissions(systemFolder(), ReadableByAll));
    }

    void theTreeHoldsEverything()
    {
        const QStringList faults = installTreeFaults(userPrefix_.path(), userPrefix_.path());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void aWritableProgramFolderKeepsLockAndSettingsBesideTheProgram()
    {
        const QString folder = userPrefix_.filePath(QStringLiteral("lib/clocksaver"));
        QTemporaryDir elsewhere;
        QProcess settings;
        settings.setProcessEnvironment(xvfb_.environment());
        settings.setWorkingDirectory(elsewhere.path());
        settings.start(folder + QStringLiteral("/clocksaver.scr"), {"/C"});
        QVERIFY(TakesTheLock(folder + "/clocksaver.in1"));
        QVERIFY(confirmTheSettings());
        QVERIFY(EndsCleanly(settings, folder + "/clocksaver.in1"));
        QCOMPARE(FileContents(folder + "/clocksaver.in1.ini"), QByteArray("QX0VRT\n0\n\n"));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void aSystemWideInstallKeepsThemInTheUsersConfigFolder()
    {
        QProcess settings;
        startSystemWide(settings, QStringLiteral("/C"), xvfb_.environment());
        QVERIFY(TakesTheLock(userConfig() + "/clocksaver.in1"));
        QVERIFY(confirmTheSettings());
        QVERIFY(EndsCleanly(settings, userConfig() + "/clocksaver.in1"));
        QFile saved(userConfig() + "/clocksaver.in1.ini");
        QVERIFY(saved.open(QIODevice::ReadWrite));
        QCOMPARE(saved.readAll(), QByteArray("QX0VRT\n0\n\n"));
        QCOMPARE(QFileInfo(userConfig()).permissions(), QFile::Permissions(0x7700)); // rwx------
        QCOMPARE(saved.permissions(), QFile::Permissions(0x6600));                   // rw-------

        // The clocks read their settings from there too.
        QVERIFY(saved.resize(0) && saved.write(FixedClockSettings) == FixedClockSettings.size());
        saved.close();
        QProcess clocks;
        startSystemWide(clocks, QStringLiteral("/S"), withFixedClock(xvfb_.environment()));
        QVERIFY(TakesTheLock(userConfig() + "/clocksaver.in1"));
        QStringList faults;
        const bool drawn = QTest::qWaitFor(
            [&] { return (faults = clockFaults(xvfb_.screenshot(), QRect(0, 0, 1024, 768))).isEmpty(); }, 30000);
        QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));
        QVERIFY(xvfb_.xdotool({"key", "x"}));
        QVERIFY(EndsCleanly(clocks, userConfig() + "/clocksaver.in1"));
        QCOMPARE(QDir(systemFolder()).entryList(QDir::Files), QStringList({"clocksaver-watch", "clocksaver.scr"}));
    }

    // Under /opt (or /usr) the program writes nothing beside itself, not even for root, who could.
    void rootsSettingsUnderOptGoToRootsConfigFolder()
    {
        if (!RunningAsRoot())
            QSKIP("Only root may install under /opt.");
        QTemporaryDir opt(QStringLiteral("/opt/clocksaver-test-XXXXXX"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(opt.filePath("config")));
        int exitCode = 0;
        QVERIFY(install(opt.path()));
        QVERIFY(RunTool(opt.filePath(QStringLiteral("bin/clocksaver")), {"--help"}, &exitCode)
                    .contains("Settings file: " + QFile::encodeName(opt.filePath("config/clocksaver/"))));
    }

    void cleanupTestCase()
    {
        // Lets the temporary folder go.
        QFile::setPermissions(systemFolder(), ReadableByAll | QFile::WriteOwner);
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
