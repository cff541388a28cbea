#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

// A private X server for one test, on a display number it picks itself.
class XvfbServer
{
public:
    explicit XvfbServer(int width = 1024, int height = 768, const QStringList &extraArguments = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // The usual two-monitor desk on one 3200x1080 screen: monitor A 1920x1080 at the left (the
    // primary), monitor B 1280x1024 beside it. The server keeps them when the last client leaves.
    // The server's one output, "screen", belongs to A, or to B if asked: then `xrandr --output
    // screen --primary` makes B the primary monitor.
    static std::unique_ptr<XvfbServer> withTwoMonitors(bool outputOnB = false);

    bool isRunning() const { return !display_.isEmpty(); }
    QString display() const { return display_; }
    // This process's environment pointed at the server, with the X platform plugin.
    QProcessEnvironment environment() const;

    // Runs an X client (xdotool, import, ...) against the server; returns its standard output.
    QByteArray run(const QString &program, const QStringList &arguments, int *exitCode = nullptr) const;
    QImage screenshot() const;
    // Waits for a window with this title and gives it the keyboard focus; its id, or empty.
    QString focusWindow(const QString &title) const;
    // Runs xdotool with the arguments; false when it failed.
    bool xdotool(const QStringList &arguments, QByteArray *output = nullptr) const;

private:
    QProcess server_;
    QString display_;
};
