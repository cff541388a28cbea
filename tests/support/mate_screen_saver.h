#pragma once

#include "support/xvfb_server.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

// MATE's screen saver for real, on a private X server with a session bus of its own, as nobody
// (it runs as root only to lay the package over /usr). MATE runs display programs only from fixed
// folders under /usr, so it runs in a private mount namespace with an unpacked package laid over
// /usr: the package's files at their real paths, while the machine, an installed copy and the
// tests running beside it see none of it, and nothing outlives the namespace. Needs root.
class MateScreenSaver
{
public:
    // packageTree holds the package's usr/; home is the saver user's; theme is the entry's id.
    MateScreenSaver(const XvfbServer &xvfb, const QString &packageTree, const QString &home, const QString &theme);
    // Ends MATE, its bus and whatever they started.
    ~MateScreenSaver();
    MateScreenSaver(const MateScreenSaver &) = delete;
    MateScreenSaver &operator=(const MateScreenSaver &) = delete;

    bool isRunning() const { return !busAddress_.isEmpty(); }
    // Runs mate-screensaver-command with the option (--activate, --deactivate); whether it worked.
    bool command(const QString &option) const;
    // Whether a process with exactly this command line runs in MATE's mount namespace.
    bool runs(const QString &commandLine) const;
    // What MATE has logged so far; it runs with --debug, which logs display programs' output.
    QByteArray log();

private:
    QProcessEnvironment environment_;
    QProcess saver_;
    QString busAddress_;
    QByteArray log_;
};
