// Show mode with XSCREENSAVER_WINDOW naming a plain X window that the test made (xlogo): the
// clocks fill that window at its size and place, take no input, and end cleanly when the host
// sends SIGTERM or its window goes. Copies in several such windows run side by side, as a host
// starts one per monitor. A name that is no window is refused with a message.

#include "support/fixed_clock.h"
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QFile>
#include <QTest>

#include <csignal>

namespace {

// Shows an xlogo window with this title over this area; returns its X window id, 0 if it did
// not show.
quint32 showHost(QProcess &host, const XvfbServer &xvfb, const QRect &area, const QString &title = "host")
{
    host.setProcessEnvironment(xvfb.environment());
    // Without a border the window's inside is exactly the area.
    host.start(QStringLiteral("xlogo"),
               {"-bw", "0", "-title", title, "-geometry",
                QStringLiteral("%1x%2+%3+%4").arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y())});
    return xvfb.run("xdotool", {"search", "--sync", "--onlyvisible", "--name", '^' + title + '$'}).trimmed().toUInt();
}

QProcessEnvironment inHostWindow(QProcessEnvironment environment, quint32 id)
{
    environment.insert("XSCREENSAVER_WINDOW", QString::number(id));
    return environment;
}

QString hexadecimal(quint32 id)
{
    return QStringLiteral("0x%1").arg(id, 0, 16);
}

} // namespace

class TestHostWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void clocksFillTheHostWindow_data();
    void clocksFillTheHostWindow();
    void copiesInTwoHostWindowsRunSideBySide();
    void unusableNamesAreRefused_data();
    void unusableNamesAreRefused();
    void hugeWindowCostsNoMoreThanAn8KScreen();

private:
    void expectCleanEnd(const ProgramCopy &copy, QProcess &clocks, const QByteArray &message);
};

void TestHostWindow::initTestCase()
{
    QVERIFY2(!FakeTimeLibrary.isEmpty(), "libfaketime is not installed (Debian package faketime)");
}

void TestHostWindow::expectCleanEnd(const ProgramCopy &copy, QProcess &clocks, const QByteArray &message)
{
    QVERIFY(EndsCleanly(clocks, copy.lockPath(), 5000));
    const QByteArray errors = clocks.readAllStandardError();
    QVERIFY2(errors.contains(message), errors.constData());
}

void TestHostWindow::clocksFillTheHostWindow_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<bool>("hexadecimalId");
    QTest::addColumn<bool>("hostWindowGoes");
    QTest::newRow("800x600 window, hex id, SIGTERM") << QSize(1024, 768) << QRect(100, 50, 800, 600) << true << false;
    QTest::newRow("1920x1080 window, decimal id, window goes")
        << QSize(1920, 1080) << QRect(0, 0, 1920, 1080) << false << true;
}

void TestHostWindow::clocksFillTheHostWindow()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, window);
    QFETCH(bool, hexadecimalId);
    QFETCH(bool, hostWindowGoes);
    XvfbServer xvfb(screen.width(), screen.height());
    ProgramCopy copy;
    QVERIFY(xvfb.isRunning() && copy.isValid());
    QProcess host;
    const quint32 id = showHost(host, xvfb, window);
    QVERIFY(id != 0);
    QVERIFY(copy.writeSettings(FixedClockSettings));
    QProcessEnvironment environment = withFixedClock(xvfb.environment());
    environment.insert("XSCREENSAVER_WINDOW", hexadecimalId ? hexadecimal(id) : QString::number(id));
    const std::unique_ptr<QProcess> clocks = copy.start({"/S"}, environment, QProcess::SeparateChannels);

    QStringList faults;
    const bool drawn = QTest::qWaitFor([&] { return (faults = clockFaults(xvfb.screenshot(), window)).isEmpty(); }, 10000);
    QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));

    // Past the grace period, a key or mouse movement would end a full-screen saver; here they
    // go to the host window.
    QTest::qWait(1800);
    const QPoint middle = window.center();
    xvfb.run("xdotool", {"mousemove", QString::number(middle.x()), QString::number(middle.y())});
    xvfb.run("xdotool", {"mousemove", QString::number(middle.x() + 20), QString::number(middle.y())});
    xvfb.run("xdotool", {"key", "x"});
    QTest::qWait(300);
    QCOMPARE(clocks->state(), QProcess::Running);

    if (hostWindowGoes) {
        host.kill();
        expectCleanEnd(copy, *clocks, "the host window is gone");
    } else {
        clocks->terminate();
        QVERIFY(EndsBySignal(*clocks, SIGTERM, copy.lockPath(), 5000));
    }
    host.kill();
    host.waitForFinished(5000);
}

void TestHostWindow::copiesInTwoHostWindowsRunSideBySide()
{
    XvfbServer xvfb(1600, 600);
    ProgramCopy copy;
    QVERIFY(xvfb.isRunning() && copy.isValid());
    QVERIFY(copy.writeSettings(FixedClockSettings));
    const QList<QRect> windows{QRect(0, 0, 780, 585), QRect(800, 0, 780, 585)};
    QProcess hosts[2];
    std::unique_ptr<QProcess> clocks[2];
    for (int i = 0; i < 2; ++i) {
        const quint32 id = showHost(hosts[i], xvfb, windows[i], QStringLiteral("host %1").arg(i));
        QVERIFY(id != 0);
        clocks[i] = copy.start({"/S"}, inHostWindow(withFixedClock(xvfb.environment()), id));
    }
    QStringList faults;
    const bool drawn = QTest::qWaitFor(
        [&] {
            const QImage screen = xvfb.screenshot();
            return (faults = clockFaults(screen, windows[0]) + clockFaults(screen, windows[1])).isEmpty();
        },
        10000);
    QVERIFY2(drawn, qPrintable(faults.join(QStringLiteral("; "))));

    const std::unique_ptr<QProcess> fullScreen = copy.start({"/S"}, xvfb.environment());
    QVERIFY2(EndsCleanly(*fullScreen, {}, 5000), "a full-screen start is turned away");
    clocks[0]->terminate();
    QVERIFY(EndsBySignal(*clocks[0], SIGTERM, {}, 5000));
    QVERIFY2(QFile::exists(copy.lockPath()), "the other copy still runs");
    QCOMPARE(clocks[1]->state(), QProcess::Running);
    clocks[1]->terminate();
    QVERIFY(EndsBySignal(*clocks[1], SIGTERM, copy.lockPath(), 5000));
    for (QProcess &host : hosts) {
        host.kill();
        host.waitForFinished(5000);
    }
}

void TestHostWindow::unusableNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("no window") << QStringLiteral("0x1");
    QTest::newRow("no number") << QStringLiteral("nonsense");
    QTest::newRow("window gone") << QString();
}

void TestHostWindow::unusableNamesAreRefused()
{
    QFETCH(QString, name);
    XvfbServer xvfb;
    ProgramCopy copy;
    QVERIFY(xvfb.isRunning() && copy.isValid());
    if (name.isEmpty()) {
        QProcess host;
        name = hexadecimal(showHost(host, xvfb, QRect(0, 0, 400, 300)));
        QVERIFY(name != QLatin1String("0x0"));
        host.kill();
        host.waitForFinished(5000);
    }
    QProcessEnvironment environment = xvfb.environment();
    environment.insert("XSCREENSAVER_WINDOW", name);
    const std::unique_ptr<QProcess> clocks = copy.start({"/S"}, environment, QProcess::SeparateChannels);
    expectCleanEnd(copy, *clocks, "XSCREENSAVER_WINDOW=");
}

// The largest window X allows: drawn in at most 8K of it, the clocks stay within what an 8K
// screen costs (some 260 MB); drawn in all of it, the picture alone would take gigabytes.
void TestHostWindow::hugeWindowCostsNoMoreThanAn8KScreen()
{
    XvfbServer xvfb;
    ProgramCopy copy;
    QVERIFY(xvfb.isRunning() && copy.isValid());
    QProcess host;
    const quint32 id = showHost(host, xvfb, QRect(0, 0, 32767, 32767));
    QVERIFY(id != 0);
    QProcessEnvironment environment = xvfb.environment();
    environment.insert("XSCREENSAVER_WINDOW", hexadecimal(id));
    const std::unique_ptr<QProcess> clocks = copy.start({"/S"}, environment, QProcess::SeparateChannels);
    const QString status = QStringLiteral("/proc/%1/status").arg(clocks->processId());
    auto peakKiB = [&status] {
        QFile file(status);
        if (!file.open(QIODevice::ReadOnly))
            return 0L;
        const QByteArray text = file.readAll();
        return text.mid(text.indexOf("VmHWM:") + 6).trimmed().split(' ').value(0).toLong();
    };
    // The whole picture is drawn once the clocks' window is there and the first tick is over.
    QVERIFY(!xvfb.run("xdotool", {"search", "--sync", "--onlyvisible", "--name", "Hauptwin"}).trimmed().isEmpty());
    QTest::qWait(3000);
    QCOMPARE(clocks->state(), QProcess::Running);
    const long peak = peakKiB();
    qInfo() << "peak memory KiB:" << peak;
    QVERIFY2(peak > 0 && peak < 400 * 1024, "below 400 MB");
    clocks->terminate();
    QVERIFY(EndsBySignal(*clocks, SIGTERM, copy.lockPath(), 5000));
    host.kill();
    host.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestHostWindow)
#include "test_host_window.moc"
