#include "x_window_output.h"

#include <QGuiApplication>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Pixels copied into shared memory before the source's copy of them is given back.
constexpr std::size_t ReleaseBytes = 1 << 20;

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

std::unique_ptr<XWindowOutput> XWindowOutput::forWindow(std::uintptr_t window)
{
    xcb_connection_t *connection = qtConnection();
    if (!connection || window == 0)
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
    return std::unique_ptr<XWindowOutput>(new XWindowOutput(connection, std::uint32_t(window), depth));
}

XWindowOutput::XWindowOutput(xcb_connection_t *connection, std::uint32_t window, std::uint8_t depth)
    : connection_(connection), window_(window), gc_(xcb_generate_id(connection)), depth_(depth)
{
    // Pixels the window does not show cost nothing; events for them would only wake the program.
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    const std::size_t requestBytes = std::size_t(xcb_get_maximum_request_length(connection_)) * 4;
    requestPixels_ = std::min(MaxRequestPixels, (requestBytes - PutImageHeaderBytes) / 4);
}

XWindowOutput::~XWindowOutput()
{
    unshare();
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

QImage XWindowOutput::share(QImage pixels)
{
    unshare();
    if (pixels.format() != QImage::Format_RGB32 || pixels.isNull() || !serverSharesMemory())
        return pixels;
    const std::size_t bytes = std::size_t(pixels.sizeInBytes());
    const int descriptor = memfd_create("clocksaver-picture", MFD_CLOEXEC);
    if (descriptor < 0)
        return pixels;
    void *memory = MAP_FAILED;
    if (ftruncate(descriptor, off_t(bytes)) == 0)
        memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    if (memory == MAP_FAILED) {
        close(descriptor);
        return pixels;
    }
    // The server maps the memory read-only; xcb sends the descriptor and closes it.
    const std::uint32_t segment = xcb_generate_id(connection_);
    xcb_generic_error_t *error = xcb_request_check(connection_,
                                                   xcb_shm_attach_fd_checked(connection_, segment, descriptor, 1));
    if (error) {
        std::free(error);
        munmap(memory, bytes);
        return pixels;
    }
    // A megabyte at a time, giving back the source's pages behind it: the two copies never
    // exist whole at once.
    auto *target = static_cast<uchar *>(memory);
    uchar *source = pixels.bits();
    const bool ours = pixels.isDetached();
    const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    std::uintptr_t released = (std::uintptr_t(source) + page - 1) & ~(page - 1);
    for (std::size_t done = 0; done < bytes; done += ReleaseBytes) {
        const std::size_t chunk = std::min(ReleaseBytes, bytes - done);
        std::memcpy(target + done, source + done, chunk);
        const std::uintptr_t copied = (std::uintptr_t(source) + done + chunk) & ~(page - 1);
        if (ours && copied > released) {
            madvise(reinterpret_cast<void *>(released), copied - released, MADV_DONTNEED);
            released = copied;
        }
    }
    segment_ = segment;
    shared_ = target;
    sharedBytes_ = bytes;
    return QImage(shared_, pixels.width(), pixels.height(), pixels.bytesPerLine(), QImage::Format_RGB32);
}

void XWindowOutput::unshare()
{
    if (!segment_)
        return;
    // The server keeps its own mapping until it has done the puts before the detach.
    xcb_shm_detach(connection_, segment_);
    munmap(shared_, sharedBytes_);
    segment_ = 0;
    shared_ = nullptr;
    sharedBytes_ = 0;
}

void XWindowOutput::put(const QImage &image, const QRect &area)
{
    const QRect shown = area.intersected(image.rect());
    if (shown.isEmpty() || image.format() != QImage::Format_RGB32)
        return;
    if (segment_ && image.constBits() == shared_) {
        xcb_shm_put_image(connection_, window_, gc_, std::uint16_t(image.bytesPerLine() / 4), std::uint16_t(image.height()),
                          std::uint16_t(shown.left()), std::uint16_t(shown.top()), std::uint16_t(shown.width()),
                          std::uint16_t(shown.height()), std::int16_t(shown.left()), std::int16_t(shown.top()), depth_,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
        return;
    }
    const int width = shown.width();
    const int rowsPerRequest = int(std::max<std::size_t>(1, requestPixels_ / std::size_t(width)));
    for (int top = shown.top(); top <= shown.bottom(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, shown.bottom() + 1 - top);
        rows_.resize(std::size_t(width) * rows);
        for (int row = 0; row < rows; ++row)
            std::memcpy(rows_.data() + std::size_t(row) * width,
                        reinterpret_cast<const std::uint32_t *>(image.constScanLine(top + row)) + shown.left(),
                        std::size_t(width) * 4);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, std::uint16_t(width), std::uint16_t(rows),
                      std::int16_t(shown.left()), std::int16_t(top), 0, depth_, std::uint32_t(rows_.size() * 4),
                      reinterpret_cast<const std::uint8_t *>(rows_.data()));
    }
}

void XWindowOutput::flush()
{
    xcb_flush(connection_);
}
