// libpng as the reference decoder, its output brought into Rasterly's
// documented bitmap form: palette indices and grey levels as samples, the
// high byte of 16-bit samples, blue-green-red(-alpha) order, grey alpha
// dropped, no transparency, rows padded to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rasterly_test {

struct DecodedImage {
    bool ok = false;
    std::string error;
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    int32_t stride = 0;
    int colourType = 0;
    int bitDepth = 0;
    bool interlaced = false;
    int tableEntries = 0;            // colour-table entries written
    std::vector<uint8_t> table;      // 1024 bytes, unwritten entries 0
    std::vector<uint8_t> pixels;     // height * stride, padding 0
};

// Decodes with libpng. Every chunk CRC is checked (ancillary ones too), as
// our reader does.
DecodedImage decodeWithLibpng(const std::string &path);
DecodedImage decodeWithLibpng(const std::vector<uint8_t> &png);

std::vector<uint8_t> readFile(const std::string &path);

// The same file with the chunks that interrupt its run of IDAT chunks taken
// out: how libpng can be shown IDAT data joined across other chunks.
std::vector<uint8_t> withoutChunksBetweenIdats(const std::vector<uint8_t> &png);

// Decodes a PNG file through the rasterly exports.
struct RasterlyImage {
    int32_t result = 0;
    int32_t size = 0;
    std::vector<uint8_t> info;       // 1064 bytes
    std::vector<uint8_t> pixels;
};
// The colour table is filled with tableFill beforehand, to see which
// entries the decoder leaves alone.
RasterlyImage decodeWithRasterly(const std::string &path, uint8_t tableFill = 0);

// Bytes of each row that carry pixels: for packed 1- and 4-bit rows, the
// bits after the last pixel are left out of comparisons.
bool samePixels(const DecodedImage &expected, const std::vector<uint8_t> &actual, std::string *where);

} // namespace rasterly_test
