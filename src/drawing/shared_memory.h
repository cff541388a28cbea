#pragma once

#include <cstddef>

// Memory to share with a display server: a file in memory of this many bytes, mapped to be read
// and written here. Returns the file's descriptor, which hands the memory to the server, and
// sets `memory`; -1 and nothing mapped where the system refuses.
int MapSharedMemory(const char *name, std::size_t bytes, void *&memory);
