// Starts a program on the X server named by DISPLAY and says how long after exec the clock
// screen's first frame is there: the left dial's grey hub, where the picture fitted to the
// root window has it. Prints "<pid> <milliseconds>" and leaves the program running, its
// output going nowhere.
//
//   first_frame <program> [arguments...]

#include "hauptw/dial_layout.h"
#include "drawing/picture_fit.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};

bool isHubGrey(xcb_connection_t *connection, xcb_window_t root, int x, int y)
{
    const std::unique_ptr<xcb_get_image_reply_t, FreeReply> image(xcb_get_image_reply(
        connection, xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, x, y, 1, 1, ~0u), nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < 3)
        return false;
    const uint8_t *bgr = xcb_get_image_data(image.get());
    for (int channel = 0; channel < 3; ++channel)
        if (bgr[channel] < 112 || bgr[channel] > 144)
            return false;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_frame <program> [arguments...]\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "first_frame: no X server\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const QRect picture = FitPictureInside(QSize(screen->width_in_pixels, screen->height_in_pixels),
                                           DialLayout::PictureSize);
    const double scale = double(picture.width()) / DialLayout::PictureSize.width();
    const int x = picture.left() + int((DialLayout::LocalCentre.x() + 0.5) * scale);
    const int y = picture.top() + int((DialLayout::LocalCentre.y() + 0.5) * scale);
    if (isHubGrey(connection, screen->root, x, y)) {
        std::fprintf(stderr, "first_frame: the screen shows a hub already\n");
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // Whoever reads our output waits for its end, which must not wait for the program's.
        freopen("/dev/null", "w", stdout);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    while (!isHubGrey(connection, screen->root, x, y)) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) {
            std::fprintf(stderr, "first_frame: no frame within 30 s\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%d %.1f\n", int(pid), elapsed.count());
    xcb_disconnect(connection);
    return 0;
}
