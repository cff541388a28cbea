#pragma once
// What the settings dialog tests share: a settings file in a folder of the test's own, with the
// process-wide hour differences back at their start values, and the dialog's controls by name.

#include "app/base_path.h"
#include "opdate/opdate.h"
#include "settings/screenc.h"
#include "settings/settings_file.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class SettingsFolder
{
public:
    SettingsFolder()
    {
        BasePath = dir_.filePath(QStringLiteral("clocksaver.in1"));
        LocalOffset = 0;
        UtcOffset = -1;
    }

    QString settingsPath() const { return SettingsFilePath(); }
    bool hasSettings() const { return QFile::exists(settingsPath()); }

    void writeSettings(const QByteArray &contents) const
    {
        QFile file(settingsPath());
        if (file.open(QIODevice::WriteOnly))
            file.write(contents);
    }

    QByteArray settings() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

inline QLineEdit *Edit(const Tscreenconfig &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QLatin1String(name));
}

inline QPushButton *Button(const Tscreenconfig &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

// Shows the dialog and waits until it takes keyboard input.
[[nodiscard]] inline bool ShowActive(Tscreenconfig &dialog)
{
    dialog.show();
    return QTest::qWaitForWindowActive(&dialog);
}
