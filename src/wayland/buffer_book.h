#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>

#include <array>

// The books of a surface's shared-memory buffers: which ones the compositor holds (from the
// moment one is shown until it says it has released it), and which boxes of the picture each one
// still lacks. A buffer the compositor holds may be read at any moment, so nothing is copied into
// it; a free one is brought up to date by copying only the boxes drawn since it was last shown.
// No Wayland calls here: the output that owns the buffers reports what happens to them.
class BufferBook
{
public:
    static constexpr int Buffers = 2;

    // Buffers for a picture of this size on a surface that shows nothing yet: each lacks all of
    // it. Those the compositor held, it still holds until it says otherwise.
    void reset(const QSize &picture);
    // Drawing changed this box of the picture: every buffer lacks it, and the next one shown
    // tells the compositor so.
    void changed(const QRect &box);
    // Whether something is to be shown.
    bool pending() const { return !damage_.isEmpty(); }
    // The buffer to bring up to date and show next: the free one that lacks least (the one shown
    // last, where the compositor has let it go already); -1 while the compositor holds both.
    int next() const;
    const QRegion &lacking(int buffer) const { return lacking_[buffer]; }
    // The buffer has been brought up to date and goes to the compositor; returns the part of the
    // picture the compositor is to take from it, all that changed since a buffer was last shown.
    QRegion shown(int buffer);
    void released(int buffer) { held_[buffer] = false; }
    bool held(int buffer) const { return held_[buffer]; }

private:
    std::array<QRegion, Buffers> lacking_;
    std::array<bool, Buffers> held_{};
    QRegion damage_;
};
