#include "row_copy.h"

#include <cstring>

namespace {

// A copy asks for the rows this far ahead of the one it copies.
constexpr int RowsAhead = 8;

} // namespace

void CopyRows(unsigned char *to, std::ptrdiff_t toLine, const unsigned char *from, std::ptrdiff_t fromLine,
              std::size_t bytes, int rows)
{
    auto ask = [&](int row) {
        for (std::size_t at = 0; at < bytes; at += 64) {
            __builtin_prefetch(from + row * fromLine + at, 0);
            __builtin_prefetch(to + row * toLine + at, 1);
        }
    };
    for (int row = -RowsAhead; row < rows; ++row) {
        if (row + RowsAhead < rows)
            ask(row + RowsAhead);
        if (row >= 0)
            std::memcpy(to + row * toLine, from + row * fromLine, bytes);
    }
}
