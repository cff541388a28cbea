#include "xvfb_server.h"

XvfbServer::XvfbServer(int width, int height)
{
    // -displayfd 1: the server picks a free display and writes its number to stdout.
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server_.waitForStarted(10000))
        return;
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(10000))
        number += server_.readAllStandardOutput();
    if (number.trimmed().isEmpty())
        return;
    display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

XvfbServer::~XvfbServer()
{
    server_.terminate();
    if (!server_.waitForFinished(5000))
        server_.kill();
    server_.waitForFinished(5000);
}

QProcessEnvironment XvfbServer::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

bool XvfbServer::xdotool(const QStringList &arguments, QByteArray *output) const
{
    int exitCode = -1;
    const QByteArray printed = run(QStringLiteral("xdotool"), arguments, &exitCode);
    if (output)
        *output = printed;
    return exitCode == 0;
}

QByteArray XvfbServer::run(const QString &program, const QStringList &arguments, int *exitCode) const
{
    QProcess client;
    client.setProcessEnvironment(environment());
    client.start(program, arguments);
    client.waitForFinished(30000);
    if (exitCode)
        *exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
    return client.readAllStandardOutput();
}

QImage XvfbServer::screenshot() const
{
    return QImage::fromData(run(QStringLiteral("import"), {"-window", "root", "png:-"}), "PNG");
}
