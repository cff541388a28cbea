#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

// Sends pixels of an RGB32 image straight into an X window over Qt's own connection to the
// server: no window-sized buffer on either side, and no round trip to wait for, so an update
// costs the program and the server little more than the bytes it carries.
class XWindowOutput
{
public:
    // None unless Qt runs on an X server and the window keeps its pixels as RGB32 does.
    static std::unique_ptr<XWindowOutput> forWindow(std::uintptr_t window);
    ~XWindowOutput();
    XWindowOutput(const XWindowOutput &) = delete;
    XWindowOutput &operator=(const XWindowOutput &) = delete;

    // The pixels, moved into memory that the server reads itself, so that putting them sends
    // none over the connection; as they are where the server has no shared memory. Valid while
    // this output lives, until the next call.
    QImage share(QImage pixels);
    // Gives the shared memory back; an image share() made must be gone by then.
    void unshare();
    // Shows the image's pixels of the area at the same place in the window.
    void put(const QImage &image, const QRect &area);
    // Hands what was put to the server.
    void flush();

private:
    XWindowOutput(xcb_connection_t *connection, std::uint32_t window, std::uint8_t depth);
    bool serverSharesMemory() const;

    xcb_connection_t *connection_;
    std::uint32_t window_;
    std::uint32_t gc_;
    std::uint8_t depth_;
    // Pixels per request at most, which the server caps.
    std::size_t requestPixels_;
    // The rows of an area, side by side, as the request carries them.
    std::vector<std::uint32_t> rows_;
    // The shared pixels and the server's name for them; no segment is 0.
    std::uint32_t segment_ = 0;
    uchar *shared_ = nullptr;
    std::size_t sharedBytes_ = 0;
};
