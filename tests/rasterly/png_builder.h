// Hand-made PNG files for the reader's edge cases: chunks with right (or
// deliberately wrong) CRCs, zlib streams of raw scanlines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zlib.h>

namespace rasterly_test {

using Bytes = std::vector<uint8_t>;

inline void putBe32(Bytes &out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

class PngBuilder
{
public:
    PngBuilder() : m_bytes{137, 80, 78, 71, 13, 10, 26, 10} {}

    PngBuilder &chunk(const char *type, const Bytes &data, bool badCrc = false)
    {
        putBe32(m_bytes, uint32_t(data.size()));
        const std::size_t start = m_bytes.size();
        m_bytes.insert(m_bytes.end(), type, type + 4);
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        uLong crc = crc32(0, m_bytes.data() + start, uInt(m_bytes.size() - start));
        putBe32(m_bytes, uint32_t(crc) ^ (badCrc ? 1u : 0u));
        return *this;
    }

    PngBuilder &ihdr(uint32_t w, uint32_t h, int depth, int colourType, int interlace = 0)
    {
        Bytes d;
        putBe32(d, w);
        putBe32(d, h);
        d.insert(d.end(), {uint8_t(depth), uint8_t(colourType), 0, 0, uint8_t(interlace)});
        return chunk("IHDR", d);
    }

    PngBuilder &plte(int entries)
    {
        Bytes d;
        for (int i = 0; i < entries; ++i)
            d.insert(d.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
        return chunk("PLTE", d);
    }

    PngBuilder &idat(const Bytes &scanlines) { return chunk("IDAT", compress(scanlines)); }
    PngBuilder &iend() { return chunk("IEND", {}); }

    const Bytes &bytes() const { return m_bytes; }

    static Bytes compress(const Bytes &raw)
    {
        uLongf len = compressBound(uLong(raw.size()));
        Bytes out(len);
        compress2(out.data(), &len, raw.data(), uLong(raw.size()), Z_DEFAULT_COMPRESSION);
        out.resize(len);
        return out;
    }

private:
    Bytes m_bytes;
};

inline bool writeBytes(const std::string &path, const Bytes &bytes)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    // An empty file is written with no call: fwrite takes no null buffer.
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace rasterly_test
