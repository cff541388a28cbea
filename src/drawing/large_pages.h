#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>
#include <memory>

// RGB32 pixels in memory the kernel may keep in 2 MiB pages. A tick touches a few dozen rows of
// several screen-sized images, and each row of such an image lies on a page of its own: on a
// virtual machine, finding a page again a second after the last look costs a microsecond or more,
// far more than copying the row. With large pages, one look finds a whole image.
// Images under a megabyte are plain ones: most of a large page would be wasted on them.

// New pixels, black.
QImage LargePageImage(const QSize &size);
// The pixels moved over a megabyte at a time, each part of the source given back once copied,
// so the two are never held whole at once. Other formats and small images stay as they are.
QImage MovedToLargePages(QImage pixels);
// Zeroed memory for tables that a tick reads whole, in large pages from a megabyte on.
std::shared_ptr<std::byte> LargePageMemory(std::size_t bytes);
