// Chunk-level helpers shared by the reader and the writer: the PNG CRC-32 and
// big-endian 32-bit values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rasterly {

inline constexpr unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Running PNG chunk CRC: reflected polynomial 0xEDB88320, register preset to
// all ones, result inverted. Each chunk resets it, feeds its type and data and
// compares (or writes) value(). One register per chunk being read or written,
// so calls on different handles or files never disturb each other.
class ChunkCrc
{
public:
    void reset() { m_crc = 0; }
    void update(const void *data, std::size_t len);
    uint32_t value() const { return m_crc; }

private:
    uint32_t m_crc = 0; // zlib's convention: the finished (inverted) value so far
};

inline uint32_t readBe32(const unsigned char *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void writeBe32(unsigned char *p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

// The seven Adam7 passes: column start, row start, column step, row step.
struct Adam7Pass
{
    int x0, y0, dx, dy;
};
inline constexpr Adam7Pass kAdam7[7] = {
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};

// Columns (of width w) or rows (of height h) that a pass visits; 0 when the
// start lies beyond the edge.
inline uint32_t adam7Count(uint32_t size, int start, int step)
{
    return size > uint32_t(start) ? (size - uint32_t(start) + uint32_t(step) - 1) / uint32_t(step) : 0;
}

} // namespace rasterly
