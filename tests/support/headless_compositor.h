#pragma once

#include "support/xvfb_server.h"

#include <QDBusConnection>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private Wayland compositor for one test with one 1920x1080 output, run as nobody when the
// tests run as root (sway refuses root), as are the clients started here, each in the bare
// environment a desktop hands its programs: PATH, HOME, XDG_RUNTIME_DIR, WAYLAND_DISPLAY. Sway
// runs headless (output HEADLESS-1; more can be added), gnome-shell with its session bus in
// XDG_RUNTIME_DIR, joined here for keys and screenshots, KWin nested in a private X server.
class HeadlessCompositor
{
public:
    // SwayScanningOut: sway as users run it, putting a full-screen window's buffer on its output as
    // it is where it can (direct scan-out). Its headless backend then keeps what sway last rendered
    // there, which is what screenshots show: only windows sway does not scan out show as they are.
    enum class Desktop { Sway, SwayScanningOut, GnomeShell, KWin };

    explicit HeadlessCompositor(Desktop desktop = Desktop::Sway);
    ~HeadlessCompositor();
    HeadlessCompositor(const HeadlessCompositor &) = delete;
    HeadlessCompositor &operator=(const HeadlessCompositor &) = delete;

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
    // What an output shows (sway's by name), with the pointer drawn in where it is over the output.
    QImage screenshot(const QString &output = {}, bool withPointer = false) const;
    // Presses and releases a key (an xkb name such as "space" or "Return"; on gnome-shell only
    // Escape, space and x).
    bool key(const QString &name) const;
    QDBusConnection bus() const { return QDBusConnection(QStringLiteral("compositor")); } // gnome-shell's
    // Whether a window of this title comes onto an output within ten seconds, as sway's layout
    // tree says.
    bool showsWindow(const QString &title) const;
    // A copy of the program that the compositor's user may run, wherever the original lies.
    QString runnableCopy(const QString &program) const;

private:
    bool startSway(const QString &runtime, bool scanOut);
    bool startGnomeShell(const QString &runtime);
    bool startKWin(const QString &runtime);
    bool call(const QString &path, const QString &method, const QVariantList &arguments = {}) const;

    Desktop desktop_;
    QTemporaryDir folder_;
    QProcess compositor_;
    QProcess sessionBus_;
    QProcess systemBus_;
    std::unique_ptr<XvfbServer> xvfb_;
    QString socket_;
    QString ipcSocket_;
    QString remoteDesktop_;
};

// A pointer device on sway's seat, which the headless backend lacks, through wlroots'
// virtual-pointer protocol. Each call returns once the compositor has the input.
class VirtualPointer
{
public:
    explicit VirtualPointer(const HeadlessCompositor &session);
    ~VirtualPointer();

    bool move(int dx, int dy) { return send(QStringLiteral("move %1 %2\n").arg(dx).arg(dy).toLatin1()); }
    bool click() { return send("click\n"); }
    bool wheel() { return send("wheel\n"); }

private:
    bool send(const QByteArray &line);

    QProcess client_;
};
