#include "data/PodBuffer.h"

#include <algorithm>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vq {

#ifdef __linux__

namespace {

size_t wholePages(size_t bytes)
{
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

void *mapPages(size_t bytes)
{
    void *data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    return data;
}

} // namespace

size_t PodBlock::resize(void **data, size_t bytes, size_t newBytes, size_t keep)
{
    const bool mapped = bytes >= MappedBytes;
    if (newBytes == 0) {
        release(*data, bytes);
        *data = nullptr;
        return 0;
    }
    if (newBytes < MappedBytes) {
        if (!mapped) {
            void *grown = std::realloc(*data, newBytes);
            if (!grown)
                throw std::bad_alloc();
            *data = grown;
            return newBytes;
        }
        void *moved = std::malloc(newBytes);
        if (!moved)
            throw std::bad_alloc();
        std::memcpy(moved, *data, std::min(keep, newBytes));
        munmap(*data, bytes);
        *data = moved;
        return newBytes;
    }
    newBytes = wholePages(newBytes);
    if (mapped) {
        void *moved = mremap(*data, wholePages(bytes), newBytes, MREMAP_MAYMOVE);
        if (moved == MAP_FAILED)
            throw std::bad_alloc();
        *data = moved;
        return newBytes;
    }
    void *moved = mapPages(newBytes);
    if (keep)
        std::memcpy(moved, *data, keep);
    std::free(*data);
    *data = moved;
    return newBytes;
}

void PodBlock::release(void *data, size_t bytes)
{
    if (!data)
        return;
    if (bytes >= MappedBytes)
        munmap(data, wholePages(bytes));
    else
        std::free(data);
}

#else

size_t PodBlock::resize(void **data, size_t, size_t newBytes, size_t)
{
    if (newBytes == 0) {
        std::free(*data);
        *data = nullptr;
        return 0;
    }
    void *grown = std::realloc(*data, newBytes);
    if (!grown)
        throw std::bad_alloc();
    *data = grown;
    return newBytes;
}

void PodBlock::release(void *data, size_t)
{
    std::free(data);
}

#endif

} // namespace vq
