#include "mate_screen_saver.h"

#include "support/unprivileged_user.h"

#include <csignal>

MateScreenSaver::MateScreenSaver(const XvfbServer &xvfb, const QString &packageTree, const QString &home,
                                 const QString &theme)
    : environment_(xvfb.environment())
{
    environment_.insert(QStringLiteral("HOME"), home);
    environment_.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("MATE"));
    // No accessibility bus, whose daemons would outlive the session.
    environment_.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment_.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    saver_.setProcessEnvironment(environment_);
    saver_.setProcessChannelMode(QProcess::MergedChannels);
    const QString session = QStringLiteral("echo \"$DBUS_SESSION_BUS_ADDRESS\" && "
                                           "gsettings set org.mate.screensaver mode single && "
                                           "gsettings set org.mate.screensaver lock-enabled false && "
                                           "gsettings set org.mate.screensaver themes \"['%1']\" && "
                                           "exec mate-screensaver --no-daemon --debug")
                                .arg(theme);
    // setsid: one process group, which the destructor ends as a whole.
    saver_.start(QStringLiteral("setsid"),
                 {"unshare", "--mount", "--propagation", "private", "--", "sh", "-c",
                  "mount -t overlay overlay -o \"lowerdir=$1/usr:/usr\" /usr && shift && exec \"$@\"", "sh", packageTree,
                  "setpriv", QStringLiteral("--reuid=%1").arg(NobodyId), QStringLiteral("--regid=%1").arg(NobodyId),
                  "--clear-groups", "dbus-run-session", "--", "sh", "-c", session});
    while (!log_.contains('\n') && saver_.waitForReadyRead(30000))
        log_ += saver_.readAll();
    if (log_.startsWith("unix:"))
        busAddress_ = QString::fromLatin1(log_.left(log_.indexOf('\n')));
}

MateScreenSaver::~MateScreenSaver()
{
    if (saver_.state() == QProcess::NotRunning)
        return;
    ::kill(-pid_t(saver_.processId()), SIGTERM);
    if (!saver_.waitForFinished(10000))
        ::kill(-pid_t(saver_.processId()), SIGKILL);
    saver_.waitForFinished(5000);
}

bool MateScreenSaver::command(const QString &option) const
{
    QProcess command;
    QProcessEnvironment environment = environment_;
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    command.setProcessEnvironment(environment);
    startUnprivileged(command, QStringLiteral("mate-screensaver-command"), {option});
    return command.waitForFinished(30000) && command.exitStatus() == QProcess::NormalExit && command.exitCode() == 0;
}

bool MateScreenSaver::runs(const QString &commandLine) const
{
    QProcess search;
    search.start(QStringLiteral("pgrep"),
                 {"--ns", QString::number(saver_.processId()), "--nslist", "mnt", "--full", "-x", commandLine});
    search.waitForFinished(5000);
    return search.exitCode() == 0;
}

QByteArray MateScreenSaver::log()
{
    saver_.waitForReadyRead(0);
    return log_ += saver_.readAll();
}
