#include "png_oracle.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <png.h>

#include "rasterly/rasterly.h"

namespace rasterly_test {
namespace {

void onError(png_structp png, png_const_charp msg)
{
    auto *err = static_cast<std::string *>(png_get_error_ptr(png));
    *err = msg;
    longjmp(png_jmpbuf(png), 1);
}

void onWarning(png_structp, png_const_charp) {}

unsigned sampleAt(const uint8_t *row, std::size_t k, int depth)
{
    const unsigned perByte = 8u / unsigned(depth);
    const unsigned shift = 8u - unsigned(depth) * (unsigned(k % perByte) + 1);
    return (row[k / perByte] >> shift) & ((1u << depth) - 1);
}

struct MemoryReader {
    const std::vector<uint8_t> *bytes;
    std::size_t pos;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n)
{
    auto *m = static_cast<MemoryReader *>(png_get_io_ptr(png));
    if (n > m->bytes->size() - m->pos)
        png_error(png, "Read Error");
    std::memcpy(out, m->bytes->data() + m->pos, n);
    m->pos += n;
}

} // namespace

std::vector<uint8_t> readFile(const std::string &path)
{
    std::vector<uint8_t> bytes;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

std::vector<uint8_t> withoutChunksBetweenIdats(const std::vector<uint8_t> &png)
{
    struct Chunk {
        std::size_t pos, size;
        bool idat;
    };
    std::vector<Chunk> chunks;
    std::size_t p = 8;
    while (p + 12 <= png.size()) {
        const std::size_t len = (std::size_t(png[p]) << 24) | (png[p + 1] << 16) | (png[p + 2] << 8) | png[p + 3];
        if (len > png.size() - p - 12)
            break;
        chunks.push_back({p, len + 12, std::memcmp(&png[p + 4], "IDAT", 4) == 0});
        p += len + 12;
    }
    std::size_t first = chunks.size(), last = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].idat) {
            first = std::min(first, i);
            last = i;
        }
    }
    std::vector<uint8_t> out(png.begin(), png.begin() + 8);
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (i > first && i < last && !chunks[i].idat)
            continue;
        out.insert(out.end(), png.begin() + long(chunks[i].pos), png.begin() + long(chunks[i].pos + chunks[i].size));
    }
    out.insert(out.end(), png.begin() + long(p), png.end());
    return out;
}

DecodedImage decodeWithLibpng(const std::string &path)
{
    return decodeWithLibpng(readFile(path));
}

DecodedImage decodeWithLibpng(const std::vector<uint8_t> &bytes)
{
    DecodedImage img;
    MemoryReader source{&bytes, 0};
    std::string err;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &err, onError, onWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_bytep> rowPtrs;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        img.ok = false;
        img.error = err;
        return img;
    }
    png_set_read_fn(png, &source, readFromMemory);
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_set_chunk_malloc_max(png, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_read_info(png, info);
    png_uint_32 w, h;
    int depth, type, interlace;
    png_get_IHDR(png, info, &w, &h, &depth, &type, &interlace, nullptr, nullptr);
    if (depth == 16)
        png_set_strip_16(png); // the high byte, no rounding
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    rows.assign(h, std::vector<uint8_t>(rowBytes, 0));
    for (auto &r : rows)
        rowPtrs.push_back(r.data());
    png_read_image(png, rowPtrs.data());
    png_read_end(png, nullptr);

    img.width = int32_t(w);
    img.height = int32_t(h);
    img.colourType = type;
    img.bitDepth = depth;
    img.interlaced = interlace == PNG_INTERLACE_ADAM7;
    img.table.assign(1024, 0);
    auto grey = [&img](int count, int step) {
        img.tableEntries = count;
        for (int i = 0; i < count; ++i)
            img.table[4 * i] = img.table[4 * i + 1] = img.table[4 * i + 2] = uint8_t(i * step);
    };
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp pal = nullptr;
        int n = 0;
        png_get_PLTE(png, info, &pal, &n);
        img.tableEntries = 256;
        for (int i = 0; i < n; ++i) {
            img.table[4 * i] = pal[i].blue;
            img.table[4 * i + 1] = pal[i].green;
            img.table[4 * i + 2] = pal[i].red;
        }
    } else if (type == PNG_COLOR_TYPE_GRAY) {
        if (depth == 1)
            grey(2, 255);
        else if (depth == 2)
            grey(4, 64);
        else if (depth == 4)
            grey(16, 16);
        else
            grey(256, 1);
    } else if (type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        grey(256, 1);
    }
    png_destroy_read_struct(&png, &info, nullptr);

    // Our layout.
    const bool indexed = type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_PALETTE;
    std::size_t rowOut;
    if (indexed && (depth == 1 || depth == 4) && !img.interlaced) {
        img.bitCount = depth;
        rowOut = (std::size_t(w) * depth + 7) / 8;
    } else if (indexed || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        img.bitCount = 8;
        rowOut = w;
    } else if (type == PNG_COLOR_TYPE_RGB) {
        img.bitCount = 24;
        rowOut = 3 * std::size_t(w);
    } else {
        img.bitCount = 32;
        rowOut = 4 * std::size_t(w);
    }
    img.stride = int32_t((rowOut + 3) / 4 * 4);
    img.pixels.assign(std::size_t(img.stride) * h, 0);
    for (std::size_t y = 0; y < h; ++y) {
        const uint8_t *in = rows[y].data();
        uint8_t *out = img.pixels.data() + y * std::size_t(img.stride);
        for (std::size_t x = 0; x < w; ++x) {
            switch (type) {
            case PNG_COLOR_TYPE_GRAY:
            case PNG_COLOR_TYPE_PALETTE:
                if (img.bitCount == 8)
                    out[x] = uint8_t(depth < 8 ? sampleAt(in, x, depth) : in[x]);
                break;
            case PNG_COLOR_TYPE_GRAY_ALPHA: out[x] = in[2 * x]; break;
            case PNG_COLOR_TYPE_RGB:
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
                break;
            default:
                out[4 * x] = in[4 * x + 2];
                out[4 * x + 1] = in[4 * x + 1];
                out[4 * x + 2] = in[4 * x];
                out[4 * x + 3] = in[4 * x + 3];
                break;
            }
        }
        if (img.bitCount < 8)
            std::memcpy(out, in, rowOut);
    }
    img.ok = true;
    return img;
}

RasterlyImage decodeWithRasterly(const std::string &path, uint8_t tableFill)
{
    RasterlyImage r;
    r.info.assign(sizeof(RASTERLY_BITMAPINFO256), 0);
    std::fill(r.info.begin() + sizeof(BITMAPINFOHEADER), r.info.end(), tableFill);
    PngHandle *h = nullptr;
    r.result = mLoadPNG(path.c_str(), &h, reinterpret_cast<BITMAPINFO *>(r.info.data()), &r.size);
    if (r.result != 1)
        return r;
    r.pixels.assign(std::size_t(r.size), 0);
    const int32_t got = mGetPNGData(&h, r.pixels.data());
    mEndPNG(&h);
    if (got != 1)
        r.result = 100 + got;
    return r;
}

bool samePixels(const DecodedImage &e, const std::vector<uint8_t> &actual, std::string *where)
{
    if (actual.size() != e.pixels.size()) {
        *where = "size " + std::to_string(actual.size()) + " vs " + std::to_string(e.pixels.size());
        return false;
    }
    const std::size_t bits = std::size_t(e.width) * std::size_t(e.bitCount);
    const std::size_t fullBytes = bits / 8;
    const unsigned tailBits = unsigned(bits % 8);
    const uint8_t tailMask = uint8_t(0xFF00u >> tailBits);
    for (int32_t y = 0; y < e.height; ++y) {
        const uint8_t *a = actual.data() + std::size_t(y) * std::size_t(e.stride);
        const uint8_t *b = e.pixels.data() + std::size_t(y) * std::size_t(e.stride);
        for (std::size_t i = 0; i < fullBytes; ++i) {
            if (a[i] != b[i]) {
                *where = "row " + std::to_string(y) + " byte " + std::to_string(i) + ": "
                         + std::to_string(a[i]) + " vs " + std::to_string(b[i]);
                return false;
            }
        }
        if (tailBits && ((a[fullBytes] ^ b[fullBytes]) & tailMask)) {
            *where = "row " + std::to_string(y) + " last byte";
            return false;
        }
    }
    return true;
}

} // namespace rasterly_test
