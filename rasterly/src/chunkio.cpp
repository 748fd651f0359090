#include "chunkio.h"

#include <zlib.h>

namespace rasterly {

// zlib's crc32 is the PNG CRC (same polynomial, preset and final inversion),
// table-driven and several bytes at a time.
void ChunkCrc::update(const void *data, std::size_t len)
{
    const auto *p = static_cast<const Bytef *>(data);
    while (len > 0) {
        const uInt piece = len > 0x40000000u ? 0x40000000u : static_cast<uInt>(len);
        m_crc = static_cast<uint32_t>(crc32(m_crc, p, piece));
        p += piece;
        len -= piece;
    }
}

} // namespace rasterly
