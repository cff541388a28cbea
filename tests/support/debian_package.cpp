#include "debian_package.h"

#include <QDir>
#include <QProcess>

QByteArray RunTool(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    *exitCode = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

QString MakeDebianPackage(const QString &buildFolder, const QString &folder)
{
    const QString out = folder + QStringLiteral("/out");
    int exitCode = 0;
    RunTool(QStringLiteral("cpack"), {"-G", "DEB", "-B", out, "--config", buildFolder + "/CPackConfig.cmake"}, &exitCode);
    const QStringList packages = QDir(out).entryList({QStringLiteral("clocksaver_*.deb")});
    if (exitCode != 0 || packages.size() != 1)
        return {};
    const QString package = out + QLatin1Char('/') + packages.first();
    RunTool(QStringLiteral("dpkg-deb"), {"-x", package, folder + QStringLiteral("/tree")}, &exitCode);
    return exitCode == 0 ? package : QString();
}
