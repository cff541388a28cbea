#pragma once

#include <cstddef>

// Copies `rows` rows of `bytes` bytes each between pictures whose rows lie `fromLine` and
// `toLine` bytes apart. Such rows lie far apart, which the processor does not foresee, and a
// tick's rows are no longer in its caches (nor their pages in its address translation): asked for
// a few rows ahead, they arrive together.
void CopyRows(unsigned char *to, std::ptrdiff_t toLine, const unsigned char *from, std::ptrdiff_t fromLine,
              std::size_t bytes, int rows);
