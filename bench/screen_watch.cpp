// Watches the clock screen on the X server named by DISPLAY, looking every twenty seconds, and on
// SIGTERM or SIGINT prints what it saw: "<globe updates> <wander steps> <farthest offset>".
//
// - A wander step is a look that finds the picture's window somewhere else than the look before;
//   the farthest offset is the largest distance, in pixels, it was seen from its centred place.
// - A globe update is a look at which many pixels on a few rows across each dial changed a
//   little since the look before, as the day and night shading does when it is redrawn. The
//   hands change few pixels on a row, and those strongly.
//
// A look is one round trip to the server for the window's place and a few rows of pixels, a few
// dozen kilobytes: about 0.2 ms of the server's time at 3840x2160, so looking every twenty
// seconds adds under 0.001 % of a processor to the server's figure and nothing to the program's.
//
//   screen_watch [seconds between looks, default 20]

#include "hauptw/dial_layout.h"
#include "drawing/picture_fit.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

// Rows looked at across each dial.
constexpr int RowsPerDial = 8;
// A pixel changed a little when no channel changed by more than this.
constexpr int LittleChange = 40;
// A look sees a globe update when this share of the pixels looked at changed a little.
constexpr int UpdateShareInPercent = 1;

volatile std::sig_atomic_t stopping = 0;

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename Reply>
using Owned = std::unique_ptr<Reply, FreeReply>;

// The mapped child of a top-level window that has the size of the fitted picture, if any.
xcb_window_t findPictureWindow(xcb_connection_t *connection, xcb_window_t root, const QSize &size)
{
    const Owned<xcb_query_tree_reply_t> top(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!top)
        return XCB_NONE;
    const xcb_window_t *windows = xcb_query_tree_children(top.get());
    for (int index = 0; index < xcb_query_tree_children_length(top.get()); ++index) {
        const Owned<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, windows[index]), nullptr));
        if (!tree)
            continue;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int child = 0; child < xcb_query_tree_children_length(tree.get()); ++child) {
            const Owned<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(connection, xcb_get_geometry(connection, children[child]), nullptr));
            const Owned<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[child]), nullptr));
            if (!geometry || !attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE
                || QSize(geometry->width, geometry->height) != size)
                continue;
            return children[child];
        }
    }
    return XCB_NONE;
}

// The rows looked at, in the window's pixels: across each dial's square, evenly spaced.
std::vector<QRect> rowsAcrossTheDials(double scale)
{
    std::vector<QRect> rows;
    for (const int left : {DialLayout::LocalClockLeft, DialLayout::UtcClockLeft})
        for (int row = 0; row < RowsPerDial; ++row) {
            const double y = DialLayout::ClockTop + (row + 0.5) * DialLayout::ClockSize / RowsPerDial;
            rows.emplace_back(int(left * scale), int(y * scale), int(DialLayout::ClockSize * scale), 1);
        }
    return rows;
}

// The rows' pixels, one after the other; empty when the window could not be read.
std::vector<std::uint32_t> readRows(xcb_connection_t *connection, xcb_window_t window, const std::vector<QRect> &rows)
{
    std::vector<xcb_get_image_cookie_t> cookies;
    for (const QRect &row : rows)
        cookies.push_back(xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(row.x()),
                                        std::int16_t(row.y()), std::uint16_t(row.width()), 1, ~0u));
    std::vector<std::uint32_t> pixels;
    bool complete = true;
    for (const xcb_get_image_cookie_t cookie : cookies) {
        const Owned<xcb_get_image_reply_t> image(xcb_get_image_reply(connection, cookie, nullptr));
        if (!image || image->depth < 24) {
            complete = false;
            continue;
        }
        const auto *data = reinterpret_cast<const std::uint32_t *>(xcb_get_image_data(image.get()));
        pixels.insert(pixels.end(), data, data + xcb_get_image_data_length(image.get()) / 4);
    }
    return complete ? pixels : std::vector<std::uint32_t>();
}

int littleChanges(const std::vector<std::uint32_t> &before, const std::vector<std::uint32_t> &after)
{
    int count = 0;
    for (std::size_t index = 0; index < std::min(before.size(), after.size()); ++index) {
        int largest = 0;
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest,
                               std::abs(int((before[index] >> shift) & 0xFF) - int((after[index] >> shift) & 0xFF)));
        count += largest > 0 && largest <= LittleChange;
    }
    return count;
}

// What the looks saw so far.
struct Watch
{
    QRect centred;
    std::vector<QRect> rows;
    int updateChanges = 0;
    int updates = 0;
    int steps = 0;
    double farthest = 0;
    std::optional<QPoint> offset;
    std::vector<std::uint32_t> seen;

    // One round trip: the window's place and its rows asked for together. False when the window
    // could not be read, gone or hidden.
    bool look(xcb_connection_t *connection, xcb_window_t window, xcb_window_t root)
    {
        const xcb_translate_coordinates_cookie_t asked = xcb_translate_coordinates(connection, window, root, 0, 0);
        std::vector<std::uint32_t> pixels = readRows(connection, window, rows);
        const Owned<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(connection, asked, nullptr));
        if (!place || pixels.empty())
            return false;
        const QPoint now = QPoint(place->dst_x, place->dst_y) - centred.topLeft();
        steps += offset && now != *offset;
        offset = now;
        farthest = std::max(farthest, std::hypot(now.x(), now.y()));
        if (!seen.empty())
            updates += littleChanges(seen, pixels) >= updateChanges;
        seen = std::move(pixels);
        return true;
    }
};

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::signal(SIGTERM, [](int) { stopping = 1; });
    std::signal(SIGINT, [](int) { stopping = 1; });
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "screen_watch: no X server\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    Watch watch;
    watch.centred = FitPictureInside(QSize(screen->width_in_pixels, screen->height_in_pixels), DialLayout::PictureSize);
    watch.rows = rowsAcrossTheDials(double(watch.centred.width()) / DialLayout::PictureSize.width());
    watch.updateChanges = std::max(16, int(watch.rows.size()) * watch.rows.front().width() * UpdateShareInPercent / 100);
    // The window tree only while the picture's window is not known.
    xcb_window_t window = XCB_NONE;
    while (!stopping) {
        if (window == XCB_NONE)
            window = findPictureWindow(connection, screen->root, watch.centred.size());
        if (window != XCB_NONE && !watch.look(connection, window, screen->root))
            window = XCB_NONE;
        // A signal ends the sleep early.
        sleep(unsigned(seconds));
    }
    std::printf("%d %d %.1f\n", watch.updates, watch.steps, watch.farthest);
    xcb_disconnect(connection);
    return 0;
}
