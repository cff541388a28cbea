#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT, which screen-saver hosts use to end their program, into a
// Qt signal on the GUI thread. The handler itself only writes a byte to a pipe.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    QSocketNotifier *notifier_ = nullptr;
};
