#pragma once

#include "wayland/buffer_book.h"
#include "wayland/picture_surface.h"
#include "wayland/shm_memory.h"
#include "windowing/control_mapping.h"
#include "windowing/picture_output.h"

#include <QImage>

#include <array>
#include <memory>

class QWidget;

// Straight to a Wayland compositor, beside Qt's painting: the picture's pixels go into shared-
// memory buffers of the output's own, on a surface of its own over the control's place in its
// window (see PictureSurface), shown at the control's size whatever the screen's scale. A flush
// copies the boxes drawn since into a buffer the compositor does not hold and hands it over with
// just those boxes damaged; BufferBook keeps the accounts. Two buffers at most, the second made
// only once the compositor holds the first when the next boxes are due.
class WaylandOutput : public PictureOutput
{
public:
    // None unless Qt runs on a Wayland compositor that has what this needs (see WaylandGlobals).
    // `control` is the widget that shows the picture, as the mapping says.
    static std::unique_ptr<WaylandOutput> forControl(QWidget &control, const QImage &picture, const ControlMapping &mapping);
    WaylandOutput(const WaylandOutput &) = delete;
    WaylandOutput &operator=(const WaylandOutput &) = delete;

    bool paintsWindowItself() const override { return true; }
    void show(const DrawnRect &area) override { book_.changed(area.qt()); }
    // The compositor keeps what it was last given; nothing to send again.
    void expose(const QRegion &) override {}
    void flush() override;
    // Qt moves the control; the surface follows at the next flush.
    bool move(const QPoint &) override { return false; }

private:
    WaylandOutput(const WaylandGlobals &globals, QWidget &control, const QImage &picture, const ControlMapping &mapping);

    const WaylandGlobals &globals_;
    QWidget &control_;
    const QImage &picture_;
    const ControlMapping &mapping_;
    BufferBook book_;
    // The surface goes before its buffers, so the compositor never shows a buffer that is gone.
    std::array<std::unique_ptr<ShmMemory>, BufferBook::Buffers> buffers_;
    PictureSurface surface_;
};
