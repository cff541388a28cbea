// The real XScreenSaver on a private X server with two monitors, set up in a home of its own to
// run only these clocks: activating it shows them inside its window on each monitor, starting
// them anew ends the old copies in a way it logs as normal, and deactivating it ends them and
// frees the lock. XScreenSaver launches no display programs as root, so as root it runs as nobody.

#include "support/fixed_clock.h"
#include "support/program_copy.h"
#include "support/unprivileged_user.h"
#include "support/xvfb_server.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr QFile::Permissions Everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                        | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                                        | QFile::ExeOther;

} // namespace

class TestXScreenSaver : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void activatingShowsTheClocksAndDeactivatingEndsThem();
    void cleanupTestCase();

private:
    void writeConfiguration() const;
    void startAsSaverUser(QProcess &process, const QString &program, const QStringList &arguments) const;
    bool command(const QStringList &arguments) const;
    bool clocksRunning() const;
    void expectClocksOnBothMonitors() const;

    std::unique_ptr<XvfbServer> xvfb_ = XvfbServer::withTwoMonitors();
    // What XScreenSaver logged, with -verbose.
    QByteArray log_;
    ProgramCopy copy_;
    QTemporaryDir home_;
    QProcess saver_;
};

void TestXScreenSaver::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xscreensaver")).isEmpty(), "xscreensaver is not installed");
    QVERIFY2(!FakeTimeLibrary.isEmpty(), "libfaketime is not installed (Debian package faketime)");
    QVERIFY(xvfb_->isRunning() && copy_.isValid() && home_.isValid());
    // The saver's user writes the lock beside the program and may write its own home.
    QVERIFY(QFile::setPermissions(copy_.folder(), Everyone) && QFile::setPermissions(home_.path(), Everyone));
    QVERIFY(copy_.writeSettings(FixedClockSettings));
    writeConfiguration();
    // On a busy machine XScreenSaver now and then ends at once, with exit code 1 and no message;
    // started again, it comes up.
    bool answers = false;
    for (int attempt = 0; attempt < 3 && !answers; ++attempt) {
        startAsSaverUser(saver_, QStringLiteral("xscreensaver"), {"-no-splash", "-verbose"});
        // Generous waits: XScreenSaver starts several helper programs of its own.
        answers = QTest::qWaitFor([this] { return saver_.state() == QProcess::NotRunning || command({"-version"}); }, 30000)
                  && saver_.state() != QProcess::NotRunning;
    }
    QVERIFY2(answers, qPrintable(QStringLiteral("xscreensaver: exit code %1").arg(saver_.exitCode())));
}

void TestXScreenSaver::writeConfiguration() const
{
    QFile file(QDir(home_.path()).filePath(QStringLiteral(".xscreensaver")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Only the clocks get the fixed time; XScreenSaver itself keeps the real one.
    file.write("mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
               "programs: \"Clock\" env LD_PRELOAD="
               + QFile::encodeName(FakeTimeLibrary) + ' ' + QFile::encodeName(copy_.programPath()) + " -root \\n\n");
    file.setPermissions(Everyone);
}

void TestXScreenSaver::startAsSaverUser(QProcess &process, const QString &program, const QStringList &arguments) const
{
    QProcessEnvironment environment = withFixedClock(xvfb_->environment());
    environment.remove(QStringLiteral("LD_PRELOAD"));
    environment.insert(QStringLiteral("HOME"), home_.path());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    startUnprivileged(process, program, arguments);
}

bool TestXScreenSaver::command(const QStringList &arguments) const
{
    QProcess command;
    startAsSaverUser(command, QStringLiteral("xscreensaver-command"), arguments);
    return command.waitForFinished(10000) && command.exitStatus() == QProcess::NormalExit && command.exitCode() == 0;
}

bool TestXScreenSaver::clocksRunning() const
{
    QProcess search;
    search.start(QStringLiteral("pgrep"), {"-f", copy_.programPath()});
    search.waitForFinished(5000);
    return search.exitCode() == 0;
}

void TestXScreenSaver::expectClocksOnBothMonitors() const
{
    QStringList faults;
    const bool drawn = QTest::qWaitFor(
        [&] {
            const QImage screen = xvfb_->screenshot();
            faults = clockFaults(screen, QRect(0, 0, 1920, 1080)) + clockFaults(screen, QRect(1920, 0, 1280, 1024));
            return faults.isEmpty();
        },
        30000);
    QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));
    // Inside XScreenSaver's windows, not windows of their own over the screen.
    const QList<QByteArray> windows = xvfb_->run("xdotool", {"search", "--name", "Hauptwin"}).trimmed().split('\n');
    QCOMPARE(windows.size(), 2);
    for (const QByteArray &window : windows) {
        const QByteArray tree = xvfb_->run("xwininfo", {"-id", QString::fromLatin1(window), "-children"});
        const qsizetype parent = tree.indexOf("Parent window id:");
        QVERIFY2(parent >= 0 && !tree.mid(parent).split('\n').first().contains("(the root window)"), tree.constData());
    }
}

void TestXScreenSaver::activatingShowsTheClocksAndDeactivatingEndsThem()
{
    QVERIFY(command({"-activate"}));
    QVERIFY(TakesTheLock(copy_.lockPath(), 30000));
    expectClocksOnBothMonitors();
    if (QTest::currentTestFailed())
        return;

    // Selecting the clocks again makes XScreenSaver end the running copies and log how they ended.
    QVERIFY(command({"-select", "1"}));
    QVERIFY(
        QTest::qWaitFor([this] { return (log_ += saver_.readAll()).count("exited normally with SIGTERM") == 2; }, 30000));
    expectClocksOnBothMonitors();
    if (QTest::currentTestFailed())
        return;

    QVERIFY(command({"-deactivate"}));
    QVERIFY(QTest::qWaitFor([this] { return !QFile::exists(copy_.lockPath()) && !clocksRunning(); }, 30000));
    log_ += saver_.readAll();
    for (const QByteArray &line : log_.split('\n'))
        QVERIFY2(!line.contains("crash") && !line.contains("abnormal"), line.constData());
}

void TestXScreenSaver::cleanupTestCase()
{
    if (saver_.state() == QProcess::NotRunning)
        return;
    command({"-exit"});
    if (!saver_.waitForFinished(5000))
        saver_.kill();
    saver_.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestXScreenSaver)
#include "test_xscreensaver.moc"
