#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

// Counts the paint events a widget gets and collects the areas they repaint.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget &widget) { widget.installEventFilter(this); }

    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }
};
