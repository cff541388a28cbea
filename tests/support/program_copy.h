#pragma once

#include "support/settings_sandbox.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <memory>

// The built program copied into a sandbox of its own, so its lock and settings files land there.
class ProgramCopy : public SettingsSandbox
{
public:
    ProgramCopy();
    bool isValid() const { return valid_; }

    QString programPath() const { return filePath(QStringLiteral("clocksaver.scr")); }

    // Starts the copy; the environment defaults to this process's with the offscreen platform,
    // and its error output goes to the test's unless the test reads it.
    std::unique_ptr<QProcess> start(const QStringList &arguments, QProcessEnvironment environment = offscreenEnvironment(),
                                    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) const;

    static QProcessEnvironment offscreenEnvironment();

private:
    bool valid_ = false;
};

// Waits until a started copy holds its lock, a sign that it runs.
bool TakesTheLock(const QString &lockPath, int timeoutMs = 10000);
// Whether the process ends by itself with exit code 0 in time, and, unless lockPath is empty
// (another copy holds the lock), its lock is gone.
bool EndsCleanly(QProcess &process, const QString &lockPath, int timeoutMs = 10000);
// The same for an end with exit code 1, as the program ends when it cannot run.
bool EndsWithFailure(QProcess &process, const QString &lockPath, int timeoutMs = 10000);
// The same for an end by the signal, as the program ends once it has cleaned up after a quit
// signal.
bool EndsBySignal(QProcess &process, int signal, const QString &lockPath, int timeoutMs = 10000);
