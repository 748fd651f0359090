// The Hexmill coder in memory: Encode, Decode, PlasticHexData, and the way
// failures of its memory services come through.
#include "hexmill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>

namespace {

std::string encoded(CHexmill &m, const std::string &bytes, int16_t spaceMode, const char *plain,
                    const char *escape)
{
    const long n = m.Encode(bytes.data(), uint32_t(bytes.size()), spaceMode, plain, escape);
    EXPECT_GE(n, 0);
    if (n < 0)
        return "<" + std::to_string(n) + ">";
    EXPECT_EQ(m.GetMyMemOut()[n], '\0');
    return std::string(m.GetMyMemOut(), size_t(n));
}

std::string decoded(CHexmill &m, const char *text, int16_t spaceMode, const char *escape)
{
    const long n = m.Decode(text, spaceMode, escape);
    if (n < 0)
        return "<" + std::to_string(n) + ">";
    return std::string(m.GetMyMemOut(), size_t(n));
}

std::string allBytes()
{
    std::string s;
    for (int c = 0; c < 256; ++c)
        s += char(c);
    return s;
}

std::string laidOut(const char *hex, uint32_t width)
{
    CHexmill m;
    char *out = nullptr;
    const long rc = m.PlasticHexData(hex, width, &out);
    if (rc < 0)
        return "<" + std::to_string(rc) + ">";
    std::string s(out);
    EXPECT_EQ(long(s.size()), rc);
    m.Sfree(&out);
    return s;
}

} // namespace

TEST(HexmillEncode, EscapesWhatIsNotPlain)
{
    CHexmill m;
    const std::string text = "a ~";
    EXPECT_EQ(encoded(m, text, 0, m.GetChars(), "%"), "a+%7e");
    EXPECT_EQ(encoded(m, text, 1, m.GetChars(), "%"), "a%20%7e");
    EXPECT_EQ(encoded(m, "Az09", 1, nullptr, "="), "=41=7a=30=39");
    // No escape text: two digits per byte.
    EXPECT_EQ(encoded(m, "J ", 1, nullptr, nullptr), "4a20");
    // A space in the plain set stays a space, whatever the mode.
    EXPECT_EQ(encoded(m, "a b", 0, "ab ", "%"), "a b");
    // NUL is always escaped, and high bytes get lower-case digits.
    EXPECT_EQ(encoded(m, std::string("a\0\xff", 3), 0, m.GetChars(), "%"), "a%00%ff");
}

TEST(HexmillEncode, EmptyInputGivesAnEmptyResult)
{
    CHexmill m;
    EXPECT_EQ(m.Encode("", 0, 0, m.GetChars(), "%"), 0);
    ASSERT_NE(m.GetMyMemOut(), nullptr);
    EXPECT_STREQ(m.GetMyMemOut(), "");
    EXPECT_EQ(m.Encode(nullptr, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(m.Encode(nullptr, 3, 0, nullptr, nullptr), HEXMILL_ENCODE_FAILED);
}

TEST(HexmillEncode, EscapeTextsOfAnyLengthFitTheResult)
{
    // Longer escapes once overran a buffer of three characters per byte.
    CHexmill m;
    const std::string bytes = allBytes();
    for (const char *escape : {"", "=", "%%", "<esc>", "=?ISO-2022-JP?B?-long-escape-text-"}) {
        const std::string e = escape;
        const std::string out = encoded(m, bytes, 1, nullptr, escape);
        ASSERT_EQ(out.size(), 256 * (e.size() + 2)) << escape;
        EXPECT_EQ(out.substr(0, e.size() + 2), e + "00");
        EXPECT_EQ(out.substr(out.size() - e.size() - 2), e + "ff");
        EXPECT_EQ(decoded(m, out.c_str(), 1, escape), bytes) << escape;
    }
}

TEST(HexmillRoundTrip, EveryByteUnderEverySetting)
{
    CHexmill m;
    const std::string bytes = allBytes() + "  ++%%==";
    for (const char *escape : {"%", "=", "==", "+", "ab", "abc"}) {
        for (int16_t mode : {int16_t(0), int16_t(1)}) {
            // The escape's own characters, and "+" while it stands for a
            // space, must not travel plain.
            if (mode == 0 && std::string(escape).find('+') != std::string::npos)
                continue;
            const std::string plain = std::string(escape).find('a') != std::string::npos
                                          ? "0123456789XYZ"
                                          : m.GetChars();
            const std::string out = encoded(m, bytes, mode, plain.c_str(), escape);
            EXPECT_EQ(decoded(m, out.c_str(), mode, escape), bytes) << escape << " " << mode;
        }
    }
}

TEST(HexmillDecode, ResolvesEscapesPlusAndPlainCharacters)
{
    CHexmill m;
    EXPECT_EQ(decoded(m, "%4A%4a+x", 0, "%"), "JJ x");
    EXPECT_EQ(decoded(m, "%4A%4a+x", 1, "%"), "JJ+x");
    EXPECT_EQ(decoded(m, "4a4B", 0, nullptr), "JK");
    EXPECT_EQ(decoded(m, "4a4B", 0, ""), "JK");
    EXPECT_EQ(decoded(m, "=00=FF", 0, "="), std::string("\0\xff", 2));
    // A "+" stands for a space before it can start an escape.
    EXPECT_EQ(decoded(m, "+41", 0, "+"), " 41");
    EXPECT_EQ(decoded(m, "+41", 1, "+"), "A");
    // Only the whole escape text starts an escape; a cut one at the end is
    // copied.
    EXPECT_EQ(decoded(m, "a=b==41=", 0, "=="), "a=bA=");
    EXPECT_EQ(decoded(m, "a==", 0, "=="), "<-8>");
    EXPECT_EQ(decoded(m, "", 0, "%"), "");
    ASSERT_NE(m.GetMyMemOut(), nullptr);
}

TEST(HexmillDecode, DigitsAreReadByTheirLowFiveBits)
{
    CHexmill m;
    // "P" and "Q" share low bits with "0" and "1"; "F" and "f" with "&".
    EXPECT_EQ(decoded(m, "%PQ", 0, "%"), std::string("\x01", 1));
    EXPECT_EQ(decoded(m, "%&f", 0, "%"), std::string("\xff", 1));
    EXPECT_EQ(decoded(m, "%G0", 0, "%"), "<-8>");
    EXPECT_EQ(decoded(m, "%0g", 0, "%"), "<-8>");
    EXPECT_EQ(decoded(m, "%0 ", 0, "%"), "<-8>");
    EXPECT_EQ(decoded(m, "%0", 0, "%"), "<-8>");
    EXPECT_EQ(decoded(m, "abc%", 0, "%"), "<-8>");
    EXPECT_EQ(decoded(m, "4a4", 0, nullptr), "<-8>");
}

TEST(HexmillDecode, BadDigitsKeepThePreviousResult)
{
    CHexmill m;
    ASSERT_EQ(m.Decode("%41%42", 0, "%"), 2);
    const char *before = m.GetMyMemOut();
    EXPECT_EQ(m.Decode("%4g", 0, "%"), HEXMILL_BAD_DIGIT);
    EXPECT_EQ(m.GetMyMemOut(), before);
    EXPECT_EQ(std::string(m.GetMyMemOut(), 2), "AB");
    EXPECT_EQ(m.Decode(nullptr, 0, "%"), HEXMILL_BAD_ARGUMENT);
    EXPECT_EQ(m.GetMyMemOut(), before);
}

TEST(HexmillPlasticHexData, LaysPairsOutInLines)
{
    EXPECT_EQ(laidOut("0a1b2c", 100), "0a 1b 2c ");
    EXPECT_EQ(laidOut("", 100), "");
    // An odd last digit ends the text.
    EXPECT_EQ(laidOut("0a1", 100), "0a 1");
    // Width 6: the third pair takes the line past 6 characters.
    EXPECT_EQ(laidOut("0011223344556677", 6), "00 11 22\r\n33 44 55\r\n66 77 ");
    EXPECT_EQ(laidOut("0011", 1), "00\r\n11\r\n");
    EXPECT_EQ(laidOut("00112", 2), "00\r\n11\r\n2");
}

TEST(HexmillPlasticHexData, Width48HoldsSeventeenPairs)
{
    const std::string hex(2 * 40, 'f');
    const std::string out = laidOut(hex.c_str(), 48);
    const std::string line = [] {
        std::string s;
        for (int i = 0; i < 16; ++i)
            s += "ff ";
        return s + "ff\r\n";
    }();
    EXPECT_EQ(out.substr(0, line.size()), line);
    EXPECT_EQ(out.substr(line.size(), line.size()), line);
    EXPECT_EQ(out.substr(2 * line.size()), std::string("ff ff ff ff ff ff ") );
}

TEST(HexmillPlasticHexData, RefusesBadArguments)
{
    CHexmill m;
    char *out = nullptr;
    EXPECT_EQ(m.PlasticHexData("0a", 0, &out), HEXMILL_BAD_ARGUMENT);
    EXPECT_EQ(m.PlasticHexData(nullptr, 10, &out), HEXMILL_BAD_ARGUMENT);
    EXPECT_EQ(m.PlasticHexData("0a", 10, nullptr), HEXMILL_BAD_ARGUMENT);
    EXPECT_EQ(out, nullptr);
}

TEST(HexmillObject, DefaultsAndOwnership)
{
    static_assert(!std::is_copy_constructible_v<CHexmill>, "a copy would share the buffers");
    static_assert(!std::is_copy_assignable_v<CHexmill>, "an assignment would share the buffers");
    static_assert(std::is_base_of_v<CBasekit, CHexmill>);
    CHexmill m;
    EXPECT_EQ(m.GetMyMemOut(), nullptr);
    EXPECT_STREQ(m.GetChars(), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    // Two coders own separate buffers.
    CHexmill other;
    EXPECT_NE(m.GetChars(), other.GetChars());
}

namespace {

// A coder whose memory services fail from the n-th request on.
class StarvedHexmill : public CHexmill {
public:
    explicit StarvedHexmill(int allowed)
        : m_allowed(allowed)
    {
    }
    long Smalloc(char **ptr, size_t count) override
    {
        return grant() ? CHexmill::Smalloc(ptr, count) : BASEKIT_NO_MEMORY;
    }
    long SmallocChar(char **ptr, size_t count) override
    {
        return grant() ? CHexmill::SmallocChar(ptr, count) : BASEKIT_TOO_LARGE;
    }

private:
    bool grant() { return m_allowed-- > 0; }
    int m_allowed;
};

} // namespace

TEST(HexmillFailures, MemoryFailuresComeThroughAndKeepTheOldResult)
{
    StarvedHexmill m(1);
    ASSERT_EQ(m.Encode("a b", 3, 0, m.GetChars(), "%"), 3);
    const char *before = m.GetMyMemOut();

    EXPECT_EQ(m.Encode("a b", 3, 1, m.GetChars(), "%"), BASEKIT_NO_MEMORY);
    EXPECT_EQ(m.Decode("%41", 0, "%"), BASEKIT_NO_MEMORY);
    EXPECT_EQ(m.GetMyMemOut(), before);
    EXPECT_STREQ(m.GetMyMemOut(), "a+b");

    char *out = nullptr;
    EXPECT_EQ(m.PlasticHexData("0a1b", 10, &out), BASEKIT_TOO_LARGE);
    EXPECT_EQ(out, nullptr);
}

TEST(HexmillFailures, ACopyFailureInPlasticHexDataComesThrough)
{
    // The working buffer is granted, the copy handed out is not.
    StarvedHexmill m(1);
    char *out = nullptr;
    EXPECT_EQ(m.PlasticHexData("0a1b", 10, &out), BASEKIT_NO_MEMORY);
    EXPECT_EQ(out, nullptr);
}

namespace {

// The decoding rules written the plain way, one step at a time, to check the
// coder's faster loops against.
std::string referenceDecode(const std::string &text, int16_t spaceMode, const std::string *escape)
{
    const auto digit = [](unsigned char c) {
        const int low = c & 0x1F;
        return low >= 1 && low <= 6 ? low + 9 : low >= 16 && low <= 25 ? low - 16 : -1;
    };
    const std::string padded = text + std::string(2, '\0');
    const size_t e = escape ? escape->size() : 0;
    std::string out;
    size_t p = 0;
    while (p < text.size()) {
        if (text[p] == '+' && spaceMode == 0) {
            out += ' ';
            ++p;
        } else if (escape && padded.compare(p, e, *escape) != 0) {
            out += text[p];
            ++p;
        } else {
            const int hi = digit(padded[p + e]);
            const int lo = digit(padded[p + e + 1]);
            if (hi < 0 || lo < 0)
                return "<-8>";
            out += char(hi * 16 + lo);
            p += e + 2;
        }
    }
    return out;
}

} // namespace

TEST(HexmillDecode, AgreesWithTheStepByStepRulesOnGeneratedTexts)
{
    // Short texts over the characters that matter: escapes next to each
    // other, escapes in digit positions, "+", digits of both cases and
    // characters that count as digits by their low bits.
    const std::string alphabet = "==++%%0aFgPx \x82\xff";
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    CHexmill m;
    const std::string escapes[] = {"=", "%", "+", "\x82", "==", "=+"};
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const size_t len = next() % 64;
        for (size_t k = 0; k < len; ++k)
            text += alphabet[next() % alphabet.size()];
        const int16_t mode = int16_t(next() % 2);
        const std::string &escape = escapes[next() % std::size(escapes)];
        ASSERT_EQ(decoded(m, text.c_str(), mode, escape.c_str()), referenceDecode(text, mode, &escape))
            << "'" << text << "' escape '" << escape << "' mode " << mode;
    }
}

TEST(HexmillEncode, AgreesWithTheByteByByteRulesOnLongTexts)
{
    // Long enough for the vector loops and their tails, with every setting
    // they depend on.
    uint32_t seed = 777;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 24;
    };
    CHexmill m;
    const char *plains[] = {nullptr, "", "abcXYZ019 ", "\x80\xff+=%", m.GetChars()};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const size_t len = 1 + next() % 200;
        for (size_t k = 0; k < len; ++k)
            text += char(round % 2 ? next() : "ab 9=+\x80\xff\0"[next() % 9]);
        const char *plain = plains[round % std::size(plains)];
        const int16_t mode = int16_t((round / 5) % 2);
        const char *escape = round % 3 == 0 ? "%" : "=";
        std::string expected;
        for (unsigned char c : text) {
            if (c != 0 && plain && std::strchr(plain, c))
                expected += char(c);
            else if (mode == 0 && c == ' ')
                expected += '+';
            else
                expected += std::string(escape) + "0123456789abcdef"[c >> 4] + "0123456789abcdef"[c & 15];
        }
        ASSERT_EQ(encoded(m, text, mode, plain, escape), expected) << "round " << round;
    }
}

TEST(HexmillObject, ResultsCanBeFedBackIn)
{
    // Results reuse the coder's buffers; a call that reads from one of them
    // must not write over it while it reads.
    CHexmill m;
    const std::string text(100, 'x');
    const std::string once = encoded(m, text, 1, nullptr, "=");
    const char *first = m.GetMyMemOut();
    EXPECT_EQ(decoded(m, first, 1, "="), text);
    // `first` is now the spare buffer, still holding the first result.
    EXPECT_EQ(decoded(m, first, 1, "="), text);
    EXPECT_EQ(encoded(m, std::string(m.GetMyMemOut(), text.size()), 1, nullptr, "="), once);
    const long n = m.Encode(m.GetMyMemOut(), uint32_t(once.size()), 1, nullptr, "=");
    ASSERT_EQ(n, long(once.size() * 3));
    EXPECT_EQ(decoded(m, m.GetMyMemOut(), 1, "="), once);
    // Results of very different sizes one after the other.
    encoded(m, std::string(1 << 20, 'y'), 1, nullptr, "=");
    encoded(m, "z", 1, nullptr, "=");
    EXPECT_EQ(encoded(m, "z", 1, nullptr, "="), "=7a");
}
