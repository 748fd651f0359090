// mWritePNG: device-independent bitmap to PNG file, 8 bits per sample.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <zlib.h>

#include "chunkio.h"
#include "rasterly/rasterly.h"

using namespace rasterly;

namespace {

constexpr std::size_t kPiece = 1024;      // deflate output is written in pieces of this size
constexpr std::size_t kStage = 64 * 1024; // scanlines made ahead of deflate

class OutFile
{
public:
    explicit OutFile(const char *path) : m_file(std::fopen(path, "wb"))
    {
        if (m_file)
            std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
    }
    ~OutFile() { close(); }
    OutFile(const OutFile &) = delete;
    OutFile &operator=(const OutFile &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    bool write(const void *p, std::size_t n) { return n == 0 || std::fwrite(p, 1, n, m_file) == n; }
    long tell() { return std::ftell(m_file); }
    bool seek(long pos) { return std::fseek(m_file, pos, SEEK_SET) == 0; }
    bool close()
    {
        if (!m_file)
            return true;
        const bool ok = std::fclose(m_file) == 0;
        m_file = nullptr;
        return ok;
    }

private:
    std::FILE *m_file;
};

bool writeChunk(OutFile &out, const char *type, const unsigned char *data, uint32_t len)
{
    unsigned char head[8];
    writeBe32(head, len);
    std::memcpy(head + 4, type, 4);
    ChunkCrc crc;
    crc.update(head + 4, 4);
    if (len)
        crc.update(data, len);
    unsigned char tail[4];
    writeBe32(tail, crc.value());
    return out.write(head, 8) && out.write(data, len) && out.write(tail, 4);
}

// Source pixel to PNG sample order: indices as they are, BGR(A) to RGB(A).
void packPixels(unsigned char *dst, const unsigned char *src, std::size_t count, std::size_t srcStep,
                int bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1:
        if (srcStep == 1) {
            std::memcpy(dst, src, count);
        } else {
            for (std::size_t k = 0; k < count; ++k)
                dst[k] = src[k * srcStep];
        }
        break;
    case 3:
        for (std::size_t k = 0; k < count; ++k, dst += 3, src += srcStep) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
        break;
    default:
        for (std::size_t k = 0; k < count; ++k, dst += 4, src += srcStep) {
            uint32_t v;
            std::memcpy(&v, src, 4);
            v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
            std::memcpy(dst, &v, 4);
        }
        break;
    }
}

// The scanlines in file order, made a few rows at a time as deflate takes
// them: filter type 0 (None) on every row; Adam7 passes in order, empty
// passes skipped. Rows stay in cache on their way into zlib, and no buffer
// of the whole image is needed.
class Scanlines
{
public:
    Scanlines(const unsigned char *pixels, uint32_t w, uint32_t h, int bpp, std::size_t srcStride, bool interlaced)
        : m_pixels(pixels), m_w(w), m_h(h), m_bpp(bpp), m_srcStride(srcStride), m_interlaced(interlaced)
    {
        m_pass = interlaced ? -1 : 0;
        if (interlaced)
            nextPass();
        else
            setPass(0, 0, 1, 1);
    }

    // Bytes of all scanlines, filter bytes included.
    static uint64_t totalBytes(uint32_t w, uint32_t h, int bpp, bool interlaced)
    {
        if (!interlaced)
            return w ? uint64_t(h) * (uint64_t(w) * uint64_t(bpp) + 1) : 0;
        uint64_t total = 0;
        for (const Adam7Pass &p : kAdam7) {
            const uint64_t cols = adam7Count(w, p.x0, p.dx), rows = adam7Count(h, p.y0, p.dy);
            if (cols && rows)
                total += rows * (cols * uint64_t(bpp) + 1);
        }
        return total;
    }

    bool done() const { return m_row >= m_rows; }

    // Whole rows into out (room for at least one row of the widest pass).
    std::size_t fill(unsigned char *out, std::size_t room)
    {
        std::size_t used = 0;
        while (!done()) {
            const std::size_t rowLen = std::size_t(m_cols) * std::size_t(m_bpp) + 1;
            if (room - used < rowLen)
                break;
            unsigned char *p = out + used;
            const std::size_t y = std::size_t(m_y0) + std::size_t(m_row) * std::size_t(m_dy);
            *p = 0;
            packPixels(p + 1, m_pixels + y * m_srcStride + std::size_t(m_x0) * std::size_t(m_bpp), m_cols,
                       std::size_t(m_dx) * std::size_t(m_bpp), m_bpp);
            used += rowLen;
            if (++m_row >= m_rows && m_interlaced)
                nextPass();
        }
        return used;
    }

private:
    void setPass(int x0, int y0, int dx, int dy)
    {
        m_x0 = x0;
        m_y0 = y0;
        m_dx = dx;
        m_dy = dy;
        m_cols = adam7Count(m_w, x0, dx);
        m_rows = m_cols ? adam7Count(m_h, y0, dy) : 0;
        m_row = 0;
    }

    void nextPass()
    {
        while (++m_pass < 7) {
            const Adam7Pass &p = kAdam7[m_pass];
            setPass(p.x0, p.y0, p.dx, p.dy);
            if (m_rows)
                return;
        }
        m_rows = 0;
        m_row = 0;
    }

    const unsigned char *m_pixels;
    uint32_t m_w, m_h;
    int m_bpp;
    std::size_t m_srcStride;
    bool m_interlaced;
    int m_pass = 0;
    int m_x0 = 0, m_y0 = 0, m_dx = 1, m_dy = 1;
    uint32_t m_cols = 0, m_rows = 0, m_row = 0;
};

// One IDAT chunk whose length is patched in once the stream is complete.
bool writeIdat(OutFile &out, Scanlines &scan, unsigned char *stage, std::size_t stageSize)
{
    const long lengthPos = out.tell();
    static const unsigned char placeholder[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
    if (lengthPos < 0 || !out.write(placeholder, 8))
        return false;
    ChunkCrc crc;
    crc.update("IDAT", 4);

    z_stream zs{};
    if (deflateInit(&zs, Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    unsigned char piece[kPiece];
    zs.next_out = piece;
    zs.avail_out = kPiece;
    uint64_t total = 0;
    bool ok = true;
    for (;;) {
        if (zs.avail_in == 0 && !scan.done()) {
            zs.next_in = stage;
            zs.avail_in = uInt(scan.fill(stage, stageSize));
        }
        // No flush while input remains; finishing once all of it is in, and
        // from then on.
        const int flush = zs.avail_in == 0 && scan.done() ? Z_FINISH : Z_NO_FLUSH;
        const int rc = deflate(&zs, flush);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            ok = false;
            break;
        }
        if (zs.avail_out == 0) {
            if (!out.write(piece, kPiece)) {
                ok = false;
                break;
            }
            crc.update(piece, kPiece);
            total += kPiece;
            zs.next_out = piece;
            zs.avail_out = kPiece;
        }
        if (rc == Z_STREAM_END)
            break;
    }
    if (ok) {
        const std::size_t last = kPiece - zs.avail_out;
        ok = out.write(piece, last);
        crc.update(piece, last);
        total += last;
    }
    if (deflateEnd(&zs) != Z_OK)
        ok = false;
    if (!ok || total > 0x7FFFFFFFu)
        return false;

    const long endPos = out.tell();
    unsigned char be[4];
    writeBe32(be, uint32_t(total));
    if (endPos < 0 || !out.seek(lengthPos) || !out.write(be, 4) || !out.seek(endPos))
        return false;
    writeBe32(be, crc.value());
    return out.write(be, 4);
}

} // namespace

extern "C" RASTERLY_API int32_t RASTERLY_STDCALL mWritePNG(const char *path, const void *pixels,
                                                           const BITMAPINFO *info, int32_t interlace)
{
    if (!path || !pixels || !info)
        return 0;
    const BITMAPINFOHEADER &bh = info->bmiHeader;
    if (bh.biSize != 40 || bh.biWidth < 0 || bh.biHeight < 0 || bh.biCompression != 0)
        return 0;
    int colourType;
    int bpp;
    switch (bh.biBitCount) {
    case 8: colourType = 3; bpp = 1; break;
    case 24: colourType = 2; bpp = 3; break;
    case 32: colourType = 6; bpp = 4; break;
    default: return 0;
    }
    const uint32_t w = uint32_t(bh.biWidth), h = uint32_t(bh.biHeight);
    // A PNG needs at least one pixel: width 0 or height 0 makes a file that
    // no reader accepts, so nothing is written.
    if (w == 0 || h == 0)
        return 0;
    const uint64_t rowBytes = uint64_t(w) * uint64_t(bpp);
    const uint64_t srcStride = (rowBytes + 3) / 4 * 4;
    if (srcStride > SIZE_MAX / h) // the caller's rows could not even be addressed
        return 0;
    if (Scanlines::totalBytes(w, h, bpp, interlace != 0) == 0)
        return 0;
    // Room for whole rows: at least one full-width row, ideally many.
    const std::size_t stageSize = std::max<std::size_t>(std::size_t(rowBytes) + 1, kStage);
    auto *stage = static_cast<unsigned char *>(std::malloc(stageSize));
    if (!stage)
        return 0;
    Scanlines scan(static_cast<const unsigned char *>(pixels), w, h, bpp, std::size_t(srcStride), interlace != 0);

    bool ok = false;
    {
        OutFile out(path);
        if (out.isOpen()) {
            unsigned char ihdr[13];
            writeBe32(ihdr, w);
            writeBe32(ihdr + 4, h);
            ihdr[8] = 8;
            ihdr[9] = static_cast<unsigned char>(colourType);
            ihdr[10] = 0;
            ihdr[11] = 0;
            ihdr[12] = interlace != 0 ? 1 : 0;
            ok = out.write(kSignature, 8) && writeChunk(out, "IHDR", ihdr, 13);
            if (ok && colourType == 3) {
                // All 256 entries of the colour table, whatever biClrUsed says.
                const auto *table = reinterpret_cast<const unsigned char *>(info) + sizeof(BITMAPINFOHEADER);
                unsigned char plte[768];
                for (int i = 0; i < 256; ++i) {
                    plte[3 * i] = table[4 * i + 2];
                    plte[3 * i + 1] = table[4 * i + 1];
                    plte[3 * i + 2] = table[4 * i];
                }
                ok = writeChunk(out, "PLTE", plte, 768);
            }
            ok = ok && writeIdat(out, scan, stage, stageSize) && writeChunk(out, "IEND", nullptr, 0);
            ok = out.close() && ok; // a failed close (full disk) is a failed write
        }
    }
    std::free(stage);
    return ok ? 1 : 0;
}
