// The Debian package made from this build: what it holds, what it depends on, and that the
// program taken out of it runs.
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

    static QByteArray run(const QString &program, const QStringList &arguments, int *exitCode)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        *exitCode = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode()
                                                                                                    : -1;
        return process.readAllStandardOutput();
    }

private slots:
    void initTestCase()
    {
        const QString out = work_.filePath(QStringLiteral("out"));
        int exitCode = 0;
        run(QStringLiteral("cpack"), {"-G", "DEB", "-B", out, "--config", CLOCKSAVER_BUILD_DIR "/CPackConfig.cmake"},
            &exitCode);
        QCOMPARE(exitCode, 0);
        const QStringList packages = QDir(out).entryList({"clocksaver_" CLOCKSAVER_VERSION "_*.deb"});
        QCOMPARE(packages.size(), 1);
        package_ = QDir(out).filePath(packages.first());
        run(QStringLiteral("dpkg-deb"), {"-x", package_, tree()}, &exitCode);
        QCOMPARE(exitCode, 0);
    }

    void itHoldsTheWholeTreeForUsr()
    {
        const QStringList faults = installTreeFaults(tree() + QStringLiteral("/usr"), QStringLiteral("/usr"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void itDependsOnTheQtRuntime()
    {
        int exitCode = 0;
        const QByteArray depends = run(QStringLiteral("dpkg-deb"), {"--field", package_, "Depends"}, &exitCode);
        QCOMPARE(exitCode, 0);
        // The libraries as dpkg-shlibdeps finds them, and the platform plugins it cannot find.
        for (const char *package : {"libqt6core6 ", "libqt6gui6 ", "libqt6widgets6 ", "qt6-qpa-plugins"})
            QVERIFY2(depends.contains(package), depends.constData());
        // Wayland's platform plugin too, unless the installer leaves out what is only recommended.
        QCOMPARE(run(QStringLiteral("dpkg-deb"), {"--field", package_, "Recommends"}, &exitCode),
                 QByteArray("qt6-wayland\n"));
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
