#include "autostart_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// A program path as a desktop entry's Exec key takes it: quoted where it holds anything but plain
// characters, with the quoting's own backslashes doubled again by the file's string escapes.
QString execArgument(QString path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9/._+,:@=-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    path.replace(QLatin1Char('\\'), QLatin1String("\\\\\\\\"));
    for (const char *special : {"\"", "`", "$"})
        path.replace(QLatin1String(special), QLatin1String("\\\\") + QLatin1String(special));
    path.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + path + QLatin1Char('"');
}

} // namespace

QString AutostartEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QLatin1String("/.config");
    return config + QLatin1String("/autostart/clocksaver-watch.desktop");
}

bool WriteAutostartEntry(const QString &program, const QString &watchTime, QString *why)
{
    const QString path = AutostartEntryPath();
    if (program.contains(QLatin1Char('\n')) || program.contains(QLatin1Char('\r'))) {
        *why = QStringLiteral("cannot name a program whose path has a line break in an autostart entry");
        return false;
    }
    QSaveFile entry(path);
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Clocksaver\n"
                                        "Comment=Shows the clocks when the computer has been idle\n"
                                        "Icon=clocksaver\n"
                                        "Exec=%1 --watch %2\n"
                                        "NoDisplay=true\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execArgument(program), watchTime);
    if (!QDir().mkpath(QFileInfo(path).path()) || !entry.open(QIODevice::WriteOnly) || entry.write(text.toUtf8()) < 0
        || !entry.commit()) {
        *why = QStringLiteral("cannot write %1: %2").arg(path, entry.errorString());
        return false;
    }
    return true;
}

bool RemoveAutostartEntry(QString *why)
{
    QFile entry(AutostartEntryPath());
    if (!entry.exists() || entry.remove())
        return true;
    *why = QStringLiteral("cannot remove %1: %2").arg(entry.fileName(), entry.errorString());
    return false;
}
