#pragma once

#include "windowing/control_mapping.h"
#include "windowing/picture_output.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

// Straight into the control's own X window, over Qt's own connection to the server: no
// window-sized buffer on either side and Qt's repaint not involved, and mostly no round trip to
// wait for, so an update costs the program and the server little more than the bytes it carries.
// What is shown goes out when flushed, all of a tick's areas in one write.
class XWindowOutput : public PictureOutput
{
public:
    // Qt runs on an X server.
    static bool available();
    // Into this X window, which shows the picture pixel for pixel as the mapping says; none
    // unless the window keeps pixels as RGB32 does.
    static std::unique_ptr<XWindowOutput> forWindow(std::uint32_t window, const QImage &picture,
                                                    const ControlMapping &mapping);
    ~XWindowOutput() override;
    XWindowOutput(const XWindowOutput &) = delete;
    XWindowOutput &operator=(const XWindowOutput &) = delete;

    bool paintsWindowItself() const override { return true; }
    void show(const DrawnRect &area) override;
    void expose(const QRegion &controlRegion) override;
    void flush() override;
    // The server moves the window with its pixels, and clears where it was to the parent's
    // background; Qt learns the place from the server.
    bool move(const QPoint &devicePlace) override;

private:
    XWindowOutput(const QImage &picture, const ControlMapping &mapping, xcb_connection_t *connection, std::uint32_t window,
                  std::uint8_t depth);
    // Shows the picture's pixels of the area at the same place in the window.
    void put(const DrawnRect &area);
    bool serverSharesMemory() const;
    // Memory the server reads pixels from, where it can; else the pixels go over the connection.
    void shareMemory();
    void putShared(const QRect &area);
    void putOverConnection(const QRect &area);

    const QImage &picture_;
    const ControlMapping &mapping_;
    xcb_connection_t *connection_;
    std::uint32_t window_;
    std::uint32_t gc_;
    std::uint8_t depth_;
    // Pixels per request at most, which the server caps.
    std::size_t requestPixels_;
    // The rows of an area, side by side, as the request carries them.
    std::vector<std::uint32_t> rows_;
    // Shared memory the areas put are copied into, one after the other, each area's rows side by
    // side: the server then reads a few pages where it would read one per row of the picture.
    // Its name at the server; no segment is 0.
    std::uint32_t segment_ = 0;
    uchar *shared_ = nullptr;
    // Bytes in use since the server last caught up.
    std::size_t sharedUsed_ = 0;
    // Shown since the last flush.
    bool pending_ = false;
    // Exposed since the last flush, in the control's coordinates: Qt repaints a native child
    // once for its own window's exposure and again for its top-level's, and each pixel is to go
    // once.
    QRegion exposed_;
};
