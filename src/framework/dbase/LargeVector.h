#pragma once

#include <cstddef>
#include <new>
#include <vector>

// Blocks of 2 MiB and more are mapped on their own and asked for transparent
// huge pages; smaller ones come from malloc. The engine's big arrays (keys,
// index order, visible records) live in such blocks: on virtual machines the
// first touch of fresh memory costs a fault per 4 KiB page, which for the keys
// of 100 000 books would cost more than building the index.
void *largeAllocate(std::size_t bytes);
void largeFree(void *block, std::size_t bytes) noexcept;

template <typename T> struct LargeAllocator
{
    using value_type = T;

    LargeAllocator() = default;
    template <typename U> LargeAllocator(const LargeAllocator<U> &) noexcept {}

    T *allocate(std::size_t n) { return static_cast<T *>(largeAllocate(n * sizeof(T))); }
    void deallocate(T *block, std::size_t n) noexcept { largeFree(block, n * sizeof(T)); }

    template <typename U> bool operator==(const LargeAllocator<U> &) const noexcept { return true; }
};

template <typename T> using LargeVector = std::vector<T, LargeAllocator<T>>;
