#include "hexmill.h"

#include <array>
#include <climits>
#include <cstring>

namespace {

constexpr const char *kDefaultPlain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr const char *kHexDigits = "0123456789abcdef";

// Largest result a long can report, with room for the terminating NUL and
// the few bytes of slack the fast encoder writes past the end.
constexpr size_t kMaxResult = size_t(LONG_MAX) - 8;

constexpr unsigned char kNotDigit = 0xFF;

// Digit values by the low five bits of the character code: 1 to 6 are 10 to
// 15, 16 to 25 are 0 to 9. So both cases of a-f are digits, and so is every
// other character whose low bits fall in those ranges ("P" is 0, "Q" is 1).
constexpr std::array<unsigned char, 256> makeDigitTable()
{
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const int low = c & 0x1F;
        if (low >= 1 && low <= 6)
            t[c] = static_cast<unsigned char>(low + 9);
        else if (low >= 16 && low <= 25)
            t[c] = static_cast<unsigned char>(low - 16);
        else
            t[c] = kNotDigit;
    }
    return t;
}
constexpr std::array<unsigned char, 256> kDigitValue = makeDigitTable();

} // namespace

CHexmill::CHexmill()
{
    // Without memory the plain set stays null; Encode then escapes every byte.
    if (SmemStrCpy(&plainChars, kDefaultPlain) < 0)
        plainChars = nullptr;
}

CHexmill::~CHexmill()
{
    Sfree(&outBuffer);
    Sfree(&plainChars);
}

long CHexmill::HeaderLength(const char *escape)
{
    return long(escape ? std::strlen(escape) : 0) + 2;
}

void CHexmill::setResult(char *buffer)
{
    Sfree(&outBuffer);
    outBuffer = buffer;
}

char *CHexmill::GetMyMemOut()
{
    return outBuffer;
}

char *CHexmill::GetChars()
{
    return plainChars;
}

long CHexmill::Encode(const char *text, uint32_t length, int16_t spaceMode, const char *plain,
                      const char *escape)
{
    if (!text && length)
        return HEXMILL_ENCODE_FAILED;
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    const size_t e = escape ? std::strlen(escape) : 0;
    const size_t escapedLength = size_t(HeaderLength(escape));

    // What each byte becomes: 0 plain, 1 "+", 2 escaped.
    std::array<unsigned char, 256> kind;
    kind.fill(2);
    if (plain) {
        for (const auto *p = reinterpret_cast<const unsigned char *>(plain); *p; ++p)
            kind[*p] = 0;
    }
    kind[0] = 2; // NUL is always escaped
    if (spaceMode == 0 && kind[' '] != 0)
        kind[' '] = 1;

    std::array<size_t, 256> cost;
    for (int c = 0; c < 256; ++c)
        cost[c] = kind[c] == 2 ? escapedLength : 1;

    // Size the result exactly. When even the worst case fits, the sum cannot
    // overflow; otherwise count with checks.
    size_t total = 0;
    if (length == 0 || escapedLength <= kMaxResult / length) {
        for (uint32_t i = 0; i < length; ++i)
            total += cost[in[i]];
    } else {
        for (uint32_t i = 0; i < length; ++i) {
            if (__builtin_add_overflow(total, cost[in[i]], &total) || total > kMaxResult)
                return HEXMILL_TOO_LONG;
        }
    }

    char *out = nullptr;
    const long rc = Smalloc(&out, total + 4);
    if (rc < 0)
        return rc;

    char *w = out;
    if (e <= 2) {
        // Every byte becomes at most four characters: write a whole word from
        // a table and move on by its length (the buffer has three bytes of
        // slack for the last word).
        std::array<uint32_t, 256> word{};
        std::array<unsigned char, 256> size{};
        for (int c = 0; c < 256; ++c) {
            char chars[4] = {0, 0, 0, 0};
            if (kind[c] == 0) {
                chars[0] = char(c);
                size[c] = 1;
            } else if (kind[c] == 1) {
                chars[0] = '+';
                size[c] = 1;
            } else {
                if (e)
                    std::memcpy(chars, escape, e);
                chars[e] = kHexDigits[c >> 4];
                chars[e + 1] = kHexDigits[c & 0x0F];
                size[c] = static_cast<unsigned char>(e + 2);
            }
            std::memcpy(&word[c], chars, 4);
        }
        for (uint32_t i = 0; i < length; ++i) {
            const unsigned char c = in[i];
            std::memcpy(w, &word[c], 4);
            w += size[c];
        }
    } else {
        for (uint32_t i = 0; i < length; ++i) {
            const unsigned char c = in[i];
            switch (kind[c]) {
            case 0:
                *w++ = char(c);
                break;
            case 1:
                *w++ = '+';
                break;
            default:
                std::memcpy(w, escape, e);
                w += e;
                *w++ = kHexDigits[c >> 4];
                *w++ = kHexDigits[c & 0x0F];
                break;
            }
        }
    }
    *w = '\0';
    setResult(out);
    return long(total);
}

long CHexmill::Decode(const char *text, int16_t spaceMode, const char *escape)
{
    if (!text)
        return HEXMILL_BAD_ARGUMENT;
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    const size_t n = std::strlen(text);
    const size_t e = escape ? std::strlen(escape) : 0;
    if (n > kMaxResult)
        return HEXMILL_TOO_LONG;

    // The output never outgrows the input. It is NUL-terminated as a
    // courtesy; the returned count is what was decoded.
    char *out = nullptr;
    const long rc = Smalloc(&out, n + 1);
    if (rc < 0)
        return rc;

    // 0 copied, 1 "+" as space, 2 may start an escape (every position does
    // when there is no escape text).
    std::array<unsigned char, 256> kind;
    kind.fill(e == 0 ? 2 : 0);
    if (e)
        kind[static_cast<unsigned char>(escape[0])] = 2;
    if (spaceMode == 0)
        kind['+'] = 1;

    size_t p = 0;
    size_t o = 0;
    while (p < n) {
        const unsigned char c = in[p];
        const unsigned char k = kind[c];
        if (k == 0) {
            out[o++] = char(c);
            ++p;
            continue;
        }
        if (k == 1) {
            out[o++] = ' ';
            ++p;
            continue;
        }
        // strncmp stops at the text's NUL, so a partial escape at the end is
        // simply copied.
        if (e > 1 && std::strncmp(text + p + 1, escape + 1, e - 1) != 0) {
            out[o++] = char(c);
            ++p;
            continue;
        }
        // The escape matched, so its e characters are not NUL and the first
        // digit is at most the terminating NUL; the second is read only when
        // the first is a digit.
        const size_t q = p + e;
        const unsigned char hi = kDigitValue[in[q]];
        if (hi == kNotDigit) {
            Sfree(&out);
            return HEXMILL_BAD_DIGIT;
        }
        const unsigned char lo = kDigitValue[in[q + 1]];
        if (lo == kNotDigit) {
            Sfree(&out);
            return HEXMILL_BAD_DIGIT;
        }
        out[o++] = char((hi << 4) | lo);
        p = q + 2;
    }
    out[o] = '\0';
    setResult(out);
    return long(o);
}

long CHexmill::FileEncode(const char *inPath, const char *outPath, int16_t direction,
                          int16_t spaceMode, const char *plain, const char *escape)
{
    if (!inPath || !outPath)
        return HEXMILL_BAD_ARGUMENT;
    CHexmill coder;
    char *data = nullptr;
    const long size = coder.SFileRead(inPath, &data);
    if (size < 0)
        return size;

    long rc;
    if (direction == 0) {
        // Encode takes a 32-bit length; a longer file is refused rather than
        // cut short.
        rc = uint64_t(size) > UINT32_MAX
                 ? HEXMILL_TOO_LONG
                 : coder.Encode(data, uint32_t(size), spaceMode, plain, escape);
    } else {
        rc = coder.Decode(data, spaceMode, escape);
    }
    coder.Sfree(&data);
    if (rc < 0)
        return rc;

    const long written = coder.SFileWrite(coder.GetMyMemOut(), size_t(rc), outPath);
    return written < 0 ? written : 0;
}

long CHexmill::PlasticHexData(const char *hexText, uint32_t lineWidth, char **out)
{
    if (!hexText || !out || lineWidth == 0)
        return HEXMILL_BAD_ARGUMENT;
    const size_t n = std::strlen(hexText);
    const size_t pairs = n / 2 + (n & 1);
    // A line holds this many pairs before its space becomes CR LF.
    const size_t perLine = lineWidth / 3 + 1;
    if (pairs > kMaxResult / 3)
        return HEXMILL_TOO_LONG;
    const size_t total = 3 * pairs + pairs / perLine;

    char *work = nullptr;
    long rc = SmallocChar(&work, total + 1);
    if (rc < 0)
        return rc;

    // An odd last character is paired with the terminating NUL, which also
    // ends the copied result right after that character.
    char *w = work;
    uint64_t column = 0;
    for (size_t i = 0; i < pairs; ++i) {
        *w++ = hexText[2 * i];
        *w++ = hexText[2 * i + 1];
        column += 3;
        if (column > lineWidth) {
            *w++ = '\r';
            *w++ = '\n';
            column = 0;
        } else {
            *w++ = ' ';
        }
    }
    *w = '\0';

    rc = SmemStrCpy(out, work);
    Sfree(&work);
    return rc;
}
