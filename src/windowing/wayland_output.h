#pragma once

#include "wayland/buffer_book.h"
#include "wayland/event_queue.h"
#include "wayland/picture_surface.h"
#include "wayland/shm_memory.h"
#include "windowing/control_mapping.h"
#include "windowing/picture_output.h"

#include <QImage>

#include <array>
#include <memory>

class QWidget;

// Straight to a Wayland compositor, beside Qt's painting: the picture's pixels live in shared-
// memory buffers of the output's own, on a surface of its own over the control's place in its
// window (see PictureSurface), shown at the control's size whatever the screen's scale. The
// picture is drawn in a buffer the compositor does not hold; a flush hands that buffer over with
// just the boxes drawn since damaged. Drawing that comes while the compositor holds it moves to
// the other buffer first, brought up to date by copying the boxes it lacks; BufferBook keeps the
// accounts. Two buffers at most, the second made only once drawing moves, and the picture the
// control made goes once it is in the first: the picture costs two screens' worth of memory.
class WaylandOutput : public PictureOutput
{
public:
    // None unless Qt runs on a Wayland compositor that has what this needs (see WaylandGlobals).
    // `control` is the widget that shows the picture, as the mapping says. The output takes the
    // picture's pixels into its buffers and points `picture` at them; the picture goes with the
    // output.
    static std::unique_ptr<WaylandOutput> forControl(QWidget &control, QImage &picture, const ControlMapping &mapping);
    ~WaylandOutput() override;
    WaylandOutput(const WaylandOutput &) = delete;
    WaylandOutput &operator=(const WaylandOutput &) = delete;

    bool paintsWindowItself() const override { return true; }
    void aboutToDraw() override;
    void show(const DrawnRect &area) override { book_.changed(area.qt()); }
    // The compositor keeps what it was last given; nothing to send again.
    void expose(const QRegion &) override {}
    void flush() override;
    // Qt moves the control; the surface follows at the next flush.
    bool move(const QPoint &) override { return false; }

private:
    WaylandOutput(const WaylandGlobals &globals, QWidget &control, QImage &picture, const ControlMapping &mapping);

    // Whether the picture lies in a buffer the compositor does not hold; if not, puts it in the
    // free one where there is one.
    bool pictureWritable();
    bool inBuffer(int buffer) const;

    const WaylandGlobals &globals_;
    QWidget &control_;
    QImage &picture_;
    const ControlMapping &mapping_;
    BufferBook book_;
    // The buffers' releases: waited for where drawing finds both buffers held.
    EventQueue releases_;
    // The surface goes before its buffers, so the compositor never shows a buffer that is gone.
    std::array<std::unique_ptr<ShmMemory>, BufferBook::Buffers> buffers_;
    // The buffer the picture lies in; none while it is still the one the control made.
    int drawnInto_ = -1;
    PictureSurface surface_;
};
