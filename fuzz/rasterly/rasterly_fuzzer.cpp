// Fuzz target: any bytes as a PNG file through mLoadPNG, mGetPNGData and
// mEndPNG. A decoded 8-, 24- or 32-bit image is also written back with
// mWritePNG and must read back to the same pixels.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "rasterly/rasterly.h"

namespace {

constexpr int32_t kMaxPixelBytes = 4 << 20; // larger pictures are loaded but not converted
constexpr int32_t kMaxRoundTrip = 256 << 10;

std::string tempPath(const char *suffix)
{
    const char *dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/rasterly_fuzz_" + std::to_string(::getpid()) + suffix;
}

bool writeFile(const std::string &path, const uint8_t *data, size_t size)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

struct Decoded {
    int32_t result = 0;
    RASTERLY_BITMAPINFO256 info{};
    std::vector<uint8_t> pixels;
};

Decoded decode(const std::string &path)
{
    Decoded d;
    PngHandle *h = nullptr;
    int32_t size = 0;
    d.result = mLoadPNG(path.c_str(), &h, reinterpret_cast<BITMAPINFO *>(&d.info), &size);
    if (d.result != 1)
        return d;
    if (size < 0)
        __builtin_trap();
    if (size <= kMaxPixelBytes) {
        d.pixels.assign(size_t(size), 0);
        if (mGetPNGData(&h, d.pixels.data()) != 1)
            d.result = 0;
    }
    mEndPNG(&h);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string in = tempPath(".png");
    static const std::string out = tempPath("_out.png");
    if (!writeFile(in, data, size))
        return 0;
    const Decoded d = decode(in);
    if (d.result != 1 && d.result != 3 && d.result != 4 && d.result != 0)
        __builtin_trap();
    const int bits = d.info.bmiHeader.biBitCount;
    if (d.result != 1 || d.pixels.empty() || d.pixels.size() > size_t(kMaxRoundTrip)
        || (bits != 8 && bits != 24 && bits != 32))
        return 0;

    RASTERLY_BITMAPINFO256 info = d.info;
    info.bmiHeader.biHeight = -info.bmiHeader.biHeight; // rows are already top first in memory
    if (mWritePNG(out.c_str(), d.pixels.data(), reinterpret_cast<const BITMAPINFO *>(&info), int32_t(size & 1)) != 1)
        __builtin_trap();
    const Decoded back = decode(out);
    if (back.result != 1 || back.pixels != d.pixels)
        __builtin_trap();
    return 0;
}
