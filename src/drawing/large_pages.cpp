#include "large_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t LargePageBytes = std::size_t(2) << 20;
constexpr std::size_t SmallestBytes = std::size_t(1) << 20;
// Pixels copied before the source's copy of them is given back.
constexpr std::size_t ReleaseBytes = std::size_t(1) << 20;

struct Mapping
{
    void *start;
    std::size_t bytes;
};

void unmap(void *info)
{
    const auto *mapping = static_cast<Mapping *>(info);
    munmap(mapping->start, mapping->bytes);
    delete mapping;
}

// Unfilled memory starting on a large page, `rounded` bytes (whole large pages); null where there
// is none to be had.
void *mapLargePages(std::size_t rounded)
{
    // One large page more than needed, so that a large page's boundary lies in the first.
    void *mapped = mmap(nullptr, rounded + LargePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    auto *const first = static_cast<uchar *>(mapped);
    auto *const start = reinterpret_cast<uchar *>((std::uintptr_t(first) + LargePageBytes - 1) & ~(LargePageBytes - 1));
    if (start != first)
        munmap(first, std::size_t(start - first));
    if (start + rounded != first + rounded + LargePageBytes)
        munmap(start + rounded, std::size_t(first + rounded + LargePageBytes - (start + rounded)));
    // Only advice: without large pages the memory is ordinary memory.
    madvise(start, rounded, MADV_HUGEPAGE);
    return start;
}

std::size_t roundedToLargePages(std::size_t bytes)
{
    return (bytes + LargePageBytes - 1) & ~(LargePageBytes - 1);
}

// Unfilled pixels starting on a large page, or a null image where there are none to be had.
QImage mapImage(const QSize &size)
{
    const std::size_t rounded = roundedToLargePages(std::size_t(size.width()) * std::size_t(size.height()) * 4);
    void *start = mapLargePages(rounded);
    if (!start)
        return {};
    return QImage(static_cast<uchar *>(start), size.width(), size.height(), qsizetype(size.width()) * 4,
                  QImage::Format_RGB32, unmap, new Mapping{start, rounded});
}

bool worthLargePages(const QSize &size)
{
    return std::size_t(std::max(size.width(), 0)) * std::size_t(std::max(size.height(), 0)) * 4 >= SmallestBytes;
}

} // namespace

QImage LargePageImage(const QSize &size)
{
    QImage image = worthLargePages(size) ? mapImage(size) : QImage();
    if (image.isNull())
        image = QImage(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage MovedToLargePages(QImage pixels)
{
    if (pixels.format() != QImage::Format_RGB32 || !worthLargePages(pixels.size())
        || pixels.bytesPerLine() != qsizetype(pixels.width()) * 4)
        return pixels;
    QImage moved = mapImage(pixels.size());
    if (moved.isNull())
        return pixels;
    const std::size_t bytes = std::size_t(pixels.sizeInBytes());
    // Only pixels no other image shares may be given back.
    const bool ours = pixels.isDetached();
    const uchar *source = ours ? pixels.bits() : pixels.constBits();
    uchar *target = moved.bits();
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
    return moved;
}

std::shared_ptr<std::byte> LargePageMemory(std::size_t bytes)
{
    if (bytes >= SmallestBytes) {
        const std::size_t rounded = roundedToLargePages(bytes);
        // Fresh anonymous memory reads as zeros.
        if (void *start = mapLargePages(rounded))
            return {static_cast<std::byte *>(start), [rounded](std::byte *memory) { munmap(memory, rounded); }};
    }
    return {new std::byte[bytes](), std::default_delete<std::byte[]>()};
}
