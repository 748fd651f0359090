// Large zero-filled blocks for image and IDAT data. Big blocks are mapped
// directly and asked for huge pages: a 50 MB image then costs a few dozen
// page faults instead of twelve thousand. Small blocks come from the heap.
#pragma once

#include <cstddef>

namespace rasterly {

void *blockAlloc(std::size_t size);                                  // zero-filled, null on failure
void *blockGrow(void *block, std::size_t oldSize, std::size_t newSize); // null on failure, block kept
void blockFree(void *block, std::size_t size);                        // size as allocated (or grown)

} // namespace rasterly
