#include "program_copy.h"

#include <QFile>
#include <QTest>

ProgramCopy::ProgramCopy()
{
    // The idle watcher, which the program runs from beside itself, comes along.
    valid_ = QFile::copy(QStringLiteral(CLOCKSAVER_PROGRAM), programPath())
             && QFile::copy(QStringLiteral(CLOCKSAVER_WATCHER), filePath(QStringLiteral("clocksaver-watch")));
}

std::unique_ptr<QProcess> ProgramCopy::start(const QStringList &arguments, QProcessEnvironment environment,
                                             QProcess::ProcessChannelMode channels) const
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder());
    process->setProcessChannelMode(channels);
    process->start(programPath(), arguments);
    process->waitForStarted();
    return process;
}

QProcessEnvironment ProgramCopy::offscreenEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

namespace {

bool endsAs(QProcess &process, QProcess::ExitStatus status, int code, const QString &lockPath, int timeoutMs)
{
    const bool finished = process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
    return finished && process.exitStatus() == status && process.exitCode() == code
           && (lockPath.isEmpty() || !QFile::exists(lockPath));
}

} // namespace

bool TakesTheLock(const QString &lockPath, int timeoutMs)
{
    return QTest::qWaitFor([&] { return QFile::exists(lockPath); }, timeoutMs);
}

bool EndsCleanly(QProcess &process, const QString &lockPath, int timeoutMs)
{
    return endsAs(process, QProcess::NormalExit, 0, lockPath, timeoutMs);
}

bool EndsWithFailure(QProcess &process, const QString &lockPath, int timeoutMs)
{
    return endsAs(process, QProcess::NormalExit, 1, lockPath, timeoutMs);
}

bool EndsBySignal(QProcess &process, int signal, const QString &lockPath, int timeoutMs)
{
    // For a process killed by a signal, QProcess gives the signal's number as the exit code.
    return endsAs(process, QProcess::CrashExit, signal, lockPath, timeoutMs);
}
