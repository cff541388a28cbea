#include "settings/base_path.h"
#include "app/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstArgumentPicksTheMode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        const auto with = [](const QStringList &rest) { return QStringList{QStringLiteral("/x/clocksaver.scr")} + rest; };
        QTest::newRow("/C") << with({"/C"}) << int(RunMode::Configure);
        QTest::newRow("/c") << with({"/c"}) << int(RunMode::Configure);
        QTest::newRow("/c:5120") << with({"/c:5120"}) << int(RunMode::Configure);
        QTest::newRow("/Cxyz") << with({"/Cxyz"}) << int(RunMode::Configure);
        QTest::newRow("/S") << with({"/S"}) << int(RunMode::Show);
        QTest::newRow("/s") << with({"/s"}) << int(RunMode::Show);
        QTest::newRow("/s later ignored") << with({"/s", "/c"}) << int(RunMode::Show);
        QTest::newRow("-root") << with({"-root"}) << int(RunMode::Show);
        QTest::newRow("--root") << with({"--root"}) << int(RunMode::Show);
        QTest::newRow("-ROOT") << with({"-ROOT"}) << int(RunMode::None);
        QTest::newRow("-root:1") << with({"-root:1"}) << int(RunMode::None);
        QTest::newRow("/s:5120") << with({"/s:5120"}) << int(RunMode::None);
        QTest::newRow("/p") << with({"/p", "1234"}) << int(RunMode::None);
        QTest::newRow("/") << with({"/"}) << int(RunMode::None);
        QTest::newRow("empty") << with({""}) << int(RunMode::None);
        QTest::newRow("none") << with({}) << int(RunMode::None);
        QTest::newRow("C without slash") << with({"C"}) << int(RunMode::None);
        QTest::newRow("long s") << with({QStringLiteral("/\u017F")}) << int(RunMode::None);
        QTest::newRow("dotless i") << with({QStringLiteral("/c\u0131")}) << int(RunMode::Configure);
    }

    void firstArgumentPicksTheMode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QCOMPARE(int(ModeFromArguments(arguments)), mode);
    }

    void basePathIsCutAtTheLastDot_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("basePath");
        QTest::newRow("usual") << "/opt/saver/clocksaver.scr"
                               << "/opt/saver/clocksaver.in1";
        QTest::newRow("two dots") << "/opt/clock.saver.scr"
                                  << "/opt/clock.saver.in1";
        QTest::newRow("no dot") << "/opt/saver/clocksaver"
                                << "in1";
        QTest::newRow("dot only in a folder") << "/home/a.b/saver/clocksaver"
                                              << "/home/a.in1";
        QTest::newRow("ends with a dot") << "/opt/clocksaver."
                                         << "/opt/clocksaver.in1";
        QTest::newRow("empty") << ""
                               << "in1";
    }

    void basePathIsCutAtTheLastDot()
    {
        QFETCH(QString, program);
        QFETCH(QString, basePath);
        QCOMPARE(BasePathFor(program), basePath);
    }

    void aProgramFolderThatTakesTheLockKeepsIt()
    {
        QStringList tried;
        const QString chosen = ChooseBasePath("/srv/saver/clocksaver.scr", [&](const QString &path) {
            tried << path;
            return true;
        });
        QCOMPARE(chosen, QStringLiteral("/srv/saver/clocksaver.in1"));
        QCOMPARE(tried, QStringList{chosen});
    }

    void otherwiseTheUsersConfigFolderIsMadeForIt_data()
    {
        QTest::addColumn<QByteArray>("xdgConfigHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("XDG_CONFIG_HOME") << QByteArray("/xdg") << "/xdg/clocksaver";
        QTest::newRow("unset") << QByteArray() << "/home/.config/clocksaver";
        QTest::newRow("relative") << QByteArray("xdg") << "/home/.config/clocksaver";
    }

    void otherwiseTheUsersConfigFolderIsMadeForIt()
    {
        QFETCH(QByteArray, xdgConfigHome);
        QFETCH(QString, folder);
        QTemporaryDir root;
        qputenv("HOME", QFile::encodeName(root.path() + "/home"));
        if (xdgConfigHome.startsWith('/'))
            xdgConfigHome.prepend(QFile::encodeName(root.path()));
        if (xdgConfigHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", xdgConfigHome);

        QStringList tried;
        const QString chosen = ChooseBasePath("/srv/saver/clocksaver.scr", [&](const QString &path) {
            tried << path;
            return QFileInfo(path).absoluteDir().exists();
        });
        const QString expected = root.path() + folder + "/clocksaver.in1";
        QCOMPARE(chosen, expected);
        QCOMPARE(tried, (QStringList{"/srv/saver/clocksaver.in1", expected}));
        // For its owner only: rwx------.
        QCOMPARE(QFileInfo(root.path() + folder).permissions(), QFile::Permissions(0x7700));
    }

    void theFolderInUseIsFoundByWritingThere()
    {
        QTemporaryDir root;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.path()));
        const QString program = root.filePath("clocksaver.scr");
        QCOMPARE(BasePathInUse(program), root.filePath("clocksaver.in1"));
        QVERIFY(QDir(root.path()).isEmpty());
        QCOMPARE(BasePathInUse("/nonexistent/clocksaver.scr"), root.filePath("clocksaver/clocksaver.in1"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
