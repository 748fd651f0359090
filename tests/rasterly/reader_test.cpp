// Reader rules on hand-made files: chunk order and CRCs, the geometry and
// colour tables, inflate outcomes, the hardening against hostile headers, and
// the exports seen through dlopen.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "png_builder.h"
#include "png_oracle.h"
#include "rasterly/rasterly.h"

using namespace rasterly_test;
namespace fs = std::filesystem;

namespace {

class ReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("rasterly_reader_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    RasterlyImage load(const Bytes &png)
    {
        const std::string path = (m_dir / "t.png").string();
        EXPECT_TRUE(writeBytes(path, png));
        return decodeWithRasterly(path);
    }
    int32_t resultOf(const Bytes &png) { return load(png).result; }

    static BITMAPINFOHEADER header(const RasterlyImage &img)
    {
        BITMAPINFOHEADER bh;
        std::memcpy(&bh, img.info.data(), sizeof bh);
        return bh;
    }
    static const uint8_t *table(const RasterlyImage &img) { return img.info.data() + 40; }

    fs::path m_dir;
};

// Scanlines of an 8-bit grey image with every row filtered with `filter`.
Bytes greyRows(int w, int h, uint8_t filter)
{
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(filter);
        for (int x = 0; x < w; ++x)
            raw.push_back(uint8_t(x * 7 + y * 13));
    }
    return raw;
}

Bytes simpleGrey(int w = 3, int h = 2)
{
    return PngBuilder().ihdr(w, h, 8, 0).idat(greyRows(w, h, 0)).iend().bytes();
}

TEST_F(ReaderTest, InterlacedOneBitGreyBecomesEightBitTopDown)
{
    // 3 x 2, 1 bit: passes 1 (x0), 4 (x2), 6 (x1) on row 0, pass 7 on row 1.
    Bytes raw = {0, 0x80, 0, 0x00, 0, 0x80, 0, 0x40};
    const auto img = load(PngBuilder().ihdr(3, 2, 1, 0, 1).idat(raw).iend().bytes());
    ASSERT_EQ(img.result, 1);
    const auto bh = header(img);
    EXPECT_EQ(bh.biBitCount, 8);
    EXPECT_EQ(bh.biHeight, -2);
    EXPECT_EQ(img.size, 8); // stride 4
    EXPECT_EQ(Bytes(table(img), table(img) + 8), (Bytes{0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(img.pixels, (Bytes{1, 1, 0, 0, 0, 1, 0, 0}));
}

TEST_F(ReaderTest, TwoBitGreyUnpacksWithItsOwnGreyLevels)
{
    // 5 pixels: 0 1 2 3 | 2
    const auto img = load(PngBuilder().ihdr(5, 1, 2, 0).idat({0, 0x1B, 0x80}).iend().bytes());
    ASSERT_EQ(img.result, 1);
    EXPECT_EQ(header(img).biBitCount, 8);
    EXPECT_EQ(img.pixels, (Bytes{0, 1, 2, 3, 2, 0, 0, 0}));
    EXPECT_EQ(Bytes(table(img), table(img) + 16),
              (Bytes{0, 0, 0, 0, 64, 64, 64, 0, 128, 128, 128, 0, 192, 192, 192, 0}));
}

TEST_F(ReaderTest, SixteenBitSamplesKeepTheirHighBytes)
{
    const auto rgb = load(PngBuilder().ihdr(1, 1, 16, 2).idat({0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}).iend().bytes());
    ASSERT_EQ(rgb.result, 1);
    EXPECT_EQ(rgb.pixels, (Bytes{0x9A, 0x56, 0x12, 0}));

    const auto rgba = load(PngBuilder().ihdr(1, 1, 16, 6).idat({0, 1, 0xFF, 2, 0xFF, 3, 0xFF, 4, 0xFF}).iend().bytes());
    ASSERT_EQ(rgba.result, 1);
    EXPECT_EQ(header(rgba).biBitCount, 32);
    EXPECT_EQ(rgba.pixels, (Bytes{3, 2, 1, 4}));

    const auto greyAlpha = load(PngBuilder().ihdr(2, 1, 8, 4).idat({0, 10, 200, 20, 100}).iend().bytes());
    ASSERT_EQ(greyAlpha.result, 1);
    EXPECT_EQ(greyAlpha.pixels, (Bytes{10, 20, 0, 0}));
}

TEST_F(ReaderTest, OnePixelRgbHasStrideFour)
{
    const auto img = load(PngBuilder().ihdr(1, 1, 8, 2).idat({0, 1, 2, 3}).iend().bytes());
    ASSERT_EQ(img.result, 1);
    EXPECT_EQ(img.size, 4);
    EXPECT_EQ(img.pixels, (Bytes{3, 2, 1, 0}));
}

TEST_F(ReaderTest, SkippedChunksLoadButTheirCrcCounts)
{
    auto build = [](const char *type, bool badCrc) {
        return PngBuilder().ihdr(3, 2, 8, 0).chunk(type, {0, 1}, badCrc).idat(greyRows(3, 2, 0)).iend().bytes();
    };
    const Bytes plain = load(simpleGrey()).pixels;
    for (const char *type : {"tRNS", "gAMA", "abCd", "ABCD"}) {
        const auto img = load(build(type, false));
        EXPECT_EQ(img.result, 1) << type;
        EXPECT_EQ(img.pixels, plain) << type;
        EXPECT_EQ(resultOf(build(type, true)), 4) << type;
    }
    // Bytes after IEND are never read.
    Bytes trailing = simpleGrey();
    trailing.insert(trailing.end(), {1, 2, 3});
    EXPECT_EQ(resultOf(trailing), 1);
}

TEST_F(ReaderTest, PaletteRules)
{
    const Bytes row = {0, 0x40};
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 8, 3).plte(257).idat({0, 0, 1}).iend().bytes()), 4);
    const auto small = load(PngBuilder().ihdr(2, 1, 1, 3).plte(3).idat(row).iend().bytes());
    ASSERT_EQ(small.result, 1);
    EXPECT_EQ(header(small).biBitCount, 1);
    // Entries come in as blue, green, red, 0; the rest of the 256 are zeros.
    EXPECT_EQ(Bytes(table(small), table(small) + 12), (Bytes{0, 0, 0, 0, 3, 2, 1, 0, 6, 4, 2, 0}));
    EXPECT_EQ(Bytes(table(small) + 12, table(small) + 1024), Bytes(1012, 0));
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 1, 3).plte(5).idat(row).iend().bytes()), 4);      // > 2^(1+1)
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 1, 3).chunk("PLTE", {1, 2, 3, 4}).idat(row).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 1, 3).plte(2).plte(2).idat(row).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().plte(2).ihdr(2, 1, 1, 3).idat(row).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 8, 0).plte(2).idat({0, 1, 2}).iend().bytes()), 4); // grey
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 1, 3).idat(row).iend().bytes()), 4);               // no PLTE
    // A palette image's IDAT must follow its PLTE.
    EXPECT_EQ(resultOf(PngBuilder().ihdr(2, 1, 1, 3).idat(row).plte(2).iend().bytes()), 4);
    // A suggested palette in a truecolour image may come after the data.
    EXPECT_EQ(resultOf(PngBuilder().ihdr(1, 1, 8, 2).idat({0, 1, 2, 3}).plte(2).iend().bytes()), 1);
}

TEST_F(ReaderTest, ChunkOrderAndHeaderFaults)
{
    const Bytes rows = greyRows(3, 2, 0);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).ihdr(3, 2, 8, 0).idat(rows).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().idat(rows).ihdr(3, 2, 8, 0).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(0, 2, 8, 0).idat(rows).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 0, 8, 0).idat(rows).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 3, 0).idat(rows).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 16, 3).idat(rows).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 5).idat(rows).iend().bytes()), 4);
    // An IHDR of 12 bytes with a right CRC: nothing past its data is taken.
    Bytes shortIhdr = {0, 0, 0, 3, 0, 0, 0, 2, 8, 0, 0, 0};
    EXPECT_EQ(resultOf(PngBuilder().chunk("IHDR", shortIhdr).idat(rows).iend().bytes()), 4);
    // Missing IEND: the next chunk header cannot be read.
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).idat(rows).bytes()), 3);
}

TEST_F(ReaderTest, SignatureAndFileFaults)
{
    const Bytes sig = {137, 80, 78, 71, 13, 10, 26, 10};
    EXPECT_EQ(resultOf(sig), 3);
    EXPECT_EQ(resultOf(Bytes(sig.begin(), sig.begin() + 7)), 4);
    EXPECT_EQ(resultOf({}), 4);
    EXPECT_EQ(decodeWithRasterly((m_dir / "missing.png").string()).result, 3);
    Bytes truncated = simpleGrey();
    truncated.resize(truncated.size() - 6); // inside IEND's CRC
    EXPECT_EQ(resultOf(truncated), 3);
}

TEST_F(ReaderTest, InflateOutcomes)
{
    // Stream shorter than the image: accepted, the missing rows read as 0.
    const auto shortStream = load(PngBuilder().ihdr(3, 2, 8, 0).idat({0, 5, 6, 7}).iend().bytes());
    ASSERT_EQ(shortStream.result, 1);
    EXPECT_EQ(shortStream.pixels, (Bytes{5, 6, 7, 0, 0, 0, 0, 0}));
    // Ending inside a row (a Sub row, whose missing bytes count as 0), and
    // inside the passes of an interlaced image.
    const auto midRow = load(PngBuilder().ihdr(3, 3, 8, 0).idat({0, 5, 6, 7, 1, 1}).iend().bytes());
    ASSERT_EQ(midRow.result, 1);
    EXPECT_EQ(midRow.pixels, (Bytes{5, 6, 7, 0, 1, 1, 1, 0, 0, 0, 0, 0}));
    const auto midPasses = load(PngBuilder().ihdr(2, 2, 8, 0, 1).idat({0, 9, 0, 8}).iend().bytes());
    ASSERT_EQ(midPasses.result, 1);
    EXPECT_EQ(midPasses.pixels, (Bytes{9, 8, 0, 0, 0, 0, 0, 0}));
    // More data than the image holds.
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).idat(greyRows(3, 3, 0)).iend().bytes()), 4);
    // Truncated stream, and IDAT chunks with no data at all.
    Bytes cut = PngBuilder::compress(greyRows(3, 2, 0));
    cut.resize(cut.size() - 3);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).chunk("IDAT", cut).iend().bytes()), 4);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).chunk("IDAT", {}).iend().bytes()), 4);
    // A stream asking for a preset dictionary (inflate's Z_NEED_DICT, 2).
    z_stream zs{};
    ASSERT_EQ(deflateInit(&zs, Z_DEFAULT_COMPRESSION), Z_OK);
    const Bytes dict = {1, 2, 3, 4};
    deflateSetDictionary(&zs, dict.data(), uInt(dict.size()));
    Bytes raw = greyRows(3, 2, 0), packed(256);
    zs.next_in = raw.data();
    zs.avail_in = uInt(raw.size());
    zs.next_out = packed.data();
    zs.avail_out = uInt(packed.size());
    ASSERT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    packed.resize(zs.total_out);
    deflateEnd(&zs);
    EXPECT_EQ(resultOf(PngBuilder().ihdr(3, 2, 8, 0).chunk("IDAT", packed).iend().bytes()), 4);
    // The stream split over several IDAT chunks, with another chunk between.
    const Bytes whole = PngBuilder::compress(greyRows(3, 2, 0));
    const Bytes a(whole.begin(), whole.begin() + 5), b(whole.begin() + 5, whole.end());
    const auto split = load(PngBuilder().ihdr(3, 2, 8, 0).chunk("IDAT", a).chunk("tEXt", {65, 0, 66})
                                .chunk("IDAT", {}).chunk("IDAT", b).iend().bytes());
    ASSERT_EQ(split.result, 1);
    EXPECT_EQ(split.pixels, load(simpleGrey()).pixels);
}

TEST_F(ReaderTest, UnknownFilterTypesLeaveTheRowAlone)
{
    const auto img = load(PngBuilder().ihdr(3, 2, 8, 0).idat(greyRows(3, 2, 9)).iend().bytes());
    ASSERT_EQ(img.result, 1);
    EXPECT_EQ(img.pixels, load(simpleGrey()).pixels);
}

TEST_F(ReaderTest, HugeHeadersAreRefusedWithoutOverflow)
{
    const Bytes row = {0, 0, 0, 0, 0};
    struct Case { uint32_t w, h; int depth, type; };
    for (const Case c : {Case{0x7FFFFFFF, 0x7FFFFFFF, 8, 6}, Case{0x80000000u, 1, 8, 0}, Case{1, 0x80000000u, 8, 0},
                         Case{0xFFFFFFFFu, 0xFFFFFFFFu, 16, 6}, Case{0x40000000, 1, 8, 2},  // row over 2^31
                         Case{0x20000000, 1, 16, 6}, Case{65536, 65536, 8, 0},              // image over 2^31
                         Case{0x7FFFFFFF, 16, 1, 0}, Case{0x7FFFFFFF, 2, 8, 3}}) {
        PngBuilder png;
        png.ihdr(c.w, c.h, c.depth, c.type);
        if (c.type == 3)
            png.plte(2);
        EXPECT_EQ(resultOf(png.idat(row).iend().bytes()), 4)
            << c.w << "x" << c.h << " depth " << c.depth << " type " << c.type;
    }
}

// The caller's cap on the rows: the larger of the inflated scanlines and
// the pixel block must fit, or the file is refused with result 3 before
// either is allocated; the outputs stay as they were.
TEST_F(ReaderTest, RowLimitRefusesBeforeAllocating)
{
    const std::string path = (m_dir / "limit.png").string();
    struct Case {
        const char *what;
        uint32_t w, h;
        int depth, type;
        int64_t limit;
        int32_t result;
    };
    const Case cases[] = {
        // 100 x 100 RGB: 100 rows of 301 scanline bytes, 30000 pixel bytes.
        {"scanlines just fit", 100, 100, 8, 2, 30100, 1},
        {"scanlines one byte over", 100, 100, 8, 2, 30099, 3},
        // 1 x 100 grey: 200 scanline bytes, rows of 4 pixel bytes.
        {"pixel block just fits", 1, 100, 8, 0, 400, 1},
        {"pixel block one byte over", 1, 100, 8, 0, 399, 3},
        {"a tiny file declaring 20000 x 20000", 20000, 20000, 8, 2, 64 << 20, 3},
        {"no cap of its own: the default", 100, 100, 8, 2, 0, 1},
        {"above the default: the default", 100, 100, 8, 2, int64_t(1) << 40, 1},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(writeBytes(path, PngBuilder().ihdr(c.w, c.h, c.depth, c.type).idat(Bytes(8, 0)).iend().bytes()));
        auto *handle = reinterpret_cast<PngHandle *>(0x1234);
        RASTERLY_BITMAPINFO256 info{};
        int32_t size = -7;
        EXPECT_EQ(mLoadPNGLimit(path.c_str(), &handle, reinterpret_cast<BITMAPINFO *>(&info), &size, c.limit),
                  c.result)
            << c.what;
        if (c.result == 1) {
            EXPECT_GT(size, 0) << c.what;
            mEndPNG(&handle);
        } else {
            EXPECT_EQ(handle, reinterpret_cast<PngHandle *>(0x1234)) << c.what;
            EXPECT_EQ(size, -7) << c.what;
        }
    }
}

TEST_F(ReaderTest, FailureLeavesTheOutputsAlone)
{
    const std::string path = (m_dir / "bad.png").string();
    ASSERT_TRUE(writeBytes(path, PngBuilder().ihdr(3, 2, 8, 0).iend().bytes()));
    auto *handle = reinterpret_cast<PngHandle *>(0x1234);
    RASTERLY_BITMAPINFO256 info;
    std::memset(&info, 0x5A, sizeof info);
    int32_t size = -7;
    EXPECT_EQ(mLoadPNG(path.c_str(), &handle, reinterpret_cast<BITMAPINFO *>(&info), &size), 4);
    EXPECT_EQ(handle, reinterpret_cast<PngHandle *>(0x1234));
    EXPECT_EQ(size, -7);
    EXPECT_EQ(info.bmiHeader.biSize, 0x5A5A5A5Au);
}

TEST_F(ReaderTest, HandleLifecycleAndNullArguments)
{
    const std::string path = (m_dir / "ok.png").string();
    ASSERT_TRUE(writeBytes(path, PngBuilder().ihdr(5, 3, 8, 2, 1).idat(Bytes(52, 1)).iend().bytes()));
    PngHandle *h = nullptr;
    RASTERLY_BITMAPINFO256 info{};
    int32_t size = 0;
    ASSERT_EQ(mLoadPNG(path.c_str(), &h, reinterpret_cast<BITMAPINFO *>(&info), &size), 1);
    ASSERT_NE(h, nullptr);
    Bytes first(size_t(size), 0), second(size_t(size), 0xFF);
    EXPECT_EQ(mGetPNGData(&h, first.data()), 1);
    EXPECT_EQ(mGetPNGData(&h, second.data()), 1);
    for (std::size_t row = 0; row < 3; ++row) // padding of each 15-byte row is not written
        EXPECT_TRUE(std::equal(first.begin() + long(row * 16), first.begin() + long(row * 16 + 15),
                               second.begin() + long(row * 16)));
    EXPECT_EQ(mEndPNG(&h), 1);

    PngHandle *none = nullptr;
    EXPECT_EQ(mGetPNGData(nullptr, first.data()), 0);
    EXPECT_EQ(mGetPNGData(&none, first.data()), 0);
    EXPECT_EQ(mEndPNG(nullptr), 0);
    EXPECT_EQ(mEndPNG(&none), 0);
    EXPECT_EQ(mLoadPNG(nullptr, &h, reinterpret_cast<BITMAPINFO *>(&info), &size), 3);
    EXPECT_EQ(mLoadPNG(path.c_str(), nullptr, reinterpret_cast<BITMAPINFO *>(&info), &size), 3);
}

TEST(RasterlyLibrary, ExportsResolveByName)
{
    void *lib = dlopen(RASTERLY_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char *name : {"mLoadPNG", "mLoadPNGLimit", "mGetPNGData", "mEndPNG", "mWritePNG"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    // Nothing but the exports is visible.
    EXPECT_EQ(dlsym(lib, "_ZN8rasterly8ChunkCrc6updateEPKvm"), nullptr);
    using GetFn = int32_t (*)(PngHandle **, void *);
    auto get = reinterpret_cast<GetFn>(dlsym(lib, "mGetPNGData"));
    ASSERT_NE(get, nullptr);
    EXPECT_EQ(get(nullptr, nullptr), 0);
    dlclose(lib);
}

} // namespace

namespace {

// Random sample bytes under random filter types, every colour type and depth,
// plain and Adam7: the unfiltering and pixel conversion must agree with
// libpng's byte for byte.
TEST_F(ReaderTest, RandomFilteredImagesMatchLibpng)
{
    struct Format { int type, depth, samples; };
    const Format formats[] = {{0, 1, 1}, {0, 2, 1}, {0, 4, 1}, {0, 8, 1}, {0, 16, 1}, {3, 1, 1}, {3, 2, 1},
                              {3, 4, 1}, {3, 8, 1}, {2, 8, 3}, {2, 16, 3}, {4, 8, 2}, {4, 16, 2},
                              {6, 8, 4}, {6, 16, 4}};
    uint32_t seed = 2463534242u;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    for (const Format &f : formats) {
        for (int interlace : {0, 1}) {
            // One-row Adam7 images of small depth need more room than h * (row + 4).
            for (auto [w, h] : {std::pair{37, 11}, std::pair{5, 3}, std::pair{1, 7}, std::pair{9, 1}, std::pair{69, 1}}) {
                SCOPED_TRACE(testing::Message() << "type " << f.type << " depth " << f.depth << " " << w << "x"
                                                << h << " interlace " << interlace);
                const int bpp = f.depth * f.samples;
                Bytes raw;
                auto addRows = [&](int cols, int rows) {
                    if (cols == 0 || rows == 0)
                        return;
                    for (int r = 0; r < rows; ++r) {
                        raw.push_back(uint8_t(next() % 5));
                        for (int i = 0; i < (cols * bpp + 7) / 8; ++i)
                            raw.push_back(uint8_t(next()));
                    }
                };
                if (interlace) {
                    const int pass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
                    for (const auto &p : pass)
                        addRows(w > p[0] ? (w - p[0] + p[2] - 1) / p[2] : 0, h > p[1] ? (h - p[1] + p[3] - 1) / p[3] : 0);
                } else {
                    addRows(w, h);
                }
                PngBuilder png;
                png.ihdr(uint32_t(w), uint32_t(h), f.depth, f.type, interlace);
                if (f.type == 3)
                    png.plte(1 << f.depth);
                const Bytes file = png.idat(raw).iend().bytes();
                const DecodedImage ref = decodeWithLibpng(file);
                ASSERT_TRUE(ref.ok) << ref.error;
                const RasterlyImage ours = load(file);
                ASSERT_EQ(ours.result, 1);
                std::string where;
                EXPECT_TRUE(samePixels(ref, ours.pixels, &where)) << where;
            }
        }
    }
}

} // namespace
