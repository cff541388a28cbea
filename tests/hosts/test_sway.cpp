// The real program under a real headless sway with two outputs, 1920x1080 and 1600x900, started
// as users start it there: by swayidle, in the bare environment it hands its commands, or by
// hand. It covers every output with the clocks on the first, draws no pointer, and ends on a key
// wherever the keyboard focus is, on motion after the grace period but not on a click, on
// SIGTERM, and with one line when the compositor goes away; outputs may come and go meanwhile.

#include "support/fixed_clock.h"
#include "support/idle_watch.h"
#include "support/picture_difference.h"
#include "support/program_copy.h"
#include "support/headless_compositor.h"
#include "drawing/picture_fit.h"
#include "hauptw/dial_layout.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

namespace {

const QString Primary = QStringLiteral("HEADLESS-1");
const QString Other = QStringLiteral("HEADLESS-2");

// The share of the dials' pixels in which the two screenshots differ by at most two levels.
double dialsAlike(const QImage &a, const QImage &b)
{
    const QRect picture = FitPictureInside(a.size(), DialLayout::PictureSize);
    const double scale = double(picture.width()) / DialLayout::PictureSize.width();
    const int size = int(DialLayout::ClockSize * scale);
    int alike = 0;
    for (const int left : {DialLayout::LocalClockLeft, DialLayout::UtcClockLeft})
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QPoint at = picture.topLeft() + QPoint(int(left * scale) + x, int(DialLayout::ClockTop * scale) + y);
                const QRgb p = a.pixel(at), q = b.pixel(at);
                alike += std::abs(qRed(p) - qRed(q)) <= 2 && std::abs(qGreen(p) - qGreen(q)) <= 2
                         && std::abs(qBlue(p) - qBlue(q)) <= 2;
            }
    return double(alike) / (2 * size * size);
}

} // namespace

class TestSway : public QObject
{
    Q_OBJECT

    std::unique_ptr<HeadlessCompositor> sway_;
    std::unique_ptr<ProgramCopy> copy_;
    std::unique_ptr<VirtualPointer> pointer_;
    QProcess process_;

    // Starts the program by hand; whether it took the lock and its window (or the title's) came.
    bool startByHand(const QString &argument, const QProcessEnvironment &environment,
                     const QString &title = QStringLiteral("Hauptwin"))
    {
        process_.setProcessEnvironment(environment);
        sway_->start(process_, copy_->programPath(), {argument});
        return TakesTheLock(copy_->lockPath()) && sway_->showsWindow(title);
    }

    // The picture on the first output with black bands, the other one all black: no pointer, no
    // grey of the compositor's background anywhere.
    bool showsClocks() const
    {
        QStringList faults;
        const bool shown = QTest::qWaitFor(
            [&] {
                const QImage primary = sway_->screenshot(Primary, true);
                const QImage other = sway_->screenshot(Other, true);
                faults = clockFaults(primary, primary.rect());
                if (other.size() != QSize(1600, 900) || !IsBlack(other, other.rect()))
                    faults << QStringLiteral("%1 is not black").arg(Other);
                return faults.isEmpty();
            },
            15000);
        if (!shown)
            qWarning() << faults;
        return shown;
    }

private slots:
    void initTestCase()
    {
        for (const char *tool : {"sway", "swaymsg", "swayidle", "grim", "wtype"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), tool);
        QVERIFY2(!FakeTimeLibrary.isEmpty(), "libfaketime is not installed (Debian package faketime)");
    }

    void init()
    {
        sway_ = std::make_unique<HeadlessCompositor>();
        QVERIFY(sway_->isRunning());
        QVERIFY(sway_->addOutput(Other, QRect(1920, 0, 1600, 900)));
        copy_ = std::make_unique<ProgramCopy>();
        QVERIFY(copy_->isValid() && copy_->writeSettings(FixedClockSettings));
        // The compositor's user writes the lock beside the program.
        QVERIFY(QFile::setPermissions(copy_->folder(), QFile::Permissions(0x7777)));
        // The pointer rests in the middle of the black output.
        pointer_ = std::make_unique<VirtualPointer>(*sway_);
        QVERIFY(pointer_->move(-9999, -9999) && pointer_->move(2700, 450));
    }

    void cleanup()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
        pointer_.reset();
        sway_.reset();
        copy_.reset();
    }

    void startedByAnIdleDaemonItCoversEveryOutput()
    {
        const QString status = copy_->filePath(QStringLiteral("status"));
        const QString errors = copy_->filePath(QStringLiteral("errors"));
        QProcess idle;
        idle.setProcessEnvironment(withFixedClock(sway_->environment()));
        // It logs what it misses of a desktop session (D-Bus, logind).
        idle.setStandardErrorFile(QProcess::nullDevice());
        sway_->start(idle, QStringLiteral("swayidle"),
                     {"timeout", "3", QStringLiteral("%1 /S 2>%2; echo $? >%3").arg(copy_->programPath(), errors, status)});
        const bool locked = TakesTheLock(copy_->lockPath(), 15000);
        const bool shown = locked && showsClocks();
        const bool keyPressed = shown && sway_->key(QStringLiteral("space"));
        const bool ended = QTest::qWaitFor([&] { return FileContents(status) == "0\n"; }, 10000);
        idle.terminate();
        idle.waitForFinished(5000);
        QVERIFY(locked && shown && keyPressed);
        QVERIFY2(ended, FileContents(status).constData());
        QVERIFY(!QFile::exists(copy_->lockPath()));
        QCOMPARE(FileContents(errors), QByteArray());
    }

    void withDisplayAlsoSetItStillShowsOnWayland()
    {
        QProcessEnvironment environment = withFixedClock(sway_->environment());
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("tty"));
        QVERIFY(startByHand(QStringLiteral("/S"), environment));
        QVERIFY(showsClocks());
        QVERIFY(sway_->key(QStringLiteral("Escape")));
        QVERIFY(EndsCleanly(process_, copy_->lockPath()));
    }

    void aKeyEndsItWhereverTheFocusIs()
    {
        for (const QString &output : {Primary, Other}) {
            QVERIFY(sway_->swaymsg({"focus", "output", output}));
            QVERIFY(startByHand(QStringLiteral("/S"), sway_->environment()));
            QVERIFY(sway_->key(QStringLiteral("x")));
            QVERIFY2(EndsCleanly(process_, copy_->lockPath()), qPrintable(output));
        }
    }

    // Show and paint events count towards the grace as timer ticks do, so the early motion comes
    // as soon as the window is there.
    void earlyMotionAndClicksKeepItLaterMotionEndsIt()
    {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QVERIFY(startByHand(QStringLiteral("/S"), withFixedClock(sway_->environment())));
        QVERIFY(pointer_->move(5, 5) && pointer_->move(-700, 0));
        QVERIFY(showsClocks());
        QTest::qWait(2000);
        QVERIFY(pointer_->click() && pointer_->wheel());
        QTest::qWait(1000);
        QCOMPARE(process_.state(), QProcess::Running);
        QVERIFY(pointer_->move(0, 3));
        QVERIFY(EndsCleanly(process_, copy_->lockPath()));
    }

    // Every desktop has a pointer. Resting on the clocks' output, it keeps sway from showing a
    // window's buffer there as it is, but not on the other output, which sway scans out as the
    // black window left it: that must be black too.
    void withAPointerOnTheClocksTheOtherOutputIsBlack()
    {
        pointer_.reset();
        sway_ = std::make_unique<HeadlessCompositor>(HeadlessCompositor::Desktop::SwayScanningOut);
        QVERIFY(sway_->addOutput(Other, QRect(1920, 0, 1600, 900)));
        pointer_ = std::make_unique<VirtualPointer>(*sway_);
        QVERIFY(pointer_->move(-9999, -9999) && pointer_->move(100, 300));
        QVERIFY(startByHand(QStringLiteral("/S"), withFixedClock(sway_->environment())));
        QVERIFY(showsClocks());
    }

    // At a scale of 1.5, which Qt 6.4 takes for 2, the clocks are drawn at the output's own
    // pixels: the same dials as at scale 1 on an output of as many pixels. And an output switched
    // to 4K while it runs gets them afresh at that size.
    void crispAtAFractionalScaleAndAfterASwitchTo4K()
    {
        QImage shown[2];
        for (const QString scale : {"1", "1.5"}) {
            QVERIFY(sway_->swaymsg({"output", Primary, "resolution", "2880x1620", "scale", scale}));
            QVERIFY(startByHand(QStringLiteral("/S"), withFixedClock(sway_->environment())));
            QVERIFY(QTest::qWaitFor(
                [&] {
                    shown[scale == "1.5"] = sway_->screenshot(Primary);
                    return clockFaults(shown[scale == "1.5"], QRect(0, 0, 2880, 1620)).isEmpty();
                },
                15000));
            if (scale == "1")
                QVERIFY(sway_->key(QStringLiteral("space")) && EndsCleanly(process_, copy_->lockPath()));
        }
        const double alike = dialsAlike(shown[0], shown[1]);
        QVERIFY2(alike >= 0.99, qPrintable(QString::number(alike)));
        QVERIFY(sway_->swaymsg({"output", Primary, "resolution", "3840x2160", "scale", "1"}));
        QVERIFY(QTest::qWaitFor([&] { return clockFaults(sway_->screenshot(Primary), QRect(0, 0, 3840, 2160)).isEmpty(); },
                                15000));
        QVERIFY(sway_->key(QStringLiteral("space")) && EndsCleanly(process_, copy_->lockPath()));
    }

    void sigtermEndsItByThatSignal()
    {
        QVERIFY(startByHand(QStringLiteral("/S"), sway_->environment()));
        process_.terminate();
        QVERIFY(EndsBySignal(process_, SIGTERM, copy_->lockPath()));
    }

    // It covers an output that comes, and goes on when one goes.
    void outputsComeAndGoWhileItRuns()
    {
        QVERIFY(startByHand(QStringLiteral("/S"), withFixedClock(sway_->environment())));
        QVERIFY(showsClocks());
        QVERIFY(sway_->addOutput(QStringLiteral("HEADLESS-3"), QRect(3520, 0, 1024, 768)));
        QVERIFY(QTest::qWaitFor(
            [this] {
                const QImage added = sway_->screenshot(QStringLiteral("HEADLESS-3"), true);
                return !added.isNull() && IsBlack(added, added.rect());
            },
            10000));
        QVERIFY(sway_->swaymsg({"output", "HEADLESS-3", "disable"}));
        QVERIFY(showsClocks());
        QVERIFY(sway_->key(QStringLiteral("space")));
        QVERIFY(EndsCleanly(process_, copy_->lockPath()));
    }

    void whenTheCompositorGoesAwayItEndsWithOneLine()
    {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        QVERIFY(startByHand(QStringLiteral("/S"), sway_->environment()));
        sway_->stop();
        QVERIFY(EndsWithFailure(process_, copy_->lockPath()));
        const QByteArray errors = process_.readAllStandardError();
        QVERIFY2(errors.startsWith("clocksaver: ") && errors.count('\n') == 1, errors.constData());
    }

    // Sway 1.7 tells idle time by KDE's idle protocol only.
    void theWatcherShowsTheClocksWhenTheUserIsIdle()
    {
        const auto key = [&] { return sway_->showsWindow("Hauptwin") && sway_->key(QStringLiteral("space")); };
        QVERIFY(WatchesUntilTheDesktopGoes(*sway_, *copy_, key));
    }

    void theSettingsDialogSaves()
    {
        QVERIFY(QFile::remove(copy_->settingsPath()));
        QVERIFY(startByHand(QStringLiteral("/C"), sway_->environment(), QStringLiteral("Bildschirmschoner-Einstellungen")));
        QVERIFY(sway_->key(QStringLiteral("End")) && sway_->key(QStringLiteral("z"))
                && sway_->key(QStringLiteral("Return")));
        QVERIFY(EndsCleanly(process_, copy_->lockPath()));
        QCOMPARE(copy_->settings(), QByteArray("QX0VRTz\n0\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestSway)
#include "test_sway.moc"
