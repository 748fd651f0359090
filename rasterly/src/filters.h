// PNG row filters, undone in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rasterly {

// Undoes filter `type` (1 Sub, 2 Up, 3 Average, 4 Paeth; 0 and anything above
// 4 leave the row as it is) on `row` of `len` bytes. `prev` is the unfiltered
// row above, or null for the first row of an image or pass (counts as zeros).
// `step` is the byte distance to the left neighbour (1 to 8).
void unfilterRow(unsigned type, unsigned char *row, const unsigned char *prev, std::size_t len,
                 unsigned step);

} // namespace rasterly
