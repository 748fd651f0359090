// Writer: every bit count with and without Adam7 read back by libpng and by
// our reader, the file's bytes, and the refusals that leave no file.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include "png_builder.h"
#include "png_oracle.h"
#include "rasterly/rasterly.h"

using namespace rasterly_test;
namespace fs = std::filesystem;

namespace {

struct Bitmap {
    RASTERLY_BITMAPINFO256 info{};
    Bytes pixels;
    int32_t stride = 0;
};

Bitmap makeBitmap(int32_t w, int32_t h, int bits)
{
    Bitmap b;
    b.info.bmiHeader.biSize = 40;
    b.info.bmiHeader.biWidth = w;
    b.info.bmiHeader.biHeight = h;
    b.info.bmiHeader.biPlanes = 1;
    b.info.bmiHeader.biBitCount = uint16_t(bits);
    for (int i = 0; i < 256; ++i)
        b.info.bmiColors[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    b.stride = (w * (bits / 8) + 3) / 4 * 4;
    b.pixels.assign(std::size_t(b.stride) * std::size_t(h > 0 ? h : 0), 0);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w * (bits / 8); ++x)
            b.pixels[std::size_t(y) * std::size_t(b.stride) + std::size_t(x)] = uint8_t(x * 31 + y * 17 + (x * y) % 7);
    }
    return b;
}

class WriterTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("rasterly_writer_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_path = (m_dir / "out.png").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    int32_t write(const Bitmap &b, int32_t interlace)
    {
        return mWritePNG(m_path.c_str(), b.pixels.data(), reinterpret_cast<const BITMAPINFO *>(&b.info), interlace);
    }

    fs::path m_dir;
    std::string m_path;
};

struct Chunk {
    std::string type;
    Bytes data;
    bool crcOk;
};

std::vector<Chunk> chunksOf(const Bytes &png)
{
    std::vector<Chunk> out;
    std::size_t p = 8;
    while (p + 12 <= png.size()) {
        const uint32_t len = (uint32_t(png[p]) << 24) | (png[p + 1] << 16) | (png[p + 2] << 8) | png[p + 3];
        Chunk c{std::string(png.begin() + long(p) + 4, png.begin() + long(p) + 8),
                Bytes(png.begin() + long(p) + 8, png.begin() + long(p + 8 + len)), false};
        const uint32_t stored = (uint32_t(png[p + 8 + len]) << 24) | (png[p + 9 + len] << 16)
                                | (png[p + 10 + len] << 8) | png[p + 11 + len];
        c.crcOk = stored == uint32_t(crc32(0, png.data() + p + 4, len + 4));
        out.push_back(c);
        p += 12 + len;
    }
    EXPECT_EQ(p, png.size());
    return out;
}

Bytes inflateAll(const Bytes &z)
{
    Bytes out(1 << 20);
    uLongf len = uLongf(out.size());
    EXPECT_EQ(uncompress(out.data(), &len, z.data(), uLong(z.size())), Z_OK);
    out.resize(len);
    return out;
}

TEST_F(WriterTest, EveryBitCountReadsBackInLibpngAndInOurReader)
{
    for (int bits : {8, 24, 32}) {
        for (auto [w, h] : {std::pair{13, 7}, std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}, std::pair{64, 33}}) {
            const Bitmap b = makeBitmap(w, h, bits);
            Bytes plainPixels;
            for (int interlace : {0, 1}) {
                SCOPED_TRACE(testing::Message() << bits << " bits " << w << "x" << h << " interlace " << interlace);
                ASSERT_EQ(write(b, interlace), 1);
                const DecodedImage ref = decodeWithLibpng(m_path);
                ASSERT_TRUE(ref.ok) << ref.error;
                EXPECT_EQ(ref.width, w);
                EXPECT_EQ(ref.height, h);
                EXPECT_EQ(ref.bitDepth, 8);
                EXPECT_EQ(ref.interlaced, interlace != 0);
                EXPECT_EQ(ref.bitCount, bits);
                ASSERT_EQ(ref.stride, b.stride);
                std::string where;
                EXPECT_TRUE(samePixels(ref, b.pixels, &where)) << where;
                if (bits == 8) {
                    EXPECT_EQ(0, std::memcmp(ref.table.data(), b.info.bmiColors, 1024));
                }
                const RasterlyImage ours = decodeWithRasterly(m_path);
                ASSERT_EQ(ours.result, 1);
                EXPECT_EQ(ours.pixels, b.pixels);
                if (interlace == 0)
                    plainPixels = ours.pixels;
                else
                    EXPECT_EQ(ours.pixels, plainPixels);
            }
        }
    }
}

TEST_F(WriterTest, FileLayoutChunkByChunk)
{
    Bitmap b = makeBitmap(1, 1, 24);
    b.pixels = {0x10, 0x20, 0x30, 0};
    ASSERT_EQ(write(b, 0), 1);
    const Bytes png = readFile(m_path);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{137, 80, 78, 71, 13, 10, 26, 10}));
    const auto chunks = chunksOf(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[0].data, (Bytes{0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0}));
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(inflateAll(chunks[1].data), (Bytes{0, 0x30, 0x20, 0x10}));
    EXPECT_EQ(chunks[1].data, PngBuilder::compress({0, 0x30, 0x20, 0x10})); // default level
    for (const auto &c : chunks)
        EXPECT_TRUE(c.crcOk) << c.type;
    EXPECT_EQ(Bytes(png.end() - 12, png.end()), (Bytes{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));
}

TEST_F(WriterTest, PaletteAlwaysHas256Entries)
{
    Bitmap b = makeBitmap(3, 2, 8);
    b.info.bmiHeader.biClrUsed = 2;
    ASSERT_EQ(write(b, 1), 1);
    const auto chunks = chunksOf(readFile(m_path));
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].data[9], 3);  // palette
    EXPECT_EQ(chunks[0].data[12], 1); // Adam7
    EXPECT_EQ(chunks[1].type, "PLTE");
    ASSERT_EQ(chunks[1].data.size(), 768u);
    EXPECT_EQ(chunks[1].data[3 * 200], 200 * 3 % 256); // red from the table
    EXPECT_EQ(chunks[1].data[3 * 200 + 1], 55);
    EXPECT_EQ(chunks[1].data[3 * 200 + 2], 200);
}

TEST_F(WriterTest, LargeImageStreamsAcrossManyPieces)
{
    const Bitmap b = makeBitmap(300, 200, 32);
    ASSERT_EQ(write(b, 0), 1);
    const auto chunks = chunksOf(readFile(m_path));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_GT(chunks[1].data.size(), 1024u);
    EXPECT_TRUE(chunks[1].crcOk);
    EXPECT_EQ(decodeWithRasterly(m_path).pixels, b.pixels);
}

TEST_F(WriterTest, RefusalsCreateNoFile)
{
    auto refused = [this](Bitmap b, int32_t interlace) {
        fs::remove(m_path);
        const int32_t r = write(b, interlace);
        return r == 0 && !fs::exists(m_path);
    };
    Bitmap topDown = makeBitmap(2, 2, 24);
    topDown.info.bmiHeader.biHeight = -2;
    EXPECT_TRUE(refused(topDown, 0));
    EXPECT_TRUE(refused(makeBitmap(2, 2, 16), 0));
    EXPECT_TRUE(refused(makeBitmap(2, 2, 4), 0));
    Bitmap compressed = makeBitmap(2, 2, 8);
    compressed.info.bmiHeader.biCompression = 1;
    EXPECT_TRUE(refused(compressed, 0));
    Bitmap badSize = makeBitmap(2, 2, 8);
    badSize.info.bmiHeader.biSize = 108;
    EXPECT_TRUE(refused(badSize, 0));
    Bitmap negativeWidth = makeBitmap(2, 2, 8);
    negativeWidth.info.bmiHeader.biWidth = -2;
    EXPECT_TRUE(refused(negativeWidth, 0));
    for (int interlace : {0, 1}) {
        EXPECT_TRUE(refused(makeBitmap(2, 0, 24), interlace));
        EXPECT_TRUE(refused(makeBitmap(0, 2, 24), interlace)); // a file no reader would accept
    }
    const Bitmap ok = makeBitmap(2, 2, 24);
    EXPECT_EQ(mWritePNG(nullptr, ok.pixels.data(), reinterpret_cast<const BITMAPINFO *>(&ok.info), 0), 0);
    EXPECT_EQ(mWritePNG(m_path.c_str(), nullptr, reinterpret_cast<const BITMAPINFO *>(&ok.info), 0), 0);
    EXPECT_EQ(mWritePNG(m_path.c_str(), ok.pixels.data(), nullptr, 0), 0);
    const std::string noDir = (m_dir / "missing" / "x.png").string();
    EXPECT_EQ(mWritePNG(noDir.c_str(), ok.pixels.data(), reinterpret_cast<const BITMAPINFO *>(&ok.info), 0), 0);
}

TEST_F(WriterTest, ExistingFileIsOverwritten)
{
    ASSERT_TRUE(writeBytes(m_path, Bytes(100000, 0xEE)));
    const Bitmap b = makeBitmap(4, 4, 24);
    ASSERT_EQ(write(b, 0), 1);
    const Bytes png = readFile(m_path);
    EXPECT_LT(png.size(), 1000u);
    EXPECT_EQ(decodeWithRasterly(m_path).pixels, b.pixels);
}

TEST_F(WriterTest, FullDiskIsAFailure)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const Bitmap b = makeBitmap(64, 64, 32);
    EXPECT_EQ(mWritePNG("/dev/full", b.pixels.data(), reinterpret_cast<const BITMAPINFO *>(&b.info), 0), 0);
}

} // namespace
