#pragma once

#include "windowing/control_mapping.h"
#include "windowing/picture_output.h"

#include <QImage>

class QWidget;

// Through Qt's repaint: a change asks for the part of the window that shows it to be repainted,
// and the paint event draws the picture there, stretched to the window where sizes differ.
class RepaintOutput : public PictureOutput
{
public:
    // `window` is the widget that shows the picture, as the mapping says.
    RepaintOutput(QWidget &window, const QImage &picture, const ControlMapping &mapping)
        : window_(window), picture_(picture), mapping_(mapping)
    {
    }

    bool paintsWindowItself() const override { return false; }
    void show(const DrawnRect &area) override;
    void expose(const QRegion &controlRegion) override;
    void flush() override {}
    bool move(const QPoint &) override { return false; }

private:
    QWidget &window_;
    const QImage &picture_;
    const ControlMapping &mapping_;
};
