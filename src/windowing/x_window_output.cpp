#include "x_window_output.h"

#include "drawing/shared_memory.h"

#include <QGuiApplication>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Shared with the server: a tick's areas at any screen size many times over, so that waiting
// for the server to catch up before reusing it is rare.
constexpr std::size_t SharedBytes = 2 << 20;

// The request's own fields before its pixels.
constexpr std::size_t PutImageHeaderBytes = 24;
// A larger area goes in several requests, so the buffer that gathers its rows stays small.
constexpr std::size_t MaxRequestPixels = 64 * 1024;

xcb_connection_t *qtConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11)
        return nullptr;
    return x11->connection();
}

// RGB32 is one 32-bit word a pixel, 0xffRRGGBB in the machine's byte order; the window's visual
// and the server's layout for its depth must read such words the same way.
bool takesRgb32(xcb_connection_t *connection, xcb_visualid_t visual, std::uint8_t &depth)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const auto machineOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? XCB_IMAGE_ORDER_LSB_FIRST
                                                                            : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != machineOrder)
        return false;
    for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens))
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem; xcb_depth_next(&depths))
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
                const xcb_visualtype_t &type = *visuals.data;
                if (type.visual_id != visual)
                    continue;
                depth = depths.data->depth;
                if (type._class != XCB_VISUAL_CLASS_TRUE_COLOR || type.red_mask != 0xFF0000u || type.green_mask != 0x00FF00u
                    || type.blue_mask != 0x0000FFu)
                    return false;
                for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
                    if (formats.data->depth == depth)
                        return formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
                return false;
            }
    return false;
}

} // namespace

bool XWindowOutput::available()
{
    return qtConnection() != nullptr;
}

std::unique_ptr<XWindowOutput> XWindowOutput::forWindow(std::uint32_t window, const QImage &picture,
                                                        const ControlMapping &mapping)
{
    xcb_connection_t *connection = qtConnection();
    if (!connection || window == 0 || !mapping.pixelForPixel())
        return nullptr;
    xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr);
    if (!attributes)
        return nullptr;
    std::uint8_t depth = 0;
    const bool usable = takesRgb32(connection, attributes->visual, depth);
    std::free(attributes);
    if (!usable)
        return nullptr;
    return std::unique_ptr<XWindowOutput>(new XWindowOutput(picture, mapping, connection, window, depth));
}

XWindowOutput::XWindowOutput(const QImage &picture, const ControlMapping &mapping, xcb_connection_t *connection,
                             std::uint32_t window, std::uint8_t depth)
    : picture_(picture), mapping_(mapping), connection_(connection), window_(window), gc_(xcb_generate_id(connection)),
      depth_(depth)
{
    // Pixels the window does not show cost nothing; events for them would only wake the program.
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    const std::size_t requestBytes = std::size_t(xcb_get_maximum_request_length(connection_)) * 4;
    requestPixels_ = std::min(MaxRequestPixels, (requestBytes - PutImageHeaderBytes) / 4);
    shareMemory();
}

XWindowOutput::~XWindowOutput()
{
    if (segment_) {
        // The server keeps its own mapping until it has done the puts before the detach.
        xcb_shm_detach(connection_, segment_);
        munmap(shared_, SharedBytes);
    }
    xcb_free_gc(connection_, gc_);
}

// Shared memory handed over as a descriptor came with version 1.2.
bool XWindowOutput::serverSharesMemory() const
{
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection_, &xcb_shm_id);
    if (!extension || !extension->present)
        return false;
    xcb_shm_query_version_reply_t *version = xcb_shm_query_version_reply(connection_, xcb_shm_query_version(connection_),
                                                                         nullptr);
    const bool fds = version && (version->major_version > 1 || version->minor_version >= 2);
    std::free(version);
    return fds;
}

void XWindowOutput::shareMemory()
{
    if (!serverSharesMemory())
        return;
    void *memory = nullptr;
    const int descriptor = MapSharedMemory("clocksaver-pixels", SharedBytes, memory);
    if (descriptor < 0)
        return;
    // The server maps the memory read-only; xcb sends the descriptor and closes it.
    const std::uint32_t segment = xcb_generate_id(connection_);
    xcb_generic_error_t *error = xcb_request_check(connection_,
                                                   xcb_shm_attach_fd_checked(connection_, segment, descriptor, 1));
    if (error) {
        std::free(error);
        munmap(memory, SharedBytes);
        return;
    }
    segment_ = segment;
    shared_ = static_cast<uchar *>(memory);
}

// The window's pixels are the picture's drawn pixels, each at the same place.
void XWindowOutput::put(const DrawnRect &area)
{
    const QRect shown = area.qt().intersected(picture_.rect());
    if (shown.isEmpty() || picture_.format() != QImage::Format_RGB32)
        return;
    if (segment_ && std::size_t(shown.width()) * 4 <= SharedBytes)
        putShared(shown);
    else
        putOverConnection(shown);
}

void XWindowOutput::putShared(const QRect &area)
{
    const std::size_t rowBytes = std::size_t(area.width()) * 4;
    const int rowsAtOnce = int(SharedBytes / rowBytes);
    for (int top = area.top(); top <= area.bottom(); top += rowsAtOnce) {
        const int rows = std::min(rowsAtOnce, area.bottom() + 1 - top);
        const std::size_t bytes = rowBytes * std::size_t(rows);
        if (sharedUsed_ + bytes > SharedBytes) {
            // A reply comes after the server has done every request before, reading the memory.
            std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
            sharedUsed_ = 0;
        }
        for (int row = 0; row < rows; ++row)
            std::memcpy(shared_ + sharedUsed_ + std::size_t(row) * rowBytes,
                        picture_.constScanLine(top + row) + std::size_t(area.left()) * 4, rowBytes);
        xcb_shm_put_image(connection_, window_, gc_, std::uint16_t(area.width()), std::uint16_t(rows), 0, 0,
                          std::uint16_t(area.width()), std::uint16_t(rows), std::int16_t(area.left()), std::int16_t(top),
                          depth_, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, std::uint32_t(sharedUsed_));
        sharedUsed_ += bytes;
    }
}

void XWindowOutput::putOverConnection(const QRect &area)
{
    const int width = area.width();
    const int rowsPerRequest = int(std::max<std::size_t>(1, requestPixels_ / std::size_t(width)));
    for (int top = area.top(); top <= area.bottom(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, area.bottom() + 1 - top);
        rows_.resize(std::size_t(width) * rows);
        for (int row = 0; row < rows; ++row)
            std::memcpy(rows_.data() + std::size_t(row) * width,
                        reinterpret_cast<const std::uint32_t *>(picture_.constScanLine(top + row)) + area.left(),
                        std::size_t(width) * 4);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, std::uint16_t(width), std::uint16_t(rows),
                      std::int16_t(area.left()), std::int16_t(top), 0, depth_, std::uint32_t(rows_.size() * 4),
                      reinterpret_cast<const std::uint8_t *>(rows_.data()));
    }
}

void XWindowOutput::show(const DrawnRect &area)
{
    put(area);
    pending_ = true;
}

void XWindowOutput::expose(const QRegion &controlRegion)
{
    exposed_ += controlRegion;
    pending_ = true;
}

void XWindowOutput::flush()
{
    for (const QRect &area : std::exchange(exposed_, {}))
        put(mapping_.drawnArea(ControlRect(area)));
    if (pending_)
        xcb_flush(connection_);
    pending_ = false;
}

// Moved by Qt, the window would take Qt's repaint of the whole area it leaves and enters in the
// form, several times the server's work of moving it.
bool XWindowOutput::move(const QPoint &devicePlace)
{
    const std::uint32_t place[] = {std::uint32_t(devicePlace.x()), std::uint32_t(devicePlace.y())};
    xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    pending_ = true;
    return true;
}
