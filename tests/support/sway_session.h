#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private headless sway (wlroots' pixman renderer, no input devices) with one 1920x1080 output,
// HEADLESS-1, for one test; outputs can be added. Sway refuses to run as root, so as root it
// runs as nobody, as do the clients started here, each in the bare environment an idle daemon
// hands its commands: PATH, HOME, XDG_RUNTIME_DIR, WAYLAND_DISPLAY.
class SwaySession
{
public:
    // Sway puts a full-screen window's buffer on its output as it is, where it can (direct scan-out),
    // unless told not to. The headless backend then keeps what sway last rendered there, which is
    // what screenshots show: only windows sway does not scan out show as they are.
    enum class ScanOut { Off, Allowed };
    explicit SwaySession(ScanOut scanOut = ScanOut::Off);
    ~SwaySession();
    SwaySession(const SwaySession &) = delete;
    SwaySession &operator=(const SwaySession &) = delete;

    bool isRunning() const { return !socket_.isEmpty(); }
    // Ends the compositor, as when the session ends under its clients.
    void stop();

    // The bare environment, with the sanitizers' settings of a sanitized build.
    QProcessEnvironment environment() const;
    // Starts a client in that environment (or the one given).
    void start(QProcess &client, const QString &program, const QStringList &arguments) const;
    // Runs a client to its end; its standard output, and whether it ended with exit code 0.
    QByteArray run(const QString &program, const QStringList &arguments, bool *succeeded = nullptr) const;
    bool swaymsg(const QStringList &arguments) const;

    // Another output, its top-left corner and size in the layout; the first one added is HEADLESS-2.
    bool addOutput(const QString &name, const QRect &geometry) const;
    // What an output shows, with the pointer drawn in where it is over the output.
    QImage screenshot(const QString &output, bool withPointer = false) const;
    // Presses and releases a key (an xkb name such as "space" or "Return").
    bool key(const QString &name) const;
    // Whether a window of this title comes onto an output within ten seconds, as sway's layout
    // tree says.
    bool showsWindow(const QString &title) const;
    // A copy of the program that the compositor's user may run, wherever the original lies.
    QString runnableCopy(const QString &program) const;

private:
    QTemporaryDir folder_;
    QProcess sway_;
    QString socket_;
    QString ipcSocket_;
};

// A pointer device on the compositor's seat, which the headless backend lacks, through wlroots'
// virtual-pointer protocol. Each call returns once the compositor has the input.
class VirtualPointer
{
public:
    explicit VirtualPointer(const SwaySession &session);
    ~VirtualPointer();

    bool move(int dx, int dy) { return send(QStringLiteral("move %1 %2\n").arg(dx).arg(dy).toLatin1()); }
    bool click() { return send("click\n"); }
    bool wheel() { return send("wheel\n"); }

private:
    bool send(const QByteArray &line);

    QProcess client_;
};
