#include "base_path.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sys/stat.h>

QString BasePath;

namespace {

// Makes the folder holding basePath, readable by its owner only, unless it exists already.
bool makeUserFolder(const QString &basePath)
{
    const QString folder = QFileInfo(basePath).absolutePath();
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()))
        return false;
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || QFileInfo(folder).isDir();
}

// Where packages put programs for everyone: such a program never writes beside itself.
bool isInstalledForEveryone(const QString &programPath)
{
    return programPath.startsWith(QLatin1String("/usr/")) || programPath.startsWith(QLatin1String("/opt/"));
}

bool canCreateFileBeside(const QString &path)
{
    QTemporaryFile scratch(QFileInfo(path).absolutePath() + QStringLiteral("/.clocksaver-XXXXXX"));
    return scratch.open();
}

} // namespace

QString BasePathFor(const QString &programPath)
{
    const qsizetype lastDot = programPath.lastIndexOf(QLatin1Char('.'));
    return programPath.left(lastDot + 1) + QStringLiteral("in1");
}

QString UserBasePath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/clocksaver/clocksaver.in1");
}

QString ChooseBasePath(const QString &programPath, const std::function<bool(const QString &)> &tryPlace)
{
    const QString beside = BasePathFor(programPath);
    if (!isInstalledForEveryone(programPath) && tryPlace(beside))
        return beside;
    const QString own = UserBasePath();
    if (makeUserFolder(own))
        tryPlace(own);
    return own;
}

QString BasePathInUse(const QString &programPath)
{
    return ChooseBasePath(programPath, canCreateFileBeside);
}
