// mLoadPNG, mGetPNGData, mEndPNG: PNG file to device-independent bitmap.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/stat.h>
#include <zlib.h>

#include "blocks.h"
#include "chunkio.h"
#include "decoder.h"
#include "filters.h"

using namespace rasterly;

namespace {

constexpr int64_t kMaxBlock = INT32_MAX; // every size is held in an int32 field
static_assert(RASTERLY_DEFAULT_ROW_LIMIT == kMaxBlock, "the default cap is what the fields can hold");

void freeHandle(PngHandle *h)
{
    if (!h)
        return;
    blockFree(h->idatData, h->idatCapacity);
    blockFree(h->imageData, std::size_t(h->imageCapacity));
    std::free(h->palette);
    std::free(h);
}

// Reads with end-of-file bookkeeping: a chunk claiming more bytes than the
// file still holds is a short read found before anything is allocated.
class ChunkFile
{
public:
    explicit ChunkFile(const char *path)
        : m_file(path ? std::fopen(path, "rb") : nullptr)
    {
        if (!m_file)
            return;
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
        struct stat st;
        if (fstat(fileno(m_file), &st) == 0 && S_ISREG(st.st_mode))
            m_remaining = static_cast<uint64_t>(st.st_size);
    }
    ~ChunkFile()
    {
        if (m_file)
            std::fclose(m_file);
    }
    ChunkFile(const ChunkFile &) = delete;
    ChunkFile &operator=(const ChunkFile &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    bool mayHold(uint64_t n) const { return n <= m_remaining; }
    uint64_t remaining() const { return m_remaining; }

    bool read(void *buf, std::size_t n)
    {
        if (!mayHold(n))
            return false;
        const std::size_t got = std::fread(buf, 1, n, m_file);
        m_remaining -= got;
        return got == n;
    }

private:
    std::FILE *m_file;
    uint64_t m_remaining = UINT64_MAX; // unknown for pipes and devices
};

struct Geometry {
    int64_t rawRow;
    int64_t step;
    int64_t outBits;
    int64_t outRowBytes;
};

// Bytes of the inflated image data: one filter byte per row plus the raw
// row, pass by pass for Adam7 (empty passes hold nothing).
int64_t scanlineBytes(const PngHandle &h)
{
    const int64_t bpp = h.bitsPerPixel;
    if (h.interlaceMethod != 1)
        return int64_t(h.height) * (int64_t(h.rawRowLength) + 1);
    int64_t total = 0;
    for (const Adam7Pass &p : kAdam7) {
        const int64_t cols = adam7Count(uint32_t(h.width), p.x0, p.dx);
        const int64_t rows = adam7Count(uint32_t(h.height), p.y0, p.dy);
        if (cols && rows)
            total += rows * ((cols * bpp + 7) / 8 + 1);
    }
    return total;
}

int32_t handleIhdr(PngHandle &h, const unsigned char *d, uint32_t len)
{
    if (h.ihdrSeen)
        return ErrSecondIhdr;
    if (len < 13)
        return ErrShortIhdr;
    const uint32_t w = readBe32(d), ht = readBe32(d + 4);
    if (w == 0 || ht == 0)
        return ErrZeroSize;
    const int depth = d[8], type = d[9];
    bool depthOk;
    int samples;
    switch (type) {
    case 0: depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16; samples = 1; break;
    case 3: depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8; samples = 1; break;
    case 2: depthOk = depth == 8 || depth == 16; samples = 3; break;
    case 4: depthOk = depth == 8 || depth == 16; samples = 2; break;
    case 6: depthOk = depth == 8 || depth == 16; samples = 4; break;
    default: return ErrColourType;
    }
    if (!depthOk)
        return ErrBitDepth;
    if (w > uint32_t(INT32_MAX) || ht > uint32_t(INT32_MAX))
        return ErrTooLarge;

    h.width = int32_t(w);
    h.height = int32_t(ht);
    h.bitDepth = depth;
    h.colourType = type;
    h.compressionMethod = d[10];
    h.filterMethod = d[11];
    h.interlaceMethod = d[12];
    h.bitsPerPixel = depth * samples;
    const bool interlaced = h.interlaceMethod == 1;

    const int64_t W = w;
    Geometry g{};
    g.rawRow = (W * h.bitsPerPixel + 7) / 8;
    g.step = depth < 8 ? 1 : h.bitsPerPixel / 8;
    switch (type) {
    case 0:
    case 3:
        if (depth == 1 || depth == 4) {
            g.outBits = interlaced ? 8 : depth;
            g.outRowBytes = interlaced ? W : g.rawRow;
        } else {
            g.outBits = 8;
            g.outRowBytes = W;
        }
        break;
    case 2: g.outBits = 24; g.outRowBytes = 3 * W; break;
    case 4: g.outBits = 8; g.outRowBytes = W; break;
    default: g.outBits = 32; g.outRowBytes = 4 * W; break;
    }
    // Each factor is below 2^31 here, so no product overflows 64 bits.
    const int64_t stride = (g.outRowBytes + 3) / 4 * 4;
    if (g.rawRow + 4 > kMaxBlock || stride > kMaxBlock || stride * int64_t(ht) > kMaxBlock)
        return ErrTooLarge;
    h.rawRowLength = int32_t(g.rawRow);
    h.filterStep = int32_t(g.step);
    h.outputBits = int32_t(g.outBits);
    h.outputStride = int32_t(stride);
    h.outputSize = int32_t(stride * int64_t(ht));

    // Adam7 data is sized generously; for very short images of small depth
    // the passes can need a few bytes more than that, so take the larger.
    int64_t capacity = int64_t(ht) * (g.rawRow + (interlaced ? 4 : 1));
    const int64_t needed = scanlineBytes(h);
    if (needed > capacity)
        capacity = needed;
    if (capacity > kMaxBlock)
        return ErrTooLarge;
    // The caller's cap, judged before the rows are allocated here or by the
    // caller.
    if (capacity > h.rowLimit || int64_t(h.outputSize) > h.rowLimit)
        return ErrOverLimit;
    // Zero-filled: rows a short stream does not reach read as zeros, and pages of
    // a big block are only touched as they are filled.
    h.imageData = static_cast<unsigned char *>(blockAlloc(std::size_t(capacity)));
    if (!h.imageData)
        return ErrNoMemory;
    h.imageCapacity = int32_t(capacity);
    h.ihdrSeen = true;
    return ErrNone;
}

int32_t handlePlte(PngHandle &h, const unsigned char *d, uint32_t len)
{
    if (!h.ihdrSeen)
        return ErrPlteBeforeIhdr;
    if (h.plteSeen)
        return ErrSecondPlte;
    if (h.colourType == 0 || h.colourType == 4)
        return ErrPlteInGrey;
    if (len % 3 != 0)
        return ErrPlteLength;
    const uint32_t entries = len / 3;
    if (entries > 256 || entries > (1u << (h.bitDepth + 1)))
        return ErrPlteTooLong;
    h.palette = static_cast<unsigned char *>(std::calloc(1024, 1));
    if (!h.palette)
        return ErrNoMemory;
    for (uint32_t i = 0; i < entries; ++i) {
        h.palette[4 * i] = d[3 * i + 2];
        h.palette[4 * i + 1] = d[3 * i + 1];
        h.palette[4 * i + 2] = d[3 * i];
    }
    h.plteSeen = true;
    return ErrNone;
}

// Makes room for `len` more IDAT bytes at the end of the joined data. When
// the file's size is known, the first block takes all that is left of the
// file: no IDAT data can exceed it, so the block never has to grow (untouched
// pages of a mapped block cost nothing).
int32_t growIdat(PngHandle &h, uint32_t len, uint64_t fileLeft)
{
    const uint64_t need = uint64_t(uint32_t(h.idatLength)) + len;
    if (h.idatData && need <= h.idatCapacity)
        return ErrNone;
    if (need > uint64_t(kMaxBlock))
        return h.idatData ? ErrGrowIdat : ErrNoMemory;
    if (!h.idatData) {
        uint64_t cap = len;
        if (fileLeft != UINT64_MAX && fileLeft > cap)
            cap = std::min<uint64_t>(fileLeft, uint64_t(kMaxBlock));
        h.idatData = static_cast<unsigned char *>(blockAlloc(std::size_t(cap)));
        if (!h.idatData)
            return ErrNoMemory;
        h.idatCapacity = uint32_t(cap);
        return ErrNone;
    }
    // Geometric growth keeps files of many small IDAT chunks linear.
    uint64_t cap = uint64_t(h.idatCapacity) * 2;
    if (cap < need)
        cap = need;
    if (cap > uint64_t(kMaxBlock))
        cap = uint64_t(kMaxBlock);
    void *grown = blockGrow(h.idatData, h.idatCapacity, std::size_t(cap));
    if (!grown)
        return ErrGrowIdat;
    h.idatData = static_cast<unsigned char *>(grown);
    h.idatCapacity = uint32_t(cap);
    return ErrNone;
}

int32_t checkIdatOrder(const PngHandle &h)
{
    if (!h.ihdrSeen)
        return ErrBeforeIhdr;
    if (h.colourType == 3 && !h.plteSeen)
        return ErrNoPlte;
    return ErrNone;
}

int32_t handleIend(PngHandle &h)
{
    if (!h.ihdrSeen)
        return ErrBeforeIhdr;
    if (!h.idatSeen)
        return ErrNoIdat;
    if (h.colourType == 3 && !h.plteSeen)
        return ErrNoPlte;
    h.iendSeen = true;
    return ErrNone;
}

// One chunk: header, data (streamed through the CRC; IDAT straight into the
// joined block, IHDR and PLTE into a small buffer), CRC check, handler.
int32_t readChunk(PngHandle &h, ChunkFile &file)
{
    unsigned char head[8];
    if (!file.read(head, 8))
        return ErrShortRead;
    const uint32_t len = readBe32(head);
    const unsigned char *type = head + 4;
    if (!file.mayHold(uint64_t(len) + 4))
        return ErrShortRead;

    ChunkCrc crc;
    crc.update(type, 4);

    const bool isIdat = std::memcmp(type, "IDAT", 4) == 0;
    unsigned char small[768]; // enough for IHDR and any PLTE the handler accepts
    uint32_t kept = 0;
    if (isIdat && len > 0 && checkIdatOrder(h) == ErrNone) {
        // Straight into the joined block. An out-of-order IDAT is streamed
        // like any other chunk, so that its CRC is still judged first.
        if (const int32_t e = growIdat(h, len, file.remaining()))
            return e;
        unsigned char *dst = h.idatData + h.idatLength;
        if (!file.read(dst, len))
            return ErrShortRead;
        crc.update(dst, len);
    } else {
        unsigned char buf[16384];
        for (uint32_t left = len; left > 0;) {
            const uint32_t n = left < sizeof buf ? left : uint32_t(sizeof buf);
            if (!file.read(buf, n))
                return ErrShortRead;
            crc.update(buf, n);
            if (kept < sizeof small) {
                const uint32_t k = std::min<uint32_t>(n, uint32_t(sizeof small) - kept);
                std::memcpy(small + kept, buf, k);
                kept += k;
            }
            left -= n;
        }
    }

    unsigned char stored[4];
    if (!file.read(stored, 4))
        return ErrShortRead;
    if (readBe32(stored) != crc.value())
        return ErrCrc;

    if (isIdat) {
        if (const int32_t e = checkIdatOrder(h))
            return e;
        h.idatLength += int32_t(len);
        h.idatSeen = true;
        return ErrNone;
    }
    if (std::memcmp(type, "IHDR", 4) == 0)
        return handleIhdr(h, small, len);
    if (std::memcmp(type, "PLTE", 4) == 0)
        return handlePlte(h, small, len); // judges the length before reading any entry
    if (std::memcmp(type, "IEND", 4) == 0)
        return handleIend(h);
    return ErrNone; // every other chunk is skipped once its CRC is right
}

int32_t inflateImage(PngHandle &h)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return ErrInflateInit;
    zs.next_in = h.idatData;
    zs.avail_in = uInt(h.idatLength);
    zs.next_out = h.imageData;
    zs.avail_out = uInt(h.imageCapacity);
    // Only the end of the stream counts: Z_OK, Z_NEED_DICT and Z_BUF_ERROR
    // (truncated data, or more data than the image holds) all fail.
    const int rc = inflate(&zs, Z_FINISH);
    if (rc != Z_STREAM_END) {
        inflateEnd(&zs);
        return ErrInflate;
    }
    h.inflatedBytes = int32_t(zs.total_out);
    if (inflateEnd(&zs) != Z_OK)
        return ErrInflateEnd;
    // The compressed data is no longer needed.
    blockFree(h.idatData, h.idatCapacity);
    h.idatData = nullptr;
    h.idatCapacity = 0;
    return ErrNone;
}

// Rows past the end of the inflated bytes are all zeros, filter type None
// included, so unfiltering stops there: a tiny file declaring a tall image
// costs no time for the rows it never filled.
void unfilterRows(unsigned char *data, int64_t rows, int64_t rawLen, unsigned step, int64_t filled)
{
    const unsigned char *prev = nullptr;
    for (int64_t r = 0; r < rows && r * (rawLen + 1) < filled; ++r) {
        unsigned char *line = data + r * (rawLen + 1);
        unfilterRow(line[0], line + 1, prev, std::size_t(rawLen), step);
        prev = line + 1;
    }
}

void unfilterImage(PngHandle &h)
{
    if (h.interlaceMethod != 1) {
        unfilterRows(h.imageData, h.height, h.rawRowLength, unsigned(h.filterStep), h.inflatedBytes);
        return;
    }
    int64_t offset = 0;
    for (const Adam7Pass &p : kAdam7) {
        const int64_t cols = adam7Count(uint32_t(h.width), p.x0, p.dx);
        const int64_t rows = adam7Count(uint32_t(h.height), p.y0, p.dy);
        if (!cols || !rows)
            continue;
        const int64_t rawLen = (cols * h.bitsPerPixel + 7) / 8;
        unfilterRows(h.imageData + offset, rows, rawLen, unsigned(h.filterStep), h.inflatedBytes - offset);
        offset += rows * (rawLen + 1);
    }
}

void fillInfo(const PngHandle &h, BITMAPINFO *info)
{
    BITMAPINFOHEADER &bh = info->bmiHeader;
    bh.biSize = 40;
    bh.biWidth = h.width;
    bh.biHeight = -h.height;
    bh.biPlanes = 1;
    bh.biBitCount = uint16_t(h.outputBits);
    bh.biCompression = 0;
    bh.biSizeImage = 0;
    bh.biXPelsPerMeter = 0;
    bh.biYPelsPerMeter = 0;
    bh.biClrUsed = 0;
    bh.biClrImportant = 0;

    // The table runs on past the one declared entry: address it as bytes.
    unsigned char *table = reinterpret_cast<unsigned char *>(info) + sizeof(BITMAPINFOHEADER);
    auto greys = [table](int count, int step) {
        for (int i = 0; i < count; ++i) {
            const auto v = static_cast<unsigned char>(i * step);
            table[4 * i] = v;
            table[4 * i + 1] = v;
            table[4 * i + 2] = v;
            table[4 * i + 3] = 0;
        }
    };
    switch (h.colourType) {
    case 0:
        switch (h.bitDepth) {
        case 1: greys(2, 255); break;
        case 2: greys(4, 64); break; // 0, 64, 128, 192
        case 4: greys(16, 16); break;
        default: greys(256, 1); break;
        }
        break;
    case 3:
        if (h.palette)
            std::memcpy(table, h.palette, 1024);
        else
            std::memset(table, 0, 1024);
        break;
    case 4: greys(256, 1); break;
    default: break; // truecolour has no table
    }
}

} // namespace

extern "C" RASTERLY_API int32_t RASTERLY_STDCALL mLoadPNGLimit(const char *path, PngHandle **handleOut,
                                                               BITMAPINFO *infoOut, int32_t *sizeOut,
                                                               int64_t maxRowBytes)
{
    auto *h = static_cast<PngHandle *>(std::calloc(1, sizeof(PngHandle)));
    if (!h)
        return 3;
    h->rowLimit = maxRowBytes > 0 && maxRowBytes < kMaxBlock ? maxRowBytes : kMaxBlock;
    int32_t err = ErrNone;
    {
        ChunkFile file(path);
        if (!file.isOpen() || !handleOut || !infoOut || !sizeOut) {
            err = ErrOpen;
        } else {
            unsigned char sig[8];
            if (!file.read(sig, 8) || std::memcmp(sig, kSignature, 8) != 0)
                err = ErrSignature;
            while (err == ErrNone && !h->iendSeen)
                err = readChunk(*h, file);
        }
    } // the file is closed here, on every path
    if (err == ErrNone)
        err = inflateImage(*h);
    if (err == ErrNone)
        unfilterImage(*h);
    if (err != ErrNone) {
        h->lastError = err;
        freeHandle(h);
        return resultFor(err);
    }
    fillInfo(*h, infoOut);
    *sizeOut = h->outputSize;
    *handleOut = h;
    return 1;
}

extern "C" RASTERLY_API int32_t RASTERLY_STDCALL mLoadPNG(const char *path, PngHandle **handleOut,
                                                          BITMAPINFO *infoOut, int32_t *sizeOut)
{
    return mLoadPNGLimit(path, handleOut, infoOut, sizeOut, RASTERLY_DEFAULT_ROW_LIMIT);
}

namespace {

// 2-bit samples of one byte, most significant pair first, as four bytes.
struct Unpack2Table {
    uint32_t v[256];
    constexpr Unpack2Table() : v{}
    {
        for (unsigned b = 0; b < 256; ++b)
            v[b] = (b >> 6) | (((b >> 4) & 3u) << 8) | (((b >> 2) & 3u) << 16) | ((b & 3u) << 24);
    }
};
constexpr Unpack2Table kUnpack2;

// Samples of depth 1, 2 or 4, most significant bits first, one byte each.
void unpackSamples(unsigned char *out, const unsigned char *in, std::size_t count, int depth)
{
    const unsigned perByte = 8u / unsigned(depth);
    const unsigned mask = (1u << depth) - 1;
    if (depth == 2) {
        std::size_t k = 0;
        for (; k + 4 <= count; k += 4) {
            const uint32_t v = kUnpack2.v[in[k / 4]]; // little-endian order: byte 0 first
            std::memcpy(out + k, &v, 4);
        }
        for (; k < count; ++k)
            out[k] = static_cast<unsigned char>((in[k / 4] >> (6 - 2 * (k % 4))) & 3u);
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const unsigned shift = 8u - unsigned(depth) * (unsigned(k % perByte) + 1);
        out[k] = static_cast<unsigned char>((in[k / perByte] >> shift) & mask);
    }
}

// One row of `count` pixels in the raw layout to output pixels, for every
// layout whose output pixel is whole bytes (depth 8 and 16, 2-bit grey and
// palette unpacked). `outStep` is the byte distance between output pixels:
// the pixel size for a plain row, a multiple of it for an Adam7 pass.
void convertPixels(const PngHandle &h, unsigned char *out, std::size_t outStep,
                   const unsigned char *in, std::size_t count)
{
    const int depth = h.bitDepth;
    switch (h.colourType) {
    case 0:
    case 3:
        if (depth == 8) {
            for (std::size_t k = 0; k < count; ++k)
                out[k * outStep] = in[k];
        } else { // 16-bit grey: the high byte
            for (std::size_t k = 0; k < count; ++k)
                out[k * outStep] = in[2 * k];
        }
        break;
    case 2:
        if (depth == 8) {
            for (std::size_t k = 0; k < count; ++k, out += outStep, in += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            for (std::size_t k = 0; k < count; ++k, out += outStep, in += 6) {
                out[0] = in[4];
                out[1] = in[2];
                out[2] = in[0];
            }
        }
        break;
    case 4: {
        const std::size_t bytes = depth == 8 ? 2 : 4; // grey kept, alpha dropped
        for (std::size_t k = 0; k < count; ++k)
            out[k * outStep] = in[k * bytes];
        break;
    }
    default: // 6
        if (depth == 8) {
            for (std::size_t k = 0; k < count; ++k, out += outStep, in += 4) {
                uint32_t v;
                std::memcpy(&v, in, 4);
                v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
                std::memcpy(out, &v, 4);
            }
        } else {
            for (std::size_t k = 0; k < count; ++k, out += outStep, in += 8) {
                out[0] = in[4];
                out[1] = in[2];
                out[2] = in[0];
                out[3] = in[6];
            }
        }
        break;
    }
}

int32_t outputPixelBytes(const PngHandle &h)
{
    switch (h.colourType) {
    case 2: return 3;
    case 6: return 4;
    default: return 1;
    }
}

void convertPlain(const PngHandle &h, unsigned char *pixels)
{
    const std::size_t rawLen = std::size_t(h.rawRowLength);
    const std::size_t stride = std::size_t(h.outputStride);
    const std::size_t w = std::size_t(h.width);
    const unsigned char *line = h.imageData + 1;
    // Rows past the inflated data are zeros, which every layout turns into
    // zero bytes: the caller's zeroed buffer already holds them.
    const int32_t rows = int32_t(std::min<int64_t>(h.height, (int64_t(h.inflatedBytes) + rawLen) / (rawLen + 1)));
    for (int32_t r = 0; r < rows; ++r, line += rawLen + 1) {
        unsigned char *out = pixels + std::size_t(r) * stride;
        if ((h.colourType == 0 || h.colourType == 3) && h.bitDepth < 8) {
            if (h.bitDepth == 2)
                unpackSamples(out, line, w, 2);
            else
                std::memcpy(out, line, rawLen); // 1 and 4 bits stay packed
        } else if ((h.colourType == 0 || h.colourType == 3) && h.bitDepth == 8) {
            std::memcpy(out, line, w);
        } else {
            convertPixels(h, out, std::size_t(outputPixelBytes(h)), line, w);
        }
    }
}

int32_t convertInterlaced(const PngHandle &h, unsigned char *pixels)
{
    const bool packed = (h.colourType == 0 || h.colourType == 3) && h.bitDepth < 8;
    unsigned char *unpacked = nullptr;
    if (packed) {
        unpacked = static_cast<unsigned char *>(std::malloc(std::size_t(adam7Count(uint32_t(h.width), 0, 1))));
        if (!unpacked)
            return ErrNoMemory;
    }
    const std::size_t stride = std::size_t(h.outputStride);
    const std::size_t px = std::size_t(outputPixelBytes(h));
    const unsigned char *pass = h.imageData;
    for (const Adam7Pass &p : kAdam7) {
        const std::size_t cols = adam7Count(uint32_t(h.width), p.x0, p.dx);
        const std::size_t rows = adam7Count(uint32_t(h.height), p.y0, p.dy);
        if (!cols || !rows)
            continue;
        const std::size_t rawLen = (cols * std::size_t(h.bitsPerPixel) + 7) / 8;
        for (std::size_t r = 0; r < rows; ++r) {
            if (pass + r * (rawLen + 1) >= h.imageData + h.inflatedBytes)
                break; // zeros from here on, as in convertPlain
            const unsigned char *line = pass + r * (rawLen + 1) + 1;
            unsigned char *out = pixels + (std::size_t(p.y0) + r * std::size_t(p.dy)) * stride
                                 + std::size_t(p.x0) * px;
            if (packed) {
                unpackSamples(unpacked, line, cols, h.bitDepth);
                for (std::size_t k = 0; k < cols; ++k)
                    out[k * std::size_t(p.dx)] = unpacked[k];
            } else {
                convertPixels(h, out, px * std::size_t(p.dx), line, cols);
            }
        }
        pass += rows * (rawLen + 1);
    }
    std::free(unpacked);
    return ErrNone;
}

} // namespace

extern "C" RASTERLY_API int32_t RASTERLY_STDCALL mGetPNGData(PngHandle **handleRef, void *pixelsOut)
{
    if (!handleRef || !*handleRef || !pixelsOut)
        return 0;
    PngHandle &h = **handleRef;
    auto *pixels = static_cast<unsigned char *>(pixelsOut);
    if (h.interlaceMethod != 1) {
        convertPlain(h, pixels);
        return 1;
    }
    if (const int32_t e = convertInterlaced(h, pixels)) {
        h.lastError = e;
        return resultFor(e);
    }
    return 1;
}

extern "C" RASTERLY_API int32_t RASTERLY_STDCALL mEndPNG(PngHandle **handleRef)
{
    if (!handleRef || !*handleRef)
        return 0;
    freeHandle(*handleRef);
    return 1;
}
