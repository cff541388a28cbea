// The install tree: where the files go, the desktop entry, and the installed program keeping
// its lock and settings beside itself.
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir prefix_;

    QString installed(const QString &relative) const { return prefix_.filePath(relative); }
    QString program() const { return installed(QStringLiteral("lib/clocksaver/clocksaver.scr")); }

private slots:
    void initTestCase()
    {
        QProcess install;
        install.setProcessChannelMode(QProcess::ForwardedChannels);
        install.start(QStringLiteral("cmake"), {"--install", QStringLiteral(CLOCKSAVER_BUILD_DIR), "--prefix", prefix_.path()});
        QVERIFY(install.waitForFinished(60000));
        QCOMPARE(install.exitCode(), 0);
    }

    void filesGoWhereTheReadmeSays()
    {
        QVERIFY(QFileInfo(program()).isExecutable());
        QVERIFY(QFileInfo(installed("share/icons/hicolor/32x32/apps/clocksaver.png")).isFile());
        QVERIFY(QFileInfo(installed("share/icons/hicolor/256x256/apps/clocksaver.png")).isFile());
        QCOMPARE(QImage(installed("share/icons/hicolor/32x32/apps/clocksaver.png")).size(), QSize(32, 32));
    }

    void theDesktopEntryOpensTheSettings()
    {
        const QString entry = installed("share/applications/clocksaver.desktop");
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("Exec=\"" + QFile::encodeName(program()) + "\" /C\n"), text.constData());
        QVERIFY(text.contains("Icon=clocksaver\n"));

        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(QStringLiteral("desktop-file-validate"), {entry});
        QVERIFY(validate.waitForFinished(30000));
        QVERIFY2(validate.exitCode() == 0 && validate.readAll().trimmed().isEmpty(), "desktop-file-validate complains");
    }

    void theInstalledProgramKeepsItsFilesBesideItself()
    {
        XvfbServer xvfb;
        QVERIFY(xvfb.isRunning());
        const QString folder = QFileInfo(program()).absolutePath();
        QTemporaryDir elsewhere;

        QProcess settings;
        settings.setProcessEnvironment(xvfb.environment());
        settings.setWorkingDirectory(elsewhere.path());
        settings.start(program(), {"/C"});
        QVERIFY(waitUntil([&] { return QFile::exists(folder + "/clocksaver.in1"); }));
        // Enter presses OK: the settings in effect are saved beside the program.
        QByteArray window;
        QVERIFY(xvfb.xdotool({"search", "--sync", "--name", "Bildschirmschoner-Einstellungen"}, &window));
        window = window.trimmed().split('\n').value(0);
        QVERIFY(xvfb.xdotool({"windowfocus", "--sync", QString::fromLatin1(window)}));
        QVERIFY(xvfb.xdotool({"key", "Return"}));
        QVERIFY(EndsCleanly(settings));

        QFile saved(folder + "/clocksaver.in1.ini");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("QX0VRT\n0\n-1\n"));
        QVERIFY(!QFile::exists(folder + "/clocksaver.in1"));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
