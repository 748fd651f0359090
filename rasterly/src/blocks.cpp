#include "blocks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace rasterly {
namespace {

#if defined(__linux__)
constexpr std::size_t kHuge = std::size_t(2) << 20;
constexpr std::size_t kMapFrom = std::size_t(1) << 20;

std::size_t mappedSize(std::size_t size)
{
    return (size + kHuge - 1) / kHuge * kHuge;
}

bool isMapped(std::size_t size)
{
    return size >= kMapFrom;
}

// A mapping aligned to the huge-page size, so that all of it can use them.
void *mapAligned(std::size_t size)
{
    const std::size_t len = mappedSize(size);
    void *raw = mmap(nullptr, len + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHuge - 1) / kHuge * kHuge;
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::uintptr_t end = start + len + kHuge;
    if (end > aligned + len)
        munmap(reinterpret_cast<void *>(aligned + len), end - (aligned + len));
    void *block = reinterpret_cast<void *>(aligned);
#if defined(MADV_HUGEPAGE)
    madvise(block, len, MADV_HUGEPAGE);
#endif
    return block;
}
#endif

} // namespace

void *blockAlloc(std::size_t size)
{
#if defined(__linux__)
    if (isMapped(size))
        return mapAligned(size); // anonymous pages read as zeros
#endif
    return std::calloc(size ? size : 1, 1);
}

void *blockGrow(void *block, std::size_t oldSize, std::size_t newSize)
{
#if defined(__linux__)
    if (isMapped(oldSize)) {
        if (mappedSize(newSize) == mappedSize(oldSize))
            return block;
        void *moved = mremap(block, mappedSize(oldSize), mappedSize(newSize), MREMAP_MAYMOVE);
        return moved == MAP_FAILED ? nullptr : moved;
    }
    if (isMapped(newSize)) {
        void *bigger = mapAligned(newSize);
        if (bigger) {
            std::memcpy(bigger, block, oldSize);
            std::free(block);
        }
        return bigger;
    }
#else
    (void)oldSize;
#endif
    return std::realloc(block, newSize ? newSize : 1);
}

void blockFree(void *block, std::size_t size)
{
    if (!block)
        return;
#if defined(__linux__)
    if (isMapped(size)) {
        munmap(block, mappedSize(size));
        return;
    }
#else
    (void)size;
#endif
    std::free(block);
}

} // namespace rasterly
