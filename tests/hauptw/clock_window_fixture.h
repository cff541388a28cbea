#pragma once
// Shared by the clock window's tests: a settings file of the test's own, a clock that stands
// still where the test puts it, and the window shown with its timer stopped, so every tick is
// the test's.

#include "hauptw/hauptwin.h"
#include "opdate/opdate.h"
#include "support/settings_sandbox.h"

#include <QTest>
#include <QTime>

#include <memory>

// The window's picture as drawn, in the 32-bit format the tests compare pixels in.
inline QImage drawnPicture(const THauptwin &window)
{
    return window.bild->picture().convertToFormat(QImage::Format_RGB32);
}

class ClockWindowFixture
{
public:
    ClockWindowFixture()
    {
        SetWallClock([this] { return now; });
    }
    ~ClockWindowFixture() { SetWallClock({}); }

    bool writeSettings(const QByteArray &contents) const { return sandbox_.writeSettings(contents); }

    // A new window over these settings, shown and laid out, its timer stopped.
    std::unique_ptr<THauptwin> showWindow(const QByteArray &settings)
    {
        if (!writeSettings(settings))
            return nullptr;
        auto window = std::make_unique<THauptwin>();
        window->TimerUhr->stop();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        QTest::qWait(20);
        return window;
    }

    // The wall clock every window of the test reads.
    QTime now = QTime(12, 0, 0);

private:
    SettingsSandbox sandbox_;
};
