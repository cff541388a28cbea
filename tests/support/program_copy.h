#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QTest>

#include <memory>

// The built program copied into a folder of its own, so its lock and settings files land there.
class ProgramCopy
{
public:
    ProgramCopy();
    bool isValid() const { return valid_; }

    QString folder() const { return dir_.path(); }
    QString programPath() const { return dir_.filePath(QStringLiteral("clocksaver.scr")); }
    QString lockPath() const { return dir_.filePath(QStringLiteral("clocksaver.in1")); }
    QString settingsPath() const { return dir_.filePath(QStringLiteral("clocksaver.in1.ini")); }

    void writeSettings(const QByteArray &contents) const;
    QByteArray settingsContents() const;

    // Starts the copy; the environment defaults to this process's with the offscreen platform,
    // and its error output goes to the test's unless the test reads it.
    std::unique_ptr<QProcess> start(const QStringList &arguments,
                                    QProcessEnvironment environment = offscreenEnvironment(),
                                    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) const;

    static QProcessEnvironment offscreenEnvironment();

private:
    QTemporaryDir dir_;
    bool valid_ = false;
};

// Waits for the process to end by itself with exit code 0.
bool EndsCleanly(QProcess &process, int timeoutMs = 10000);
// Waits for the process to end by the signal, as the program does once it has cleaned up
// after a quit signal.
bool EndsBySignal(QProcess &process, int signal, int timeoutMs = 10000);

// Polls until the condition holds or the time is up; returns the condition's last value.
template<typename Condition>
bool waitUntil(Condition condition, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}
