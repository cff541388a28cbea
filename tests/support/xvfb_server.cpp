#include "xvfb_server.h"

#include <QDebug>

XvfbServer::XvfbServer(int width, int height, const QStringList &extraArguments)
{
    // -displayfd 1: the server picks a free display and writes its number to stdout.
    QStringList arguments{QStringLiteral("-displayfd"),
                          QStringLiteral("1"),
                          QStringLiteral("-screen"),
                          QStringLiteral("0"),
                          QStringLiteral("%1x%2x24").arg(width).arg(height),
                          QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")};
    server_.start(QStringLiteral("Xvfb"), arguments + extraArguments);
    if (!server_.waitForStarted(10000)) {
        qWarning() << "Xvfb:" << server_.errorString() << "(Debian package xvfb)";
        return;
    }
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(10000))
        number += server_.readAllStandardOutput();
    if (number.trimmed().isEmpty())
        return;
    display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

std::unique_ptr<XvfbServer> XvfbServer::withTwoMonitors(bool outputOnB)
{
    auto server = std::make_unique<XvfbServer>(3200, 1080, QStringList{QStringLiteral("-noreset")});
    int first = -1;
    int second = -1;
    const char *outputOfA = outputOnB ? "none" : "screen";
    const char *outputOfB = outputOnB ? "screen" : "none";
    if (server->isRunning()) {
        server->run(QStringLiteral("xrandr"), {"--setmonitor", "A", "1920/500x1080/300+0+0", outputOfA}, &first);
        server->run(QStringLiteral("xrandr"), {"--setmonitor", "B", "1280/300x1024/250+1920+0", outputOfB}, &second);
    }
    if (first != 0 || second != 0)
        server->display_.clear();
    return server;
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

QString XvfbServer::focusWindow(const QString &title) const
{
    QByteArray windows;
    if (!xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"), title}, &windows))
        return {};
    const QString id = QString::fromLatin1(windows.trimmed().split('\n').value(0));
    return xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id}) ? id : QString();
}

QByteArray XvfbServer::run(const QString &program, const QStringList &arguments, int *exitCode) const
{
    QProcess client;
    client.setProcessEnvironment(environment());
    client.start(program, arguments);
    // A missing tool fails the test that needs it; this says which.
    if (!client.waitForStarted(10000))
        qWarning() << program << client.errorString();
    client.waitForFinished(30000);
    if (exitCode)
        *exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
    return client.readAllStandardOutput();
}

// Uncompressed: packing a screen into PNG takes ImageMagick seconds.
QImage XvfbServer::screenshot() const
{
    return QImage::fromData(run(QStringLiteral("import"), {"-window", "root", "-depth", "8", "ppm:-"}), "PPM");
}
