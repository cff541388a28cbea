#include "wayland_output.h"

#include "wayland/wayland_globals.h"

#include <QWidget>
#include <QWindow>

namespace {

// How long drawing waits for the compositor to let a buffer go, where it holds both. It does so
// right after the other one is shown; a compositor that is gone or stuck sends nothing, and the
// clocks must not hang on it.
constexpr std::chrono::milliseconds ReleaseWait{100};

} // namespace

std::unique_ptr<WaylandOutput> WaylandOutput::forControl(QWidget &control, QImage &picture, const ControlMapping &mapping)
{
    const WaylandGlobals *globals = WaylandGlobals::get();
    if (!globals || !globals->subcompositor || picture.format() != QImage::Format_RGB32)
        return nullptr;
    return std::unique_ptr<WaylandOutput>(new WaylandOutput(*globals, control, picture, mapping));
}

WaylandOutput::WaylandOutput(const WaylandGlobals &globals, QWidget &control, QImage &picture, const ControlMapping &mapping)
    : globals_(globals), control_(control), picture_(picture), mapping_(mapping), releases_(globals.display),
      surface_(globals)
{
    book_.reset(picture.size());
}

WaylandOutput::~WaylandOutput()
{
    if (drawnInto_ >= 0 && inBuffer(drawnInto_))
        picture_ = QImage();
}

bool WaylandOutput::inBuffer(int buffer) const
{
    return buffers_[buffer] && buffers_[buffer]->holds(picture_);
}

bool WaylandOutput::pictureWritable()
{
    if (drawnInto_ >= 0 && !book_.held(drawnInto_) && inBuffer(drawnInto_))
        return true;
    const int buffer = book_.next();
    if (buffer < 0)
        return false;
    auto &memory = buffers_[buffer];
    if (!memory) {
        memory = std::make_unique<ShmMemory>(globals_, picture_.size(), releases_.queue());
        memory->onRelease([this, buffer] { book_.released(buffer); });
    }
    if (!memory->isValid())
        return false;
    // Lacking it or not, the boxes drawn into the picture since this buffer was last shown.
    for (const QRect &box : book_.lacking(buffer))
        memory->copy(picture_, box);
    picture_ = memory->image();
    drawnInto_ = buffer;
    return true;
}

void WaylandOutput::aboutToDraw()
{
    releases_.dispatchPending();
    // Before the first flush the picture is still the control's own.
    if (drawnInto_ < 0 || pictureWritable())
        return;
    // Both held: the one shown before the last is let go any moment. Where that does not come,
    // the drawing goes on in the held one rather than leave the clocks standing.
    if (releases_.await(ReleaseWait))
        pictureWritable();
}

void WaylandOutput::flush()
{
    releases_.dispatchPending();
    wl_surface *window = SurfaceOf(control_.window()->windowHandle());
    if (!window)
        return;
    if (surface_.over(window)) {
        // Qt made the window's surface afresh: the whole picture goes onto a new surface over it.
        book_.reset(picture_.size());
    }
    surface_.place(control_.mapTo(control_.window(), QPoint(0, 0)));
    if (book_.pending() && pictureWritable())
        surface_.show(buffers_[drawnInto_]->buffer(), mapping_.bounds().qt().size(), book_.shown(drawnInto_));
}
