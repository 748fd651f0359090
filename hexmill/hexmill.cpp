#include "hexmill.h"

#include <array>
#include <climits>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

constexpr const char *kDefaultPlain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr const char *kHexDigits = "0123456789abcdef";

// Largest result a long can report, with room for the terminating NUL and
// the bytes of slack the fast encoder writes past the end.
constexpr size_t kMaxResult = size_t(LONG_MAX) - 32;

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

// Decodes the n characters of `text` into `out` one step at a time, for any
// escape text. Returns the byte count, or HEXMILL_BAD_DIGIT.
long decodeSerial(const char *text, size_t n, const char *escape, size_t e,
                  const std::array<unsigned char, 256> &kind, char *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    size_t p = 0;
    size_t o = 0;
    while (p < n) {
        const unsigned char c = in[p];
        const unsigned char k = kind[c];
        // strncmp stops at the text's NUL, so a cut escape at the end is
        // simply copied.
        if (k == 0 || (k == 2 && e > 1 && std::strncmp(text + p + 1, escape + 1, e - 1) != 0)) {
            out[o++] = char(c);
            ++p;
            continue;
        }
        if (k == 1) {
            out[o++] = ' ';
            ++p;
            continue;
        }
        // The escape matched, so its e characters are not NUL and the first
        // digit is at most the terminating NUL; the second is read only when
        // the first is a digit.
        const size_t q = p + e;
        const unsigned char hi = kDigitValue[in[q]];
        if (hi == kNotDigit)
            return HEXMILL_BAD_DIGIT;
        const unsigned char lo = kDigitValue[in[q + 1]];
        if (lo == kNotDigit)
            return HEXMILL_BAD_DIGIT;
        out[o++] = char((hi << 4) | lo);
        p = q + 2;
    }
    return long(o);
}

// The same for a one-character escape that is not itself a digit, without a
// branch per character. Such an escape can never sit in a digit position of
// a good text, so every occurrence starts an escape and the two characters
// after it are its digits; a text where that is not so has a bad digit.
// Every position writes a byte, and only positions that are not digits move
// the output on.
struct SingleRun {
    size_t i = 0;       // next position
    size_t o = 0;       // bytes written
    unsigned back1 = 0; // the character one back is an escape
    unsigned back2 = 0; // the character two back is an escape
    unsigned bad = 0;   // an escape without two digits was seen
};

void decodeSingleTail(const unsigned char *in, size_t n, unsigned char escape, int16_t spaceMode,
                      char *out, SingleRun &run)
{
    // NUL never occurs inside the text, so it stands for "no plus".
    const unsigned char plus = spaceMode == 0 ? '+' : 0;
    const auto step = [&](unsigned char c, unsigned char next1, unsigned char next2) {
        const unsigned esc = c == escape;
        const unsigned char hi = kDigitValue[next1];
        const unsigned char lo = kDigitValue[next2];
        run.bad |= esc & ((hi | lo) >> 7);
        // Masks rather than a condition: whether a character is an escape
        // is not predictable, so a branch here would cost more than both.
        const unsigned isPlus = c == plus;
        const unsigned literal = c ^ ((0u - isPlus) & (' ' ^ '+'));
        const unsigned mask = 0u - esc;
        out[run.o] = char(((unsigned(hi << 4) | lo) & mask) | (literal & ~mask));
        run.o += (run.back1 | run.back2) ^ 1;
        run.back2 = run.back1;
        run.back1 = esc;
    };
    // in[i + 2] is at most the terminating NUL for all but the last position.
    for (; run.i + 1 < n; ++run.i)
        step(in[run.i], in[run.i + 1], in[run.i + 2]);
    if (run.i < n) {
        step(in[run.i], 0, 0);
        ++run.i;
    }
}

#if defined(__x86_64__) || defined(__i386__)
#define HEXMILL_SSSE3 1

// For each 8-bit mask, the positions of its set bits in order, then 0x80
// (which makes pshufb write zero).
struct CompactTable {
    alignas(16) unsigned char rows[256][16];
    constexpr CompactTable()
        : rows{}
    {
        for (int m = 0; m < 256; ++m) {
            int k = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (m & (1 << bit))
                    rows[m][k++] = static_cast<unsigned char>(bit);
            }
            while (k < 16)
                rows[m][k++] = 0x80;
        }
    }
};
constexpr CompactTable kCompact;

// Digit values of 16 characters by the low-five-bits rule, and which are
// digits at all.
__attribute__((target("ssse3,popcnt"))) inline __m128i digitValues(__m128i v, __m128i &valid)
{
    const __m128i low = _mm_and_si128(v, _mm_set1_epi8(0x1F));
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(low, _mm_setzero_si128()),
                                         _mm_cmpgt_epi8(_mm_set1_epi8(7), low));
    const __m128i number = _mm_and_si128(_mm_cmpgt_epi8(low, _mm_set1_epi8(15)),
                                         _mm_cmpgt_epi8(_mm_set1_epi8(26), low));
    valid = _mm_or_si128(letter, number);
    return _mm_or_si128(_mm_and_si128(letter, _mm_add_epi8(low, _mm_set1_epi8(9))),
                        _mm_and_si128(number, _mm_sub_epi8(low, _mm_set1_epi8(16))));
}

// Sixteen positions at a time: every lane computes its literal and its
// escaped value, and the digit positions are squeezed out with pshufb, eight
// lanes per shuffle.
__attribute__((target("ssse3,popcnt"))) void decodeSingleSsse3(const unsigned char *in, size_t n,
                                                               unsigned char escape, int16_t spaceMode,
                                                               char *out, SingleRun &run)
{
    const __m128i vEscape = _mm_set1_epi8(char(escape));
    const __m128i vPlus = _mm_set1_epi8(spaceMode == 0 ? '+' : 0);
    const __m128i vSwap = _mm_set1_epi8(' ' ^ '+');
    const __m128i vEight = _mm_set1_epi8(8);
    __m128i badLanes = _mm_setzero_si128();
    // Bit 0: an escape two back, bit 1: one back.
    unsigned before = run.back2 | (run.back1 << 1);
    size_t i = run.i;
    size_t o = run.o;
    // Reads reach in[i + 17], at most the terminating NUL; each half stores
    // eight bytes at o <= i + 8.
    for (; i + 17 <= n; i += 16) {
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i + 1));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i + 2));
        const __m128i esc = _mm_cmpeq_epi8(v0, vEscape);
        __m128i hiValid;
        __m128i loValid;
        const __m128i hi = digitValues(v1, hiValid);
        const __m128i lo = digitValues(v2, loValid);
        badLanes = _mm_or_si128(badLanes, _mm_andnot_si128(_mm_and_si128(hiValid, loValid), esc));
        // hi is at most 15 in every lane, so a 16-bit shift moves nothing
        // across lanes.
        const __m128i value = _mm_or_si128(_mm_slli_epi16(hi, 4), lo);
        const __m128i literal = _mm_xor_si128(v0, _mm_and_si128(_mm_cmpeq_epi8(v0, vPlus), vSwap));
        const __m128i bytes = _mm_or_si128(_mm_and_si128(esc, value), _mm_andnot_si128(esc, literal));

        const unsigned escMask = unsigned(_mm_movemask_epi8(esc));
        const unsigned history = (escMask << 2) | before;
        const unsigned keep = ~(history | (history >> 1)) & 0xFFFF;
        const unsigned low = keep & 0xFF;
        const unsigned high = keep >> 8;
        const __m128i first = _mm_shuffle_epi8(
            bytes, _mm_load_si128(reinterpret_cast<const __m128i *>(kCompact.rows[low])));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + o), first);
        o += unsigned(__builtin_popcount(low));
        const __m128i second = _mm_shuffle_epi8(
            bytes, _mm_add_epi8(_mm_load_si128(reinterpret_cast<const __m128i *>(kCompact.rows[high])), vEight));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + o), second);
        o += unsigned(__builtin_popcount(high));
        before = escMask >> 14;
    }
    run.i = i;
    run.o = o;
    run.back2 = before & 1;
    run.back1 = (before >> 1) & 1;
    run.bad |= _mm_movemask_epi8(badLanes) != 0;
}

// For each 4-bit mask of escaped bytes in a group of four, where the output
// characters come from in the group's source lanes: 0-3 the bytes as they
// are, 4-7 their high digits, 8-11 their low digits, 12 the escape.
struct ExpandTable {
    alignas(16) unsigned char control[16][16];
    unsigned char length[16];
    constexpr ExpandTable()
        : control{}, length{}
    {
        for (int m = 0; m < 16; ++m) {
            int k = 0;
            for (int j = 0; j < 4; ++j) {
                if (m & (1 << j)) {
                    control[m][k++] = 12;
                    control[m][k++] = static_cast<unsigned char>(4 + j);
                    control[m][k++] = static_cast<unsigned char>(8 + j);
                } else {
                    control[m][k++] = static_cast<unsigned char>(j);
                }
            }
            length[m] = static_cast<unsigned char>(k);
            while (k < 16)
                control[m][k++] = 0x80;
        }
    }
};
constexpr ExpandTable kExpand;

// Encodes sixteen bytes at a time for a one-character escape: the plain set
// is looked up as a bitmap with pshufb, digits come from a pshufb table, and
// each group of four bytes is spread out by a shuffle chosen by which of
// them are escaped. Returns how many input bytes were done (a multiple of
// 16); each store writes 16 bytes of which at least 4 count, so the buffer
// needs 12 bytes of room past the result.
//
// The plain set comes as bitmaps: rowsLow[low nibble] has bit h set when the
// byte (h << 4 | low) is plain, rowsHigh the same for the bytes from 0x80 on
// (h is then the high nibble less 8). Both are 16-byte aligned.
__attribute__((target("ssse3,popcnt"))) size_t encodeSingleSsse3(
    const unsigned char *in, size_t length, const unsigned char *rowsLow, const unsigned char *rowsHigh,
    bool plusSpaces, unsigned char escape, char *&out)
{
    const __m128i tableLow = _mm_load_si128(reinterpret_cast<const __m128i *>(rowsLow));
    const __m128i tableHigh = _mm_load_si128(reinterpret_cast<const __m128i *>(rowsHigh));
    const __m128i bits = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    const __m128i hex = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kHexDigits));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i lowIndex = _mm_set1_epi8(char(0x8F));
    const __m128i topBit = _mm_set1_epi8(char(0x80));
    // Spaces that travel as "+" are those the table marks so.
    const __m128i vPlusSpace = plusSpaces ? _mm_set1_epi8(' ') : _mm_setzero_si128();
    const __m128i vPlus = _mm_set1_epi8('+');
    const __m128i vEscape = _mm_set1_epi8(char(escape));

    char *w = out;
    size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i low = _mm_and_si128(v, nibble);
        const __m128i high = _mm_and_si128(_mm_srli_epi16(v, 4), nibble);
        const __m128i row = _mm_or_si128(_mm_shuffle_epi8(tableLow, _mm_and_si128(v, lowIndex)),
                                         _mm_shuffle_epi8(tableHigh, _mm_and_si128(_mm_xor_si128(v, topBit), lowIndex)));
        const __m128i bit = _mm_shuffle_epi8(bits, high);
        const __m128i plain = _mm_cmpeq_epi8(_mm_and_si128(row, bit), bit);
        // NUL never matches vPlusSpace: a zero there means no "+" spaces.
        const __m128i plusSpace = _mm_andnot_si128(plain, _mm_and_si128(_mm_cmpeq_epi8(v, vPlusSpace),
                                                                      _mm_cmpeq_epi8(v, _mm_set1_epi8(' '))));
        const __m128i literal = _mm_or_si128(_mm_andnot_si128(plusSpace, v), _mm_and_si128(plusSpace, vPlus));
        const unsigned escaped = ~unsigned(_mm_movemask_epi8(_mm_or_si128(plain, plusSpace))) & 0xFFFF;
        const __m128i hi = _mm_shuffle_epi8(hex, high);
        const __m128i lo = _mm_shuffle_epi8(hex, low);

        const __m128i litHi0 = _mm_unpacklo_epi32(literal, hi);
        const __m128i loEsc0 = _mm_unpacklo_epi32(lo, vEscape);
        const __m128i litHi1 = _mm_unpackhi_epi32(literal, hi);
        const __m128i loEsc1 = _mm_unpackhi_epi32(lo, vEscape);
        const __m128i groups[4] = {_mm_unpacklo_epi64(litHi0, loEsc0), _mm_unpackhi_epi64(litHi0, loEsc0),
                                   _mm_unpacklo_epi64(litHi1, loEsc1), _mm_unpackhi_epi64(litHi1, loEsc1)};
        for (int g = 0; g < 4; ++g) {
            const unsigned m = (escaped >> (4 * g)) & 15;
            const __m128i control = _mm_load_si128(reinterpret_cast<const __m128i *>(kExpand.control[m]));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(w), _mm_shuffle_epi8(groups[g], control));
            w += kExpand.length[m];
        }
    }
    out = w;
    return i;
}

bool hasSsse3()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
    }();
    return has;
}
#endif

long decodeSingle(const char *text, size_t n, unsigned char escape, int16_t spaceMode, char *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    SingleRun run;
#ifdef HEXMILL_SSSE3
    if (hasSsse3())
        decodeSingleSsse3(in, n, escape, spaceMode, out, run);
#endif
    decodeSingleTail(in, n, escape, spaceMode, out, run);
    return run.bad ? HEXMILL_BAD_DIGIT : long(run.o);
}

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
    Sfree(&spareBuffer);
    Sfree(&plainChars);
}

long CHexmill::HeaderLength(const char *escape)
{
    return long(escape ? std::strlen(escape) : 0) + 2;
}

long CHexmill::acquire(size_t size, const char *text, size_t textLength, const char *plain,
                       const char *escape, Target &target)
{
    // Results alternate between two buffers that are kept for the next call
    // of about the same size: that spares the allocator (and the kernel's
    // page faults) on every call, and a failed call never touches the last
    // result. A stale result pointer a caller passes back in is read from,
    // so the spare is not written then.
    const auto begin = reinterpret_cast<uintptr_t>(spareBuffer);
    const auto inside = [&](const char *p) {
        return p && reinterpret_cast<uintptr_t>(p) - begin < spareCapacity;
    };
    const auto overlaps = [&] {
        const auto a = reinterpret_cast<uintptr_t>(text);
        return text && textLength && a < begin + spareCapacity && begin < a + textLength;
    };
    const bool fits = spareBuffer && size <= spareCapacity && spareCapacity / 4 <= size + 16384;
    if (fits && !overlaps() && !inside(plain) && !inside(escape)) {
        target = {spareBuffer, spareCapacity, false};
        return 0;
    }
    char *buffer = nullptr;
    const long rc = Smalloc(&buffer, size);
    if (rc < 0)
        return rc;
    target = {buffer, size, true};
    return 0;
}

void CHexmill::commit(const Target &target)
{
    if (target.fresh)
        Sfree(&spareBuffer);
    spareBuffer = outBuffer;
    spareCapacity = outCapacity;
    outBuffer = target.buffer;
    outCapacity = target.capacity;
}

void CHexmill::abandon(Target &target)
{
    if (target.fresh)
        Sfree(&target.buffer);
}

char *CHexmill::GetMyMemOut()
{
    return outBuffer;
}

char *CHexmill::GetChars()
{
    return plainChars;
}

void CHexmill::prepareEncodeTables(const unsigned char *kind, const char *escape, size_t escapeLength)
{
    EncodeTables &t = encodeTables;
    if (t.valid && t.escapeLength == escapeLength &&
        (escapeLength == 0 || std::memcmp(t.escape, escape, escapeLength) == 0) &&
        std::memcmp(t.kind, kind, sizeof t.kind) == 0)
        return;
    t.valid = false;
    t.escapeLength = static_cast<unsigned char>(escapeLength);
    std::memset(t.escape, 0, sizeof t.escape);
    if (escapeLength)
        std::memcpy(t.escape, escape, escapeLength);
    std::memcpy(t.kind, kind, sizeof t.kind);
    std::memset(t.plainLow, 0, sizeof t.plainLow);
    std::memset(t.plainHigh, 0, sizeof t.plainHigh);
    for (int c = 0; c < 256; ++c) {
        unsigned char chars[8] = {};
        size_t count;
        if (kind[c] == 0) {
            chars[0] = static_cast<unsigned char>(c);
            count = 1;
            (c < 128 ? t.plainLow : t.plainHigh)[c & 15] |= static_cast<unsigned char>(1 << ((c >> 4) & 7));
        } else if (kind[c] == 1) {
            chars[0] = '+';
            count = 1;
        } else {
            if (escapeLength)
                std::memcpy(chars, escape, escapeLength);
            chars[escapeLength] = static_cast<unsigned char>(kHexDigits[c >> 4]);
            chars[escapeLength + 1] = static_cast<unsigned char>(kHexDigits[c & 0x0F]);
            count = escapeLength + 2;
        }
        chars[7] = static_cast<unsigned char>(count);
        std::memcpy(&t.word[c], chars, 8);
    }
    t.valid = true;
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

    // With an escape of up to two characters every byte becomes at most
    // four, and the result is written straight into a buffer for the worst
    // case. Longer escapes are rare: count the exact size first.
    size_t bound;
    if (e <= 2) {
        if (length != 0 && escapedLength > kMaxResult / length)
            return HEXMILL_TOO_LONG;
        bound = escapedLength * length;
    } else {
        bound = 0;
        for (uint32_t i = 0; i < length; ++i) {
            const size_t cost = kind[in[i]] == 2 ? escapedLength : 1;
            if (__builtin_add_overflow(bound, cost, &bound) || bound > kMaxResult)
                return HEXMILL_TOO_LONG;
        }
    }

    Target target{};
    const long rc = acquire(bound + 16, text, length, plain, escape, target);
    if (rc < 0)
        return rc;

    char *const out = target.buffer;
    char *w = out;
    if (e <= 2) {
        // One table word per byte: its characters in the low bytes and their
        // count in the top byte. All eight bytes are stored and the pointer
        // moves on by the count, so the next word overwrites the rest (the
        // buffer has room for the last word's tail). The vector loop, where
        // there is one, does the bulk first.
        prepareEncodeTables(kind.data(), escape, e);
        const EncodeTables &tables = encodeTables;
        size_t done = 0;
#ifdef HEXMILL_SSSE3
        if (e == 1 && hasSsse3())
            done = encodeSingleSsse3(in, length, tables.plainLow, tables.plainHigh, tables.kind[0x20] == 1,
                                     static_cast<unsigned char>(escape[0]), w);
#endif
        const uint64_t *const word = tables.word;
        for (size_t i = done; i < length; ++i) {
            const uint64_t x = word[in[i]];
            std::memcpy(w, &x, 8);
            w += x >> 56;
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
    commit(target);
    return long(w - out);
}

long CHexmill::Decode(const char *text, int16_t spaceMode, const char *escape)
{
    if (!text)
        return HEXMILL_BAD_ARGUMENT;
    const size_t n = std::strlen(text);
    const size_t e = escape ? std::strlen(escape) : 0;
    if (n > kMaxResult)
        return HEXMILL_TOO_LONG;

    // The output never outgrows the input. It is NUL-terminated as a
    // courtesy; the returned count is what was decoded.
    Target target{};
    const long rc = acquire(n + 1, text, n, nullptr, escape, target);
    if (rc < 0)
        return rc;

    long count;
    const auto first = static_cast<unsigned char>(e ? escape[0] : 0);
    if (e == 1 && kDigitValue[first] == kNotDigit && !(first == '+' && spaceMode == 0)) {
        count = decodeSingle(text, n, first, spaceMode, target.buffer);
    } else {
        // 0 copied, 1 "+" as space, 2 may start an escape (every position
        // does when there is no escape text).
        std::array<unsigned char, 256> kind;
        kind.fill(e == 0 ? 2 : 0);
        if (e)
            kind[first] = 2;
        if (spaceMode == 0)
            kind['+'] = 1;
        count = decodeSerial(text, n, escape, e, kind, target.buffer);
    }
    if (count < 0) {
        abandon(target);
        return count;
    }
    target.buffer[count] = '\0';
    commit(target);
    return count;
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
