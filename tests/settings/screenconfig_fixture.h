#pragma once
// What the settings dialog tests share: a settings sandbox (support/settings_sandbox.h) and the
// dialog's controls by name.

#include "settings/screenc.h"
#include "support/settings_sandbox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
