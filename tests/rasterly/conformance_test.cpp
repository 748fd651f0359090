// Every PNG of the conformance suite and of the extra set, one test case per
// file: valid images decode to libpng's pixels in our bitmap form; corrupt
// ones are refused with the result our rules give.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "png_oracle.h"
#include "rasterly/rasterly.h"

using namespace rasterly_test;
namespace fs = std::filesystem;

namespace {

const std::string kData = std::string(SKEDRA_SHARED_DIR) + "/testdata/";

// Files that do not load, with the result they must give. Paths relative to
// the test-data folder.
const std::map<std::string, int> &expectedRefusals()
{
    static const std::map<std::string, int> table = {
        // The suite's corrupt files: signature, IHDR values, CRCs, chunk order.
        {"pngsuite/xs1n0g01.png", 4}, {"pngsuite/xs2n0g01.png", 4}, {"pngsuite/xs4n0g01.png", 4},
        {"pngsuite/xs7n0g01.png", 4}, {"pngsuite/xcrn0g04.png", 4}, {"pngsuite/xlfn0g04.png", 4},
        {"pngsuite/xc1n0g08.png", 4}, {"pngsuite/xc9n2c08.png", 4}, {"pngsuite/xd0n2c08.png", 4},
        {"pngsuite/xd3n2c08.png", 4}, {"pngsuite/xd9n2c08.png", 4}, {"pngsuite/xhdn0g08.png", 4},
        {"pngsuite/xcsn0g01.png", 4}, {"pngsuite/xdtn0g01.png", 4},
        // Wrong CRC on an ancillary chunk: every chunk's CRC is checked.
        {"png-extra/image-png-tests/bugfixes/cicp_pq.png", 4},
        {"png-extra/image-png-tests/bugfixes/issue_430.png", 4},
        {"png-extra/libspng-tests/crashers/invalid_gray_alpha_sbit.png", 4},
        {"png-extra/libpng-testpngs/crashers/bad_iCCP.png", 4},
        {"png-extra/libpng-testpngs/crashers/badcrc.png", 4},
        {"png-extra/image-png-tests/bugfixes/x_interlaced_chck.png", 4},
        // Order and header faults.
        {"png-extra/image-png-tests/bugfixes/x_ihdr_missing.png", 4},
        {"png-extra/libspng-tests/crashers/missing_plte.png", 4},
        {"png-extra/libspng-tests/crashers/zero_width.png", 4},
        {"png-extra/image-png-tests/bugfixes/x_issue_214.png", 4},
        {"png-extra/image-png-tests/bugfixes/x_issue_230.0.png", 4}, // width beyond 2^31 - 1
        {"png-extra/image-png-tests/bugfixes/x_issue_230.1.png", 4},
        // Image data that does not inflate: empty, or a wrong Adler-32.
        {"png-extra/image-png-tests/bugfixes/x_image-issue_1075.png", 4},
        {"png-extra/libpng-testpngs/crashers/badadler.png", 4},
        // A chunk longer than what is left of the file: a short read.
        {"png-extra/image-png-tests/bugfixes/x_unexpected_eof.png", 3},
        {"png-extra/libspng-tests/crashers/zero_gama.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_IDAT.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_bKGD_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_cHRM_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_eXIf_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_gAMA_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_hIST_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_iCCP_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_iTXt_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_juNK_unsafe_to_copy.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_juNk_safe_to_copy.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_pCAL_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_pHYs_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_sCAL_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_sPLT_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_sRGB_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_sTER_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_tEXt_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_tIME_chunk.png", 3},
        {"png-extra/libpng-testpngs/crashers/huge_zTXt_chunk.png", 3},
    };
    return table;
}

// IDAT chunks are joined in file order even with other chunks between them;
// libpng stops at the first interruption, so it is shown the joined file.
bool joinsIdatAcrossChunks(const std::string &rel)
{
    return rel == "png-extra/image-png-tests/bugfixes/x_consecutive_idat.png";
}

std::vector<std::string> pngFiles()
{
    std::vector<std::string> files;
    for (const char *dir : {"pngsuite", "png-extra"}) {
        const fs::path root = kData + dir;
        if (!fs::is_directory(root))
            continue;
        for (const auto &e : fs::recursive_directory_iterator(root)) {
            if (e.is_regular_file() && e.path().extension() == ".png")
                files.push_back(fs::relative(e.path(), kData).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string caseName(const testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param;
    for (const char *prefix : {"png-extra/", "pngsuite/"}) {
        if (name.rfind(prefix, 0) == 0)
            name = name.substr(std::strlen(prefix));
    }
    if (name.size() > 4)
        name.resize(name.size() - 4);
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, MatchesLibpngOrIsRefused)
{
    const std::string rel = GetParam();
    const std::string path = kData + rel;
    const RasterlyImage ours = decodeWithRasterly(path, 0xA5);

    const auto refusal = expectedRefusals().find(rel);
    if (refusal != expectedRefusals().end()) {
        EXPECT_EQ(ours.result, refusal->second);
        EXPECT_FALSE(decodeWithLibpng(path).ok) << "libpng loads a file we refuse";
        return;
    }

    const DecodedImage ref = joinsIdatAcrossChunks(rel)
                                 ? decodeWithLibpng(withoutChunksBetweenIdats(readFile(path)))
                                 : decodeWithLibpng(path);
    ASSERT_TRUE(ref.ok) << "libpng refuses: " << ref.error << " (list the file's expected result)";
    ASSERT_EQ(ours.result, 1);

    BITMAPINFOHEADER bh;
    std::memcpy(&bh, ours.info.data(), sizeof bh);
    EXPECT_EQ(bh.biSize, 40u);
    EXPECT_EQ(bh.biWidth, ref.width);
    EXPECT_EQ(bh.biHeight, -ref.height);
    EXPECT_EQ(bh.biPlanes, 1);
    EXPECT_EQ(bh.biBitCount, ref.bitCount);
    EXPECT_EQ(bh.biCompression, 0u);
    EXPECT_EQ(bh.biSizeImage, 0u);
    EXPECT_EQ(bh.biClrUsed, 0u);
    EXPECT_EQ(ours.size, int64_t(ref.stride) * ref.height);

    const uint8_t *table = ours.info.data() + sizeof(BITMAPINFOHEADER);
    for (int i = 0; i < 256; ++i) {
        const uint8_t *e = table + 4 * i;
        if (i < ref.tableEntries) {
            ASSERT_TRUE(std::equal(e, e + 4, ref.table.begin() + 4 * i)) << "colour entry " << i;
        } else {
            ASSERT_TRUE(e[0] == 0xA5 && e[1] == 0xA5 && e[2] == 0xA5 && e[3] == 0xA5)
                << "entry " << i << " should keep the caller's value";
        }
    }

    std::string where;
    EXPECT_TRUE(samePixels(ref, ours.pixels, &where)) << where;
}

INSTANTIATE_TEST_SUITE_P(Files, Conformance, testing::ValuesIn(pngFiles()), caseName);

TEST(ConformanceData, AllFilesPresent)
{
    const auto files = pngFiles();
    EXPECT_GE(files.size(), 176u + 190u);
    for (const auto &[rel, result] : expectedRefusals())
        EXPECT_TRUE(fs::exists(kData + rel)) << rel;
}

} // namespace
