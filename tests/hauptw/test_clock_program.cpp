// The real program in show mode on an X server, with the computer's clock fixed by libfaketime:
// the screen shows the hands where that time says on both dials and the text at the top; early
// mouse movement is ignored, later movement and any key end the saver cleanly; between ticks
// the program sleeps.

#include "hand_colours.h"
#include "hauptw/built_in_pictures.h"
#include "hauptw/clock_hands.h"
#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QFile>
#include <QImage>
#include <QTest>

namespace {

const QString FakeTimeLibrary = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");

// Computer clock 10:08:30, local time two hours ahead (12:08), UTC one hour behind (09:08).
const QByteArray Settings = "QX0VRT\n2\n-1\n";
const QPoint LocalCentre(626, 623);
const QPoint UtcCentre(882, 623);

// CPU time the process has used so far, in clock ticks.
long cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command name, which is in parentheses: utime and stime are 12th and 13th.
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    return fields.value(11).toLong() + fields.value(12).toLong();
}

int brightPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 230;
        }
    return count;
}

} // namespace

class TestClockProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void handsShowTheTimeOnBothDialsAndTextAtTheTop();
    void programSleepsBetweenTicks();
    void earlyMouseMovementIsIgnoredAndLaterMovementEnds();
    void keyEndsTheSaver();

private:
    bool xdotool(const QStringList &arguments) const;
    QImage screenshot() const;
    void expectCleanEnd();

    std::unique_ptr<ProgramCopy> copy_;
    std::unique_ptr<XvfbServer> xvfb_;
    std::unique_ptr<QProcess> process_;
};

void TestClockProgram::initTestCase()
{
    if (!QFile::exists(FakeTimeLibrary))
        QSKIP("libfaketime is not installed");
}

void TestClockProgram::init()
{
    copy_ = std::make_unique<ProgramCopy>();
    xvfb_ = std::make_unique<XvfbServer>(1024, 768);
    QVERIFY(copy_->isValid());
    QVERIFY(xvfb_->isRunning());
    copy_->writeSettings(Settings);
    QProcessEnvironment environment = xvfb_->environment();
    environment.insert(QStringLiteral("LD_PRELOAD"), FakeTimeLibrary);
    environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("@2024-01-01 10:08:30"));
    // A sanitized build would refuse to start with a library preloaded before its runtime.
    const QString sanitizerOptions = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), sanitizerOptions + QStringLiteral(":verify_asan_link_order=0"));
    process_ = copy_->start({QStringLiteral("/S")}, environment);
    QVERIFY(xdotool({"search", "--sync", "--onlyvisible", "--name", "Hauptwin"}));
    // The first drawing comes with the first show.
    QTest::qWait(200);
}

void TestClockProgram::cleanup()
{
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
    process_.reset();
    xvfb_.reset();
    copy_.reset();
}

bool TestClockProgram::xdotool(const QStringList &arguments) const
{
    int exitCode = -1;
    xvfb_->run(QStringLiteral("xdotool"), arguments, &exitCode);
    return exitCode == 0;
}

QImage TestClockProgram::screenshot() const
{
    return QImage::fromData(xvfb_->run(QStringLiteral("import"), {"-window", "root", "png:-"}), "PNG");
}

void TestClockProgram::expectCleanEnd()
{
    QVERIFY(process_->waitForFinished(5000));
    QCOMPARE(process_->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process_->exitCode(), 0);
    QVERIFY(!QFile::exists(copy_->lockPath()));
}

void TestClockProgram::handsShowTheTimeOnBothDialsAndTextAtTheTop()
{
    const QImage screen = screenshot();
    QCOMPARE(screen.size(), QSize(1024, 768));
    for (const QPoint hub : {LocalCentre, UtcCentre}) {
        const QRgb pixel = screen.pixel(hub);
        QVERIFY(std::abs(qRed(pixel) - 128) < 8 && std::abs(qGreen(pixel) - 128) < 8);
    }
    // The seconds run on; hour and minute stay for half a minute.
    const HandEnds local = HandEndOffsets(95, 12, 8, 0);
    const HandEnds utc = HandEndOffsets(95, 9, 8, 0);
    for (const QPoint end : {LocalCentre + local.minute, LocalCentre + local.hour, UtcCentre + utc.minute,
                             UtcCentre + utc.hour, LocalCentre + local.hour / 2, UtcCentre + utc.hour / 2})
        QVERIFY2(isYellow(screen.pixel(end)), qPrintable(QStringLiteral("hand at %1,%2").arg(end.x()).arg(end.y())));
    // The hour hands differ: 12 on the left dial, 9 on the right one.
    QVERIFY(!isYellow(screen.pixel(LocalCentre + utc.hour)));
    QVERIFY(!isYellow(screen.pixel(UtcCentre + local.hour)));

    const QRect textLine(256, 10, 512, 64);
    const int added = brightPixels(screen, textLine) - brightPixels(BackgroundPicture(), textLine);
    qInfo() << added << "more white pixels in the text line than in the picture";
    QVERIFY(added > 300);
}

void TestClockProgram::programSleepsBetweenTicks()
{
    const long before = cpuTicks(process_->processId());
    QTest::qWait(3000);
    const long used = cpuTicks(process_->processId()) - before;
    QVERIFY(before >= 0);
    // A repaint that led to another would keep the processor busy the whole time (300 ticks).
    qInfo() << used << "clock ticks of processor time in 3 s";
    QVERIFY(used < 30);
}

void TestClockProgram::earlyMouseMovementIsIgnoredAndLaterMovementEnds()
{
    QVERIFY(xdotool({"mousemove", "500", "300"}));
    QVERIFY(xdotool({"mousemove", "510", "310"}));
    QTest::qWait(200);
    QCOMPARE(process_->state(), QProcess::Running);
    QTest::qWait(2000);
    QCOMPARE(process_->state(), QProcess::Running);
    QVERIFY(xdotool({"mousemove", "520", "320"}));
    QVERIFY(xdotool({"mousemove", "530", "330"}));
    expectCleanEnd();
}

void TestClockProgram::keyEndsTheSaver()
{
    QVERIFY(xdotool({"key", "x"}));
    expectCleanEnd();
}

QTEST_GUILESS_MAIN(TestClockProgram)
#include "test_clock_program.moc"
