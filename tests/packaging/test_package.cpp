// The Debian package made from this build: what it holds, what it depends on, what lintian
// says of it, and that the program taken out of it runs.
#include "support/debian_package.h"
#include "support/install_tree.h"
#include "support/program_copy.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>

class TestPackage : public QObject
{
    Q_OBJECT

    QTemporaryDir work_;
    QString package_;

    QString tree() const { return work_.filePath(QStringLiteral("tree")); }

private slots:
    void initTestCase()
    {
        package_ = MakeDebianPackage(QStringLiteral(CLOCKSAVER_BUILD_DIR), work_.path());
        QVERIFY(package_.contains("/clocksaver_" CLOCKSAVER_VERSION "_"));
    }

    void itHoldsTheWholeTreeForUsr()
    {
        const QStringList faults = installTreeFaults(tree() + QStringLiteral("/usr"), QStringLiteral("/usr"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void itDependsOnTheQtRuntime()
    {
        int exitCode = 0;
        const QByteArray depends = RunTool(QStringLiteral("dpkg-deb"), {"--field", package_, "Depends"}, &exitCode);
        QCOMPARE(exitCode, 0);
        // The libraries as dpkg-shlibdeps finds them, and the platform plugins it cannot find.
        for (const char *package : {"libqt6core6 ", "libqt6gui6 ", "libqt6widgets6 ", "qt6-qpa-plugins"})
            QVERIFY2(depends.contains(package), depends.constData());
        // Wayland's platform plugin too, unless the installer leaves out what is only recommended.
        QCOMPARE(RunTool(QStringLiteral("dpkg-deb"), {"--field", package_, "Recommends"}, &exitCode),
                 QByteArray("qt6-wayland\n"));
    }

    // Lintian's warnings show in its output; man renders the manual page without complaint; the
    // changelog's newest entry is this version.
    void debianFindsNoErrorInIt()
    {
        int exitCode = 0;
        const QByteArray tags = RunTool(QStringLiteral("lintian"), {"--fail-on", "error,warning", package_}, &exitCode);
        QVERIFY2(exitCode == 0, tags.constData());
        const QString page = tree() + QStringLiteral("/usr/share/man/man1/clocksaver.1.gz");
        const QByteArray text = RunTool(QStringLiteral("sh"), {"-c", "man --warnings -l \"$0\" 2>&1", page}, &exitCode);
        QVERIFY2(exitCode == 0 && !text.contains("warning") && text.contains("EXIT STATUS"), text.constData());
        const QString changelog = tree() + QStringLiteral("/usr/share/doc/clocksaver/changelog.gz");
        QVERIFY(RunTool(QStringLiteral("gzip"), {"-dc", changelog}, &exitCode)
                    .startsWith("clocksaver (" CLOCKSAVER_VERSION ") "));
    }

    void theProgramFromItRuns()
    {
        const QString folder = tree() + QStringLiteral("/usr/lib/clocksaver");
        QProcess clocks;
        clocks.setProcessEnvironment(ProgramCopy::offscreenEnvironment());
        clocks.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        clocks.start(folder + QStringLiteral("/clocksaver.scr"), {"/S"});
        QVERIFY(TakesTheLock(folder + "/clocksaver.in1"));
        clocks.terminate();
        QVERIFY(EndsBySignal(clocks, SIGTERM, folder + "/clocksaver.in1"));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
