#include "wayland_output.h"

#include "wayland/wayland_globals.h"

#include <QWidget>
#include <QWindow>

std::unique_ptr<WaylandOutput> WaylandOutput::forControl(QWidget &control, const QImage &picture,
                                                         const ControlMapping &mapping)
{
    const WaylandGlobals *globals = WaylandGlobals::get();
    if (!globals || !globals->subcompositor || picture.format() != QImage::Format_RGB32)
        return nullptr;
    return std::unique_ptr<WaylandOutput>(new WaylandOutput(*globals, control, picture, mapping));
}

WaylandOutput::WaylandOutput(const WaylandGlobals &globals, QWidget &control, const QImage &picture,
                             const ControlMapping &mapping)
    : globals_(globals), control_(control), picture_(picture), mapping_(mapping), surface_(globals)
{
    book_.reset(picture.size());
}

void WaylandOutput::flush()
{
    wl_surface *window = SurfaceOf(control_.window()->windowHandle());
    if (!window)
        return;
    if (surface_.over(window)) {
        // Qt made the window's surface afresh: the whole picture goes onto a new surface over it.
        book_.reset(picture_.size());
    }
    surface_.place(control_.mapTo(control_.window(), QPoint(0, 0)));
    const int buffer = book_.next();
    if (book_.pending() && buffer >= 0) {
        auto &memory = buffers_[buffer];
        if (!memory) {
            memory = std::make_unique<ShmMemory>(globals_, picture_.size());
            memory->onRelease([this, buffer] { book_.released(buffer); });
        }
        if (memory->isValid()) {
            for (const QRect &box : book_.lacking(buffer))
                memory->copy(picture_, box);
            surface_.show(memory->buffer(), mapping_.bounds().qt().size(), book_.shown(buffer));
        }
    }
}
