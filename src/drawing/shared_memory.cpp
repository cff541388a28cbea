#include "shared_memory.h"

#include <sys/mman.h>
#include <unistd.h>

int MapSharedMemory(const char *name, std::size_t bytes, void *&memory)
{
    const int descriptor = memfd_create(name, MFD_CLOEXEC);
    if (descriptor < 0)
        return -1;
    memory = MAP_FAILED;
    if (ftruncate(descriptor, off_t(bytes)) == 0)
        memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    if (memory != MAP_FAILED)
        return descriptor;
    memory = nullptr;
    close(descriptor);
    return -1;
}
