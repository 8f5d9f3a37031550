#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace vq {

// The memory of PodBuffer: a block of `bytes` bytes (null for none) that keeps `keep` bytes when it is
// moved. Blocks of MappedBytes and more are mapped from the system where it can grow a mapping by moving
// its pages (Linux mremap), so that a block growing to hundreds of megabytes is never copied and never
// held twice: the allocator's realloc copies the blocks it keeps in its heap, and once a large block has
// been freed it keeps blocks of up to 32 MB there. Smaller blocks come from malloc; the bound is low
// (64 KB), so that the pages a large block held in malloc's heap before it moved (faulted in, copied once,
// then freed) stay few. Mapped blocks are whole pages: the size actually given is returned (the pages past
// what is written are never touched, so they cost no memory). Throws std::bad_alloc when the memory is
// refused.
struct PodBlock
{
    static constexpr size_t MappedBytes = size_t(1) << 16;
    static size_t resize(void **data, size_t bytes, size_t newBytes, size_t keep);
    static void release(void *data, size_t bytes);
};

// A growable array of plain values. A fetch appends millions of values one at a time: large blocks grow by
// moving their pages instead of copying them into a fresh allocation (as std::vector must), and room
// reserved for a value is written once, never zero-filled first.
template<typename T>
class PodBuffer
{
    static_assert(std::is_trivially_copyable_v<T>, "PodBuffer holds plain values only");

public:
    PodBuffer() = default;
    PodBuffer(const PodBuffer &) = delete;
    PodBuffer &operator=(const PodBuffer &) = delete;
    PodBuffer(PodBuffer &&other) noexcept { swap(other); }
    PodBuffer &operator=(PodBuffer &&other) noexcept
    {
        PodBuffer(std::move(other)).swap(*this);
        return *this;
    }
    ~PodBuffer() { PodBlock::release(m_data, m_capacity * sizeof(T)); }

    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T &operator[](size_t i) { return m_data[i]; }
    const T &operator[](size_t i) const { return m_data[i]; }
    T &back() { return m_data[m_size - 1]; }

    void push_back(T value)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = value;
    }
    void append(const T *values, size_t count)
    {
        if (count == 0)
            return;
        std::memcpy(extend(count), values, count * sizeof(T));
    }
    // Room for count more values at the end, returned for writing and counted in size().
    T *extend(size_t count)
    {
        if (count > m_capacity - m_size)
            grow(m_size + count);
        T *at = m_data + m_size;
        m_size += count;
        return at;
    }
    // At least count values of room beyond size(), without counting them.
    void reserveMore(size_t count)
    {
        if (count > m_capacity - m_size)
            grow(m_size + count);
    }
    // Drops values from the end (count <= size()) or counts values written into reserved room.
    void setSize(size_t count) { m_size = count; }
    void clear() { m_size = 0; }

    void shrinkToFit()
    {
        if (m_size == m_capacity)
            return;
        setCapacity(m_size);
    }
    // Frees the memory.
    void release() { PodBuffer().swap(*this); }

    void swap(PodBuffer &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }

private:
    // Out of line, so that appending stays small enough to inline everywhere.
    [[gnu::noinline]] void grow(size_t needed)
    {
        // Doubling while small; past a megabyte the block (mapped from MappedBytes on) grows by moving its
        // pages, without copying, so it grows by an eighth, and the reserve that a fetch's peak memory
        // carries stays small.
        const size_t bytes = m_capacity * sizeof(T);
        size_t capacity =
            m_capacity < 64 ? 64 : (bytes < (size_t(1) << 20) ? m_capacity * 2 : m_capacity + m_capacity / 8);
        if (capacity < needed)
            capacity = needed;
        setCapacity(capacity);
    }

    void setCapacity(size_t capacity)
    {
        void *data = m_data;
        const size_t given =
            PodBlock::resize(&data, m_capacity * sizeof(T), capacity * sizeof(T), m_size * sizeof(T));
        m_data = static_cast<T *>(data);
        m_capacity = given / sizeof(T);
    }

    T *m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

} // namespace vq
