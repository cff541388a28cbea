// The real program in configure mode on an X server, worked with xdotool as a user would.

#include "support/program_copy.h"
#include "support/xvfb_server.h"

#include <QTest>

namespace {

const QString Title = QStringLiteral("Bildschirmschoner-Einstellungen");

} // namespace

class ScreenconfigProgram : public QObject
{
    Q_OBJECT
private slots:
    void typedValuesAreSaved();
    void escapeLeavesTheFileAlone();

private:
    // Starts a copy with the argument, over the settings file if one is given, and waits for the
    // dialog to take keyboard input; its window id, or empty.
    QString startDialog(const QString &argument, const QByteArray &settings = {});

    std::unique_ptr<ProgramCopy> copy_;
    std::unique_ptr<XvfbServer> xvfb_;
    std::unique_ptr<QProcess> process_;
};

QString ScreenconfigProgram::startDialog(const QString &argument, const QByteArray &settings)
{
    copy_ = std::make_unique<ProgramCopy>();
    xvfb_ = std::make_unique<XvfbServer>();
    if (!copy_->isValid() || !xvfb_->isRunning())
        return {};
    if (!settings.isNull() && !copy_->writeSettings(settings))
        return {};
    process_ = copy_->start({argument}, xvfb_->environment());
    return xvfb_->focusWindow(Title);
}

void ScreenconfigProgram::typedValuesAreSaved()
{
    const QString window = startDialog(QStringLiteral("/C"));
    QVERIFY(!window.isEmpty());

    // Centred on the 1024 by 768 screen; Qt allows for a window frame when it places a dialog.
    QByteArray geometry;
    QVERIFY(xvfb_->xdotool({"getwindowgeometry", "--shell", window}, &geometry));
    QMap<QByteArray, int> values;
    for (const QByteArray &line : geometry.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() == 2)
            values[pair[0]] = pair[1].toInt();
    }
    QVERIFY2(qAbs(values["X"] + values["WIDTH"] / 2 - 512) <= 50, geometry.constData());
    QVERIFY2(qAbs(values["Y"] + values["HEIGHT"] / 2 - 384) <= 50, geometry.constData());

    QVERIFY(xvfb_->xdotool({"key", "ctrl+a"}));
    // ASCII only: xdotool types other characters by rebinding keys on the fly, which races
    // with the program reading the keyboard map; the byte mapping is tested without X.
    QVERIFY(xvfb_->xdotool({"type", "DL0 ab "}));
    QVERIFY(xvfb_->xdotool({"key", "Tab", "ctrl+a"}));
    QVERIFY(xvfb_->xdotool({"type", "--", "-3"}));
    QVERIFY(xvfb_->xdotool({"key", "Tab", "ctrl+a"}));
    QVERIFY(xvfb_->xdotool({"type", "x"}));
    QVERIFY(xvfb_->xdotool({"key", "Return"}));

    QVERIFY(EndsCleanly(*process_, copy_->lockPath()));
    QCOMPARE(copy_->settings(), QByteArray("DL0 ab \n-3\nx\n"));
}

void ScreenconfigProgram::escapeLeavesTheFileAlone()
{
    const QByteArray old = "ABC\n05\n\n";
    QVERIFY(!startDialog(QStringLiteral("/c:1234"), old).isEmpty());

    QVERIFY(xvfb_->xdotool({"type", "changed"}));
    QVERIFY(xvfb_->xdotool({"key", "Escape"}));

    QVERIFY(EndsCleanly(*process_, copy_->lockPath()));
    QCOMPARE(copy_->settings(), old);
}

QTEST_GUILESS_MAIN(ScreenconfigProgram)
#include "test_screenconfig_program.moc"
