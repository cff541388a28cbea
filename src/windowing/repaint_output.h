#pragma once

#include "windowing/picture_output.h"

class ImageControl;

// Through Qt's repaint: a change asks for the part of the control that shows it to be repainted,
// and the paint event draws the picture there, stretched to the control where sizes differ.
class RepaintOutput : public PictureOutput
{
public:
    explicit RepaintOutput(ImageControl &control);

    void show(const QRect &pixelArea) override;
    void expose(const QRegion &controlRegion) override;
    void flush() override {}
    bool move(const QPoint &) override { return false; }

private:
    ImageControl &control_;
};
