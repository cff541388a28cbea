#include "watcher_start.h"

#include "app/failure_report.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

bool IsWatcherRequest(int argc, char **argv)
{
    return argc > 1 && (std::strcmp(argv[1], "--watch") == 0 || std::strcmp(argv[1], "--autostart") == 0);
}

int StartWatcher(int argc, char **argv)
{
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QByteArray watcher = QFile::encodeName(QFileInfo(program).path() + QLatin1String("/clocksaver-watch"));
    const QByteArray self = QFile::encodeName(program);
    // The watcher checks the arguments; this program's own path comes last.
    std::vector<char *> arguments{const_cast<char *>(watcher.constData())};
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    arguments.push_back(const_cast<char *>(self.constData()));
    arguments.push_back(nullptr);
    ::execv(watcher.constData(), arguments.data());
    ReportFailure(
        QStringLiteral("cannot run %1: %2").arg(QFile::decodeName(watcher), QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
}
