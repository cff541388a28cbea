#include "headless_compositor.h"

#include "support/unprivileged_user.h"

#include <QDBusMessage>
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

HeadlessCompositor::HeadlessCompositor(Desktop desktop) : desktop_(desktop)
{
    const QString runtime = makeOwnedFolder(folder_.filePath(QStringLiteral("runtime")), 0700);
    const QString home = makeOwnedFolder(folder_.filePath(QStringLiteral("home")), 0755);
    if (runtime.isEmpty() || home.isEmpty() || ::chmod(QFile::encodeName(folder_.path()).constData(), 0755) != 0)
        return;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    compositor_.setProcessEnvironment(environment);
    // What they log of the machine's lacks (a GPU, desktop services) is nothing the tests look at.
    compositor_.setStandardOutputFile(QProcess::nullDevice());
    compositor_.setStandardErrorFile(QProcess::nullDevice());
    if (!(desktop == Desktop::Sway || desktop == Desktop::SwayScanningOut
              ? startSway(runtime, desktop == Desktop::SwayScanningOut)
          : desktop == Desktop::GnomeShell ? startGnomeShell(runtime)
                                           : startKWin(runtime)))
        socket_.clear();
}

bool HeadlessCompositor::startSway(const QString &runtime, bool scanOut)
{
    QFile config(folder_.filePath(QStringLiteral("config")));
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write("output HEADLESS-1 resolution 1920x1080 position 0 0\ndefault_border none\nfocus_follows_mouse no\n");
    config.close();
    config.setPermissions(config.permissions() | QFile::ReadOther);
    QProcessEnvironment environment = compositor_.processEnvironment();
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    compositor_.setProcessEnvironment(environment);
    // Mostly without direct scan-out: an output that shows a full-screen window's own buffer is not
    // rendered, and a screenshot of it then shows whatever sway last rendered there.
    QStringList arguments{QStringLiteral("-c"), config.fileName()};
    if (!scanOut)
        arguments << QStringLiteral("-D") << QStringLiteral("noscanout");
    startUnprivileged(compositor_, QStringLiteral("sway"), arguments);
    const bool listening = QTest::qWaitFor(
        [&] {
            ipcSocket_ = entryMatching(runtime, QStringLiteral("sway-ipc.*.sock"));
            return compositor_.state() == QProcess::NotRunning || !ipcSocket_.isEmpty();
        },
        20000);
    socket_ = QFileInfo(entryMatching(runtime, QStringLiteral("wayland-[0-9]"))).fileName();
    return listening && compositor_.state() == QProcess::Running
           && swaymsg({QStringLiteral("-t"), QStringLiteral("get_version")});
}

HeadlessCompositor::~HeadlessCompositor()
{
    stop();
}

void HeadlessCompositor::stop()
{
    for (QProcess *process : {&compositor_, &sessionBus_, &systemBus_}) {
        process->terminate();
        if (!process->waitForFinished(10000))
            process->kill();
        process->waitForFinished(5000);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("compositor"));
}

QProcessEnvironment HeadlessCompositor::environment() const
{
    QProcessEnvironment environment;
    for (const char *name : {"PATH", "HOME", "XDG_RUNTIME_DIR"})
        environment.insert(QLatin1String(name), compositor_.processEnvironment().value(QLatin1String(name)));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
        if (own.contains(QLatin1String(name)))
            environment.insert(QLatin1String(name), own.value(QLatin1String(name)));
    return environment;
}

void HeadlessCompositor::start(QProcess &client, const QString &program, const QStringList &arguments) const
{
    if (client.processEnvironment().isEmpty())
        client.setProcessEnvironment(environment());
    startUnprivileged(client, program, arguments);
    if (!client.waitForStarted(10000))
        qWarning() << program << client.errorString();
}

QByteArray HeadlessCompositor::run(const QString &program, const QStringList &arguments, bool *succeeded) const
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

bool HeadlessCompositor::swaymsg(const QStringList &arguments) const
{
    bool succeeded = false;
    run(QStringLiteral("swaymsg"), arguments, &succeeded);
    return succeeded;
}

bool HeadlessCompositor::addOutput(const QString &name, const QRect &geometry) const
{
    return swaymsg({QStringLiteral("create_output")})
           && swaymsg({QStringLiteral("output"), name, QStringLiteral("resolution"),
                       QStringLiteral("%1x%2").arg(geometry.width()).arg(geometry.height()), QStringLiteral("position"),
                       QString::number(geometry.x()), QString::number(geometry.y())});
}

QImage HeadlessCompositor::screenshot(const QString &output, bool withPointer) const
{
    if (desktop_ == Desktop::KWin)
        return xvfb_->screenshot();
    if (desktop_ == Desktop::GnomeShell) {
        // The shell takes them only for the screenshot tool, known by its bus name.
        const QString file = folder_.filePath(QStringLiteral("runtime/screenshot.png"));
        const QString shell = QStringLiteral("org.gnome.Shell.Screenshot");
        bus().registerService(QStringLiteral("org.gnome.Screenshot"));
        bus().call(QDBusMessage::createMethodCall(shell, "/org/gnome/Shell/Screenshot", shell, "Screenshot")
                   << withPointer << false << file);
        const QImage image(file);
        QFile::remove(file);
        return image;
    }
    QStringList arguments{QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-o"), output, QStringLiteral("-")};
    if (withPointer)
        arguments.prepend(QStringLiteral("-c"));
    return QImage::fromData(run(QStringLiteral("grim"), arguments), "PPM");
}

bool HeadlessCompositor::key(const QString &name) const
{
    if (desktop_ == Desktop::KWin)
        return xvfb_->xdotool({QStringLiteral("key"), name});
    if (desktop_ == Desktop::GnomeShell) {
        const uint code = name == QLatin1String("Escape") ? 1 : name == QLatin1String("x") ? 45 : 57; // evdev's
        return call(remoteDesktop_, QStringLiteral("NotifyKeyboardKeycode"), {code, true})
               && (QTest::qWait(100), call(remoteDesktop_, QStringLiteral("NotifyKeyboardKeycode"), {code, false}));
    }
    // Held a while: pressed at once, the key can reach a window before it has the focus, which
    // then sees only the release.
    bool succeeded = false;
    run(QStringLiteral("wtype"), {QStringLiteral("-s"), QStringLiteral("400"), QStringLiteral("-k"), name}, &succeeded);
    return succeeded;
}

bool HeadlessCompositor::showsWindow(const QString &title) const
{
    return QTest::qWaitFor(
        [&] {
            return run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")})
                .contains("\"name\": \"" + title.toUtf8() + '"');
        },
        10000);
}

QString HeadlessCompositor::runnableCopy(const QString &program) const
{
    const QString copy = folder_.filePath(QFileInfo(program).fileName());
    return QFile::exists(copy) || QFile::copy(program, copy) ? copy : QString();
}

VirtualPointer::VirtualPointer(const HeadlessCompositor &session)
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
