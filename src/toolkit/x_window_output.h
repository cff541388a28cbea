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

    // Shows the image's pixels of the area at the same place in the window.
    void put(const QImage &image, const QRect &area);
    // Hands what was put to the server.
    void flush();

private:
    XWindowOutput(xcb_connection_t *connection, std::uint32_t window, std::uint8_t depth);

    xcb_connection_t *connection_;
    std::uint32_t window_;
    std::uint32_t gc_;
    std::uint8_t depth_;
    // Pixels per request at most, which the server caps.
    std::size_t requestPixels_;
    // The rows of an area, side by side, as the request carries them.
    std::vector<std::uint32_t> rows_;
};
