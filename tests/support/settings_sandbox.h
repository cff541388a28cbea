#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Whole files, for what the tests put in place and check: false or empty when that fails.
bool WriteFile(const QString &path, const QByteArray &contents);
QByteArray FileContents(const QString &path);

// The hour differences as a fresh process starts with them.
void ResetHourOffsets();

// A folder of the test's own for the lock and settings files, named as a program
// clocksaver.scr there names them. This process's settings point there too (BasePath, with the
// hour differences back at their start values), so code run in the test reads and writes the
// same files as a program copied there.
class SettingsSandbox
{
public:
    SettingsSandbox();

    QString folder() const { return dir_.path(); }
    QString filePath(const QString &name) const { return dir_.filePath(name); }
    QString lockPath() const { return dir_.filePath(QStringLiteral("clocksaver.in1")); }
    QString settingsPath() const { return dir_.filePath(QStringLiteral("clocksaver.in1.ini")); }

    bool writeSettings(const QByteArray &contents) const { return WriteFile(settingsPath(), contents); }
    QByteArray settings() const { return FileContents(settingsPath()); }

private:
    QTemporaryDir dir_;
};
