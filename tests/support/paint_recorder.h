#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

// Counts the paint events a widget gets, collects the areas they repaint and adds up their pixels.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget &widget) { widget.installEventFilter(this); }

    QRegion painted;
    int paints = 0;
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRegion region = static_cast<QPaintEvent *>(event)->region();
            painted += region;
            ++paints;
            for (const QRect &rect : region)
                pixels += qint64(rect.width()) * rect.height();
        }
        return false;
    }
};
