#pragma once

#include "watch/idle_source.h"

#include <QProcess>
#include <QTimer>

#include <chrono>

// Shows the clocks, the program run with /S in a process of its own, each time the source says
// the user has been idle, unless the desktop holds idle back or the clocks show already. A copy
// the user or a screen-saver host started keeps its lock, and the one started here then leaves
// at once without a word.
class IdleWatcher : public QObject
{
    Q_OBJECT

public:
    IdleWatcher(IdleSource &source, std::chrono::milliseconds idleTime, const QString &program);
    ~IdleWatcher() override;

    // Ends the clocks started here, if they show: at once, or (as when the session has gone and
    // they end by themselves) after a while.
    void endClocks(int graceMs = 0);

private:
    void onIdle();

    IdleSource &source_;
    QString program_;
    QProcess clocks_;
    // While the desktop holds idle back, the same idle period is looked at again this often.
    QTimer heldBack_;
};
