#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QWidget>

// Watches a widget's paint events: how many arrived and how many screen pixels they covered.
class TickProbe : public QObject
{
public:
    explicit TickProbe(QWidget &widget) { widget.installEventFilter(this); }

    int paints = 0;
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &rect : static_cast<QPaintEvent *>(event)->region())
                pixels += qint64(rect.width()) * rect.height();
        }
        return false;
    }
};

// Lets the event loop run until nothing is left that the last drawing call started.
inline void settle()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}
