#include "LargeVector.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

std::size_t roundUp(std::size_t bytes)
{
    return (bytes + HugePage - 1) & ~(HugePage - 1);
}

} // namespace

void *largeAllocate(std::size_t bytes)
{
    if (bytes < HugePage) {
        void *block = std::malloc(bytes ? bytes : 1);
        if (!block)
            throw std::bad_alloc();
        return block;
    }
    // Map one huge page more than needed and trim it to a 2 MiB boundary.
    const std::size_t size = roundUp(bytes);
    void *mapped = ::mmap(nullptr, size + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + HugePage - 1) & ~(std::uintptr_t(HugePage) - 1);
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    const std::size_t tail = (start + size + HugePage) - (aligned + size);
    if (tail > 0)
        ::munmap(reinterpret_cast<void *>(aligned + size), tail);
    ::madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void *>(aligned);
}

void largeFree(void *block, std::size_t bytes) noexcept
{
    if (!block)
        return;
    if (bytes < HugePage)
        std::free(block);
    else
        ::munmap(block, roundUp(bytes));
}
