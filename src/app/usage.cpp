#include "usage.h"

bool IsHelpRequest(const QStringList &arguments)
{
    const QString first = arguments.value(1);
    return first == QLatin1String("--help") || first == QLatin1String("-h");
}

bool IsVersionRequest(const QStringList &arguments)
{
    return arguments.value(1) == QLatin1String("--version");
}

QString UsageText(const QString &programName, const QString &basePath)
{
    return QStringLiteral("Usage: %1 /S | -root | /C\n"
                          "A clock screen saver: a photograph with two clocks, local time and UTC.\n"
                          "\n"
                          "  /S     show the clocks over the whole screen; a key or a mouse movement ends them\n"
                          "  -root  the same (also --root), as XScreenSaver's display programs take it\n"
                          "  /C     open the settings: the screen text and the two hour differences\n"
                          "  --watch MINUTES      wait in the foreground and show the clocks once the user\n"
                          "                       has been idle that long (20s: seconds)\n"
                          "  --autostart MINUTES  start such a watcher now and at each log-in; off: no more\n"
                          "  --version  print the version\n"
                          "  Any other argument shows nothing.\n"
                          "\n"
                          "With XSCREENSAVER_WINDOW set to an X window id, as XScreenSaver and MATE's screen\n"
                          "saver do, /S and -root draw the clocks in that window instead.\n"
                          "\n"
                          "The files live beside the program when its folder is writable, else in\n"
                          "$XDG_CONFIG_HOME/clocksaver (~/.config/clocksaver); for this user now:\n"
                          "Settings file: %2.ini\n"
                          "Lock file:     %2 (exists while a copy runs)\n")
        .arg(programName, basePath);
}
