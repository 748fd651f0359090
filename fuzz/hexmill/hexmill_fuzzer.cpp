// Fuzz target for the Hexmill coder. The first byte picks the operation and
// its options, the rest is the text:
//   bits 0-1  0 Decode, 1 Encode then Decode, 2 PlasticHexData, 3 Decode of
//             the encoding of the text
//   bit  2    spaceMode
//   bits 3-5  escape text
//   bits 6-7  plain set
// Decode is checked against the rules written out step by step, a round
// trip must give the bytes back, and PlasticHexData is checked against its
// layout rule. Any disagreement aborts.
#include "hexmill.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char *const kEscapes[8] = {"=", "%", nullptr, "", "==", "+", "\x82", "<esc>"};

void fail(const char *what)
{
    std::fprintf(stderr, "hexmill fuzz: %s\n", what);
    std::abort();
}

int digit(unsigned char c)
{
    const int low = c & 0x1F;
    return low >= 1 && low <= 6 ? low + 9 : low >= 16 && low <= 25 ? low - 16 : -1;
}

// The decoding rules, one step at a time; "<-8>" for a bad digit.
std::string referenceDecode(const char *text, int16_t spaceMode, const char *escape)
{
    const size_t n = std::strlen(text);
    const std::string padded = std::string(text, n) + std::string(2, '\0');
    const size_t e = escape ? std::strlen(escape) : 0;
    std::string out;
    size_t p = 0;
    while (p < n) {
        if (text[p] == '+' && spaceMode == 0) {
            out += ' ';
            ++p;
        } else if (escape && padded.compare(p, e, escape) != 0) {
            out += text[p];
            ++p;
        } else {
            if (p + e + 1 >= padded.size())
                return "<-8>";
            const int hi = digit(padded[p + e]);
            const int lo = hi < 0 ? -1 : digit(padded[p + e + 1]);
            if (hi < 0 || lo < 0)
                return "<-8>";
            out += char(hi * 16 + lo);
            p += e + 2;
        }
    }
    return out;
}

std::string decodedBy(CHexmill &m, const char *text, int16_t spaceMode, const char *escape)
{
    const long n = m.Decode(text, spaceMode, escape);
    if (n == HEXMILL_BAD_DIGIT)
        return "<-8>";
    if (n < 0)
        fail("Decode failed unexpectedly");
    return std::string(m.GetMyMemOut(), size_t(n));
}

std::string referenceEncode(const std::string &bytes, int16_t spaceMode, const std::string &plain,
                            const char *escape)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (c != 0 && plain.find(char(c)) != std::string::npos)
            out += char(c);
        else if (spaceMode == 0 && c == ' ')
            out += '+';
        else
            out += std::string(escape ? escape : "") + hex[c >> 4] + hex[c & 15];
    }
    return out;
}

std::string referenceLayout(const std::string &hex, uint32_t width)
{
    std::string out;
    uint64_t column = 0;
    for (size_t i = 0; i < hex.size(); i += 2) {
        out += hex[i];
        out += i + 1 < hex.size() ? hex[i + 1] : '\0';
        column += 3;
        if (column > width) {
            out += "\r\n";
            column = 0;
        } else {
            out += ' ';
        }
    }
    return out.substr(0, out.find('\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t options = data[0];
    const std::string bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::string text = bytes.substr(0, bytes.find('\0'));
    const int16_t spaceMode = int16_t((options >> 2) & 1);
    const char *escape = kEscapes[(options >> 3) & 7];

    CHexmill m;
    std::string plain;
    switch (options >> 6) {
    case 0: plain = m.GetChars(); break;
    case 1: break; // passed as null
    case 2: plain = "0123456789"; break;
    default: plain = "ab+= %<>\x82\xff"; break;
    }

    switch (options & 3) {
    case 0:
    case 3: {
        // Decode twice with one coder: the second call reuses buffers.
        const std::string input = (options & 3) == 0 ? text : text + "=4";
        for (int round = 0; round < 2; ++round) {
            if (decodedBy(m, input.c_str(), spaceMode, escape) != referenceDecode(input.c_str(), spaceMode, escape))
                fail("Decode disagrees with the rules");
        }
        // A bad text must leave the last good result in place.
        if (m.Decode("ok", spaceMode, escape) == 2) {
            const char *before = m.GetMyMemOut();
            if (m.Decode("=\x01", 1, "=") != HEXMILL_BAD_DIGIT || m.GetMyMemOut() != before ||
                std::memcmp(before, "ok", 2) != 0)
                fail("a failed Decode changed the result");
        }
        break;
    }
    case 1: {
        const long n = m.Encode(bytes.data(), uint32_t(bytes.size()), spaceMode,
                                (options >> 6) == 1 ? nullptr : plain.c_str(), escape);
        if (n < 0)
            fail("Encode failed");
        const std::string encoded(m.GetMyMemOut(), size_t(n));
        if (encoded != referenceEncode(bytes, spaceMode, plain, escape))
            fail("Encode disagrees with the rules");
        if (encoded.find('\0') != std::string::npos || m.GetMyMemOut()[n] != '\0')
            fail("Encode result is not one NUL-terminated text");
        // A round trip holds when decoding cannot mistake a plain character
        // for the start of an escape or a space.
        const std::string e = escape ? escape : "";
        const bool plus = spaceMode == 0;
        bool clean = !(plus && plain.find('+') != std::string::npos) && !(plus && !e.empty() && e[0] == '+');
        if (e.empty())
            clean = clean && plain.empty();
        else
            clean = clean && plain.find(e[0]) == std::string::npos;
        if (clean && decodedBy(m, encoded.c_str(), spaceMode, escape) != bytes)
            fail("round trip lost bytes");
        break;
    }
    case 2: {
        const uint32_t width = bytes.empty() ? 0 : uint8_t(bytes[0]);
        const std::string hex = text.empty() ? text : text.substr(1);
        char *out = nullptr;
        const long rc = m.PlasticHexData(hex.c_str(), width, &out);
        if (width == 0) {
            if (rc != HEXMILL_BAD_ARGUMENT || out)
                fail("line width 0 accepted");
            break;
        }
        if (rc < 0 || !out)
            fail("PlasticHexData failed");
        if (std::string(out) != referenceLayout(hex, width) || size_t(rc) != std::strlen(out))
            fail("PlasticHexData layout differs");
        m.Sfree(&out);
        break;
    }
    }
    return 0;
}
