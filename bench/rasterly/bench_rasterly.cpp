// Rasterly against libpng on large pictures: decode (mLoadPNG + mGetPNGData
// versus libpng reading into the same bitmap rows) and encode (mWritePNG
// versus libpng at the same zlib level with filter None). The two run
// alternately; each line prints both medians and the ratio Rasterly/libpng,
// and whether the outputs agree (decoded pixels; the joined IDAT bytes).
//   bench_rasterly [repetitions] [decode|encode]   (default: 5, both)
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <png.h>
#include <zlib.h>
#include <unistd.h>

#include "rasterly/rasterly.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

struct Picture {
    std::string name;
    int w = 0, h = 0, bits = 0;   // bits per pixel of the bitmap: 8, 24, 32
    bool interlace = false;
    RASTERLY_BITMAPINFO256 info{};
    int stride = 0;
    Bytes pixels;                 // rows top first, blue-green-red(-alpha) or indices
};

uint32_t nextRandom(uint32_t &s)
{
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

// Smooth shapes, soft edges and a little sensor noise: compresses about as
// a photograph does, neither trivially nor not at all.
Picture makePicture(const std::string &name, int w, int h, int bits, bool interlace)
{
    Picture p;
    p.name = name;
    p.w = w;
    p.h = h;
    p.bits = bits;
    p.interlace = interlace;
    p.stride = (w * bits / 8 + 3) / 4 * 4;
    p.pixels.assign(size_t(p.stride) * size_t(h), 0);
    auto &bh = p.info.bmiHeader;
    bh.biSize = 40;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = uint16_t(bits);
    for (int i = 0; i < 256; ++i)
        p.info.bmiColors[i] = RGBQUAD{uint8_t(i), uint8_t((i * 5) & 255), uint8_t(255 - i), 0};
    uint32_t seed = 0x12345678u;
    for (int y = 0; y < h; ++y) {
        uint8_t *row = p.pixels.data() + size_t(y) * size_t(p.stride);
        for (int x = 0; x < w; ++x) {
            const double fx = x / double(w), fy = y / double(h);
            const double base = 0.5 + 0.25 * std::sin(9 * fx + 4 * fy) + 0.2 * std::cos(13 * fy * fx + 3 * fy);
            const int noise = int(nextRandom(seed) % 9) - 4;
            auto channel = [&](double shift) {
                const double v = 255 * (base + 0.1 * std::sin(7 * fx + shift)) + noise;
                return uint8_t(std::clamp(int(v), 0, 255));
            };
            if (bits == 8) {
                row[x] = uint8_t(std::clamp(int(255 * base) + noise / 2, 0, 255));
            } else {
                uint8_t *px = row + size_t(x) * size_t(bits / 8);
                px[0] = channel(0.0);
                px[1] = channel(1.0);
                px[2] = channel(2.0);
                if (bits == 32)
                    px[3] = uint8_t(std::clamp(int(255 * (1 - fy * fx)) + noise, 0, 255));
            }
        }
    }
    return p;
}

// CPU time of the process (user and system, page faults included): the
// machine is shared, and wall-clock time would count other people's work.
double cpuNow()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double seconds(const std::function<void()> &f)
{
    const double t0 = cpuNow();
    f();
    return cpuNow() - t0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int colourTypeOf(int bits)
{
    return bits == 8 ? PNG_COLOR_TYPE_PALETTE : bits == 24 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA;
}

// libpng writes the bitmap: 8-bit samples, BGR input, zlib level 6; filters
// None for the encode comparison, libpng's adaptive choice for decode inputs.
bool libpngWrite(const Picture &p, const std::string &path, bool filterNone)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, uint32_t(p.w), uint32_t(p.h), 8, colourTypeOf(p.bits),
                 p.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    if (p.bits == 8) {
        for (int i = 0; i < 256; ++i)
            palette[i] = png_color{p.info.bmiColors[i].rgbRed, p.info.bmiColors[i].rgbGreen, p.info.bmiColors[i].rgbBlue};
        png_set_PLTE(png, info, palette, 256);
    }
    png_set_compression_level(png, 6);
    if (filterNone)
        png_set_filter(png, 0, PNG_FILTER_NONE);
    png_write_info(png, info);
    if (p.bits != 8)
        png_set_bgr(png);
    std::vector<png_bytep> rows(size_t(p.h));
    for (int y = 0; y < p.h; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(p.pixels.data() + size_t(y) * size_t(p.stride));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// libpng reads the file into bitmap rows laid out as mGetPNGData writes them.
bool libpngRead(const std::string &path, Bytes &out, int stride)
{
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (type != PNG_COLOR_TYPE_PALETTE)
        png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    std::vector<png_bytep> rows(h);
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = out.data() + size_t(y) * size_t(stride);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

bool rasterlyRead(const std::string &path, Bytes &out)
{
    PngHandle *h = nullptr;
    RASTERLY_BITMAPINFO256 info{};
    int32_t size = 0;
    if (mLoadPNG(path.c_str(), &h, reinterpret_cast<BITMAPINFO *>(&info), &size) != 1)
        return false;
    if (size_t(size) > out.size()) {
        mEndPNG(&h);
        return false;
    }
    const bool ok = mGetPNGData(&h, out.data()) == 1;
    mEndPNG(&h);
    return ok;
}

Bytes readFile(const std::string &path)
{
    Bytes b;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        b.resize(size_t(fs::file_size(path)));
        b.resize(std::fread(b.data(), 1, b.size(), f));
        std::fclose(f);
    }
    return b;
}

// The zlib stream of a file: its IDAT chunks joined.
Bytes idatStream(const Bytes &png)
{
    Bytes out;
    for (size_t p = 8; p + 12 <= png.size();) {
        const size_t len = (size_t(png[p]) << 24) | (size_t(png[p + 1]) << 16) | (size_t(png[p + 2]) << 8) | png[p + 3];
        if (std::memcmp(&png[p + 4], "IDAT", 4) == 0)
            out.insert(out.end(), png.begin() + long(p + 8), png.begin() + long(p + 8 + len));
        p += 12 + len;
    }
    return out;
}

void report(const char *what, const std::string &name, const std::vector<double> &ours,
            const std::vector<double> &theirs, bool same, const char *sameWhat)
{
    const double a = median(ours), b = median(theirs);
    const double fastA = *std::min_element(ours.begin(), ours.end());
    const double fastB = *std::min_element(theirs.begin(), theirs.end());
    std::printf("%-7s %-20s rasterly %7.1f ms  libpng %7.1f ms  ratio %.3f  (fastest runs %.3f)  %s %s\n", what,
                name.c_str(), a * 1e3, b * 1e3, a / b, fastA / fastB, sameWhat, same ? "yes" : "NO");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string only = argc > 2 ? argv[2] : "";
    const bool doDecode = only != "encode", doEncode = only != "decode";
    const fs::path dir = fs::temp_directory_path() / ("rasterly_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::printf("Rasterly vs libpng %s, zlib %s, median CPU time of %d alternating runs\n", PNG_LIBPNG_VER_STRING,
                zlibVersion(), reps);

    std::vector<Picture> pictures;
    pictures.push_back(makePicture("rgb 4096x4096", 4096, 4096, 24, false));
    pictures.push_back(makePicture("rgba 4096x4096", 4096, 4096, 32, false));
    pictures.push_back(makePicture("palette 2048x2048", 2048, 2048, 8, false));
    pictures.push_back(makePicture("rgb 4096x4096 adam7", 4096, 4096, 24, true));

    bool allSame = true;
    for (const Picture &p : pictures) {
        // Decode: a file as libpng writes it by default (adaptive filters).
        const std::string input = (dir / "input.png").string();
        if (!libpngWrite(p, input, false)) {
            std::fprintf(stderr, "cannot write %s\n", input.c_str());
            return 1;
        }
        Bytes ours(p.pixels.size(), 0), theirs(p.pixels.size(), 0);
        std::vector<double> tOurs, tTheirs;
        bool ok = true;
        for (int i = 0; i < (doDecode ? reps : 0); ++i) {
            tOurs.push_back(seconds([&] { ok = rasterlyRead(input, ours) && ok; }));
            tTheirs.push_back(seconds([&] { ok = libpngRead(input, theirs, p.stride) && ok; }));
        }
        if (doDecode) {
            const bool sameDecode = ok && ours == theirs && ours == p.pixels;
            allSame = allSame && sameDecode;
            report("decode", p.name, tOurs, tTheirs, sameDecode, "same pixels");
        }
        if (!doEncode)
            continue;

        // Encode: filter None, level 6, both.
        const std::string a = (dir / "ours.png").string(), b = (dir / "theirs.png").string();
        tOurs.clear();
        tTheirs.clear();
        ok = true;
        const int encodeReps = reps;
        for (int i = 0; i < encodeReps; ++i) {
            tOurs.push_back(seconds([&] {
                ok = mWritePNG(a.c_str(), p.pixels.data(), reinterpret_cast<const BITMAPINFO *>(&p.info),
                               p.interlace ? 1 : 0) == 1 && ok;
            }));
            tTheirs.push_back(seconds([&] { ok = libpngWrite(p, b, true) && ok; }));
        }
        const bool sameEncode = ok && idatStream(readFile(a)) == idatStream(readFile(b));
        allSame = allSame && sameEncode;
        report("encode", p.name, tOurs, tTheirs, sameEncode, "same IDAT bytes");
    }
    fs::remove_all(dir);
    return allSame ? 0 : 1;
}
