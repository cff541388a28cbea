#include "program_copy.h"

#include <QFile>

ProgramCopy::ProgramCopy()
{
    valid_ = dir_.isValid() && QFile::copy(QStringLiteral(CLOCKSAVER_PROGRAM), programPath());
}

void ProgramCopy::writeSettings(const QByteArray &contents) const
{
    QFile file(settingsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

QByteArray ProgramCopy::settingsContents() const
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

bool EndsCleanly(QProcess &process, int timeoutMs)
{
    const bool finished = process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool EndsBySignal(QProcess &process, int signal, int timeoutMs)
{
    const bool finished = process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
    // For a process killed by a signal, QProcess gives the signal's number as the exit code.
    return finished && process.exitStatus() == QProcess::CrashExit && process.exitCode() == signal;
}

QProcessEnvironment ProgramCopy::offscreenEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}
