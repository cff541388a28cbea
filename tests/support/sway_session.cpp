#include "sway_session.h"

#include "support/unprivileged_user.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder the compositor's user owns, for its sockets (only it may enter) or its home.
QString makeOwnedFolder(const QString &path, mode_t mode)
{
    if (!QDir().mkpath(path) || ::chmod(QFile::encodeName(path).constData(), mode) != 0)
        return {};
    if (RunningAsRoot() && ::chown(QFile::encodeName(path).constData(), NobodyId, NobodyId) != 0)
        return {};
    return path;
}

// The first file in the folder whose name matches.
QString entryMatching(const QString &folder, const QString &pattern)
{
    const QStringList names = QDir(folder).entryList({pattern}, QDir::System);
    return names.isEmpty() ? QString() : QDir(folder).filePath(names.first());
}

} // namespace

SwaySession::SwaySession(ScanOut scanOut)
{
    const QString runtime = makeOwnedFolder(folder_.filePath(QStringLiteral("runtime")), 0700);
    const QString home = makeOwnedFolder(folder_.filePath(QStringLiteral("home")), 0755);
    QFile config(folder_.filePath(QStringLiteral("config")));
    if (runtime.isEmpty() || home.isEmpty() || ::chmod(QFile::encodeName(folder_.path()).constData(), 0755) != 0
        || !config.open(QIODevice::WriteOnly))
        return;
    config.write("output HEADLESS-1 resolution 1920x1080 position 0 0\ndefault_border none\nfocus_follows_mouse no\n");
    config.close();
    config.setPermissions(config.permissions() | QFile::ReadOther);

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    sway_.setProcessEnvironment(environment);
    // It logs what the headless machine lacks (a GPU, Xwayland): nothing the tests look at.
    sway_.setStandardOutputFile(QProcess::nullDevice());
    sway_.setStandardErrorFile(QProcess::nullDevice());
    QStringList arguments{QStringLiteral("-c"), config.fileName()};
    if (scanOut == ScanOut::Off)
        arguments << QStringLiteral("-D") << QStringLiteral("noscanout");
    startUnprivileged(sway_, QStringLiteral("sway"), arguments);
    if (!sway_.waitForStarted(10000)) {
        qWarning() << "sway:" << sway_.errorString() << "(Debian package sway)";
        return;
    }
    const bool listening = QTest::qWaitFor(
        [&] {
            ipcSocket_ = entryMatching(runtime, QStringLiteral("sway-ipc.*.sock"));
            return sway_.state() == QProcess::NotRunning || !ipcSocket_.isEmpty();
        },
        20000);
    const QString socket = entryMatching(runtime, QStringLiteral("wayland-[0-9]"));
    if (listening && sway_.state() == QProcess::Running && !socket.isEmpty())
        socket_ = QFileInfo(socket).fileName();
    if (isRunning() && !swaymsg({QStringLiteral("-t"), QStringLiteral("get_version")}))
        socket_.clear();
}

SwaySession::~SwaySession()
{
    stop();
}

void SwaySession::stop()
{
    sway_.terminate();
    if (!sway_.waitForFinished(5000))
        sway_.kill();
    sway_.waitForFinished(5000);
}

QProcessEnvironment SwaySession::environment() const
{
    QProcessEnvironment environment;
    for (const char *name : {"PATH", "HOME", "XDG_RUNTIME_DIR"})
        environment.insert(QLatin1String(name), sway_.processEnvironment().value(QLatin1String(name)));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
        if (own.contains(QLatin1String(name)))
            environment.insert(QLatin1String(name), own.value(QLatin1String(name)));
    return environment;
}

void SwaySession::start(QProcess &client, const QString &program, const QStringList &arguments) const
{
    if (client.processEnvironment().isEmpty())
        client.setProcessEnvironment(environment());
    startUnprivileged(client, program, arguments);
    if (!client.waitForStarted(10000))
        qWarning() << program << client.errorString();
}

QByteArray SwaySession::run(const QString &program, const QStringList &arguments, bool *succeeded) const
{
    QProcess client;
    QProcessEnvironment environment = this->environment();
    environment.insert(QStringLiteral("SWAYSOCK"), ipcSocket_);
    client.setProcessEnvironment(environment);
    start(client, program, arguments);
    client.waitForFinished(30000);
    if (succeeded)
        *succeeded = client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    return client.readAllStandardOutput();
}

bool SwaySession::swaymsg(const QStringList &arguments) const
{
    bool succeeded = false;
    run(QStringLiteral("swaymsg"), arguments, &succeeded);
    return succeeded;
}

bool SwaySession::addOutput(const QString &name, const QRect &geometry) const
{
    return swaymsg({QStringLiteral("create_output")})
           && swaymsg({QStringLiteral("output"), name, QStringLiteral("resolution"),
                       QStringLiteral("%1x%2").arg(geometry.width()).arg(geometry.height()), QStringLiteral("position"),
                       QString::number(geometry.x()), QString::number(geometry.y())});
}

QImage SwaySession::screenshot(const QString &output, bool withPointer) const
{
    QStringList arguments{QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-o"), output, QStringLiteral("-")};
    if (withPointer)
        arguments.prepend(QStringLiteral("-c"));
    return QImage::fromData(run(QStringLiteral("grim"), arguments), "PPM");
}

bool SwaySession::key(const QString &name) const
{
    // Held a while: pressed at once, the key can reach a window before it has the focus, which
    // then sees only the release.
    bool succeeded = false;
    run(QStringLiteral("wtype"), {QStringLiteral("-s"), QStringLiteral("400"), QStringLiteral("-k"), name}, &succeeded);
    return succeeded;
}

bool SwaySession::showsWindow(const QString &title) const
{
    return QTest::qWaitFor(
        [&] {
            return run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")})
                .contains("\"name\": \"" + title.toUtf8() + '"');
        },
        10000);
}

QString SwaySession::runnableCopy(const QString &program) const
{
    const QString copy = folder_.filePath(QFileInfo(program).fileName());
    return QFile::exists(copy) || QFile::copy(program, copy) ? copy : QString();
}

VirtualPointer::VirtualPointer(const SwaySession &session)
{
    session.start(client_, session.runnableCopy(QStringLiteral(CLOCKSAVER_VIRTUAL_POINTER)), {});
}

VirtualPointer::~VirtualPointer()
{
    client_.closeWriteChannel();
    if (!client_.waitForFinished(5000))
        client_.kill();
}

bool VirtualPointer::send(const QByteArray &line)
{
    client_.write(line);
    while (!client_.canReadLine())
        if (!client_.waitForReadyRead(10000))
            return false;
    return client_.readLine() == "done\n";
}
