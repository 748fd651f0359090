#include "sjis.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <mutex>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skedra {

namespace {

// Look-alikes whose Unicode form differs between JIS-based and Windows
// conversion tables; each is sent to the character CP932 has for it.
char16_t cp932Twin(char32_t c)
{
    switch (c) {
    case 0x301C: return 0xFF5E; // WAVE DASH -> FULLWIDTH TILDE
    case 0x2016: return 0x2225; // DOUBLE VERTICAL LINE -> PARALLEL TO
    case 0x2212: return 0xFF0D; // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case 0x00A2: return 0xFFE0; // CENT SIGN
    case 0x00A3: return 0xFFE1; // POUND SIGN
    case 0x00AC: return 0xFFE2; // NOT SIGN
    case 0x00A6: return 0xFFE4; // BROKEN BAR
    case 0x2014: return 0x2015; // EM DASH -> HORIZONTAL BAR
    case 0x00A5: return u'\\';  // YEN SIGN: the handset's single-byte 0x5C
    case 0x203E: return u'~';   // OVERLINE: the handset's single-byte 0x7E
    default: return 0;
    }
}

// glibc iconv's CP932 tables (the Windows-31J superset of Shift_JIS). One
// converter per direction and thread is kept; CP932 carries no shift state,
// so a converter is reused as it is.
class Converter {
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

    // Converts as much as it can; returns false with `in` at the byte that
    // could not be converted (or at the truncated tail).
    bool convert(const char *&in, size_t &inLeft, QByteArray &out)
    {
        while (inLeft > 0) {
            const qsizetype used = out.size();
            out.resize(used + qsizetype(inLeft) * 2 + 16);
            char *inPtr = const_cast<char *>(in);
            char *outPtr = out.data() + used;
            size_t outLeft = size_t(out.size() - used);
            const size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            in = inPtr;
            out.resize(outPtr - out.data());
            if (rc != size_t(-1))
                return true;
            if (errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    iconv_t m_cd;
};

Converter &toCp932()
{
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

Converter &fromCp932()
{
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}

// Encodes one BMP character; empty when CP932 has no form for it.
QByteArray encodeOne(char16_t unit)
{
    const char *in = reinterpret_cast<const char *>(&unit);
    size_t inLeft = 2;
    QByteArray out;
    if (!toCp932().convert(in, inLeft, out))
        return QByteArray();
    return out;
}

// Lookup tables made from the same iconv converters, so that the fast path
// gives exactly what converting through iconv gives. iconv is asked once per
// byte, byte pair and character; CP932 has no state, so what one character
// becomes never depends on its neighbours. If the tables cannot be made, or
// iconv answers in a way the tables cannot hold, the conversion goes through
// iconv as before.

// Byte -> character. A byte is a character of its own, opens a double-byte
// character, or is not CP932 at all. A lead byte followed by a byte that
// does not complete it, or at the end, is itself the invalid byte.
class DecodeTable {
public:
    enum Kind : unsigned char { Single, Lead, Invalid };

    DecodeTable() { m_ok = build(); }
    bool ok() const { return m_ok; }
    bool asciiIsAscii() const { return m_asciiIsAscii; }
    Kind kind(unsigned char b) const { return Kind(m_kind[b]); }
    char16_t single(unsigned char b) const { return m_single[b]; }
    // 0 when the pair is not a character.
    char16_t pair(unsigned char lead, unsigned char trail) const { return m_pairs[size_t(lead << 8 | trail)]; }

private:
    bool build()
    {
        Converter conv("UTF-16LE", "CP932");
        if (!conv.isValid())
            return false;
        m_pairs.assign(65536, 0);
        m_asciiIsAscii = true;
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const char *in = &byte;
            size_t inLeft = 1;
            char16_t unit = 0;
            char *out = reinterpret_cast<char *>(&unit);
            size_t outLeft = 2;
            const size_t rc = iconv(conv.handle(), const_cast<char **>(&in), &inLeft, &out, &outLeft);
            if (rc == 0 && inLeft == 0 && outLeft == 0) {
                m_kind[b] = Single;
                m_single[b] = unit;
                if (b < 0x80 && unit != b)
                    m_asciiIsAscii = false;
            } else if (rc == size_t(-1) && errno == EINVAL) {
                m_kind[b] = Lead;
            } else if (rc == size_t(-1) && errno == EILSEQ && inLeft == 1) {
                m_kind[b] = Invalid;
            } else {
                return false;
            }
            iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
        }
        for (int lead = 0; lead < 256; ++lead) {
            if (m_kind[lead] != Lead)
                continue;
            char16_t *row = m_pairs.data() + (lead << 8);
            for (int trail = 0; trail < 256; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                const char *in = bytes;
                size_t inLeft = 2;
                char16_t unit = 0;
                char *out = reinterpret_cast<char *>(&unit);
                size_t outLeft = 2;
                const size_t rc = iconv(conv.handle(), const_cast<char **>(&in), &inLeft, &out, &outLeft);
                if (rc == 0 && inLeft == 0 && outLeft == 0 && unit != 0) {
                    row[trail] = unit;
                } else if (!(rc == size_t(-1) && errno == EILSEQ && inLeft == 2)) {
                    return false;
                }
                iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
            }
        }
        return true;
    }

    bool m_ok = false;
    bool m_asciiIsAscii = false;
    std::array<unsigned char, 256> m_kind{};
    std::array<char16_t, 256> m_single{};
    // Indexed by lead << 8 | trail.
    std::vector<char16_t> m_pairs;
};

const DecodeTable &decodeTable()
{
    static const DecodeTable table;
    return table;
}

// BMP character -> bytes, in pages of 256 characters made on first use (the
// whole table would take iconv a few milliseconds, and most text stays in a
// few pages). A code is 0 when the character has no CP932 form, 0xFF00 | b
// for the single byte b, and lead << 8 | trail for a pair (lead bytes are
// never 0xFF).
class EncodeTable {
public:
    EncodeTable()
    {
        Converter probe("CP932", "UTF-16LE");
        m_ok = probe.isValid();
    }
    bool ok() const { return m_ok; }

    uint16_t code(char16_t unit)
    {
        const unsigned page = unit >> 8;
        if (!m_ready[page].load(std::memory_order_acquire))
            buildPage(page);
        return m_codes[unit];
    }

    // True when the character's bytes (its own, not a twin's) decode to the
    // character again, wherever it stands in a text.
    bool comesBack(char16_t unit)
    {
        const unsigned page = unit >> 8;
        if (!m_ready[page].load(std::memory_order_acquire))
            buildPage(page);
        return m_comesBack[unit];
    }

private:
    void buildPage(unsigned page)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ready[page].load(std::memory_order_relaxed))
            return;
        Converter conv("CP932", "UTF-16LE");
        bool ok = conv.isValid();
        for (unsigned low = 0; low < 256 && ok; ++low) {
            const char16_t unit = char16_t(page << 8 | low);
            uint16_t code = 0;
            if (!QChar::isSurrogate(unit)) {
                const char *in = reinterpret_cast<const char *>(&unit);
                size_t inLeft = 2;
                unsigned char bytes[4] = {};
                char *out = reinterpret_cast<char *>(bytes);
                size_t outLeft = sizeof bytes;
                const size_t rc = iconv(conv.handle(), const_cast<char **>(&in), &inLeft, &out, &outLeft);
                const size_t written = sizeof bytes - outLeft;
                if (rc == 0 && inLeft == 0 && written == 1)
                    code = uint16_t(0xFF00 | bytes[0]);
                else if (rc == 0 && inLeft == 0 && written == 2 && bytes[0] != 0 && bytes[0] != 0xFF)
                    code = uint16_t(bytes[0] << 8 | bytes[1]);
                else if (!(rc == size_t(-1) && errno == EILSEQ && inLeft == 2 && written == 0))
                    ok = false;
                iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
            }
            m_codes[unit] = code;
            m_comesBack[unit] = comesBackFrom(code, unit);
        }
        if (!ok) {
            m_ok = false;
            return;
        }
        m_ready[page].store(true, std::memory_order_release);
    }

    // A single byte that the decoder reads as a character of its own, or a
    // lead byte and its trail that it reads as a pair, giving `unit`.
    static bool comesBackFrom(uint16_t code, char16_t unit)
    {
        const DecodeTable &d = decodeTable();
        if (code == 0 || !d.ok())
            return false;
        if ((code >> 8) == 0xFF) {
            const auto b = static_cast<unsigned char>(code & 0xFF);
            return d.kind(b) == DecodeTable::Single && d.single(b) == unit;
        }
        const auto lead = static_cast<unsigned char>(code >> 8);
        return d.kind(lead) == DecodeTable::Lead && d.pair(lead, static_cast<unsigned char>(code & 0xFF)) == unit;
    }

    std::atomic<bool> m_ok{false};
    std::array<std::atomic<bool>, 256> m_ready{};
    std::array<uint16_t, 65536> m_codes{};
    std::array<bool, 65536> m_comesBack{};
    std::mutex m_mutex;
};

EncodeTable &encodeTable()
{
    static EncodeTable table;
    return table;
}

// Appends the code's bytes; false for "no CP932 form".
inline bool putCode(uint16_t code, char *&w)
{
    if (code == 0)
        return false;
    if ((code >> 8) == 0xFF) {
        *w++ = char(code & 0xFF);
    } else {
        *w++ = char(code >> 8);
        *w++ = char(code & 0xFF);
    }
    return true;
}

// Copies the run of ASCII characters at the start of [in, in + n) to `out`
// (one byte per unit); returns its length, a multiple of the block size, so
// the caller finishes the run. Only for a table that keeps ASCII as it is.
inline qsizetype narrowAsciiRun(const char16_t *in, qsizetype n, char *out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(short(0xFF80));
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i + 8));
        const __m128i any = _mm_and_si128(_mm_or_si128(a, b), high);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(any, _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(a, b));
    }
#endif
    return i;
}

// The same the other way: ASCII bytes to UTF-16 units.
inline qsizetype widenAsciiRun(const unsigned char *in, qsizetype n, char16_t *out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        if (_mm_movemask_epi8(v) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(v, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(v, _mm_setzero_si128()));
    }
#endif
    return i;
}

// Eight bytes at once are all below 0x80.
inline bool allAscii8(const unsigned char *p)
{
    uint64_t x;
    std::memcpy(&x, p, 8);
    return (x & 0x8080808080808080ULL) == 0;
}

// Four UTF-16 units at once are all below 0x80.
inline bool allAscii4(const char16_t *p)
{
    uint64_t x;
    std::memcpy(&x, p, 8);
    return (x & 0xFF80FF80FF80FF80ULL) == 0;
}

QByteArray encodeIconv(const QString &text, int *replaced)
{
    int count = 0;
    QByteArray out;
    out.reserve(text.size() * 2);
    Converter &conv = toCp932();
    const char *begin = reinterpret_cast<const char *>(text.constData());
    const char *in = begin;
    size_t inLeft = size_t(text.size()) * 2;
    while (conv.isValid() && !conv.convert(in, inLeft, out)) {
        // One character had no CP932 form: its twin, or "?".
        const qsizetype pos = (in - begin) / 2;
        char32_t cp = text.at(pos).unicode();
        qsizetype len = 1;
        if (text.at(pos).isHighSurrogate() && pos + 1 < text.size() && text.at(pos + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(pos), text.at(pos + 1));
            len = 2;
        }
        const char16_t twin = cp932Twin(cp);
        const QByteArray bytes = twin ? encodeOne(twin) : QByteArray();
        if (bytes.isEmpty()) {
            out += '?';
            ++count;
        } else {
            out += bytes;
        }
        in += len * 2;
        inLeft -= size_t(len) * 2;
    }
    if (replaced)
        *replaced = count;
    return out;
}

QString decodeIconv(const QByteArray &bytes, int *invalid)
{
    int count = 0;
    QByteArray utf16;
    utf16.reserve(bytes.size() * 2);
    Converter &conv = fromCp932();
    const char *in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    while (conv.isValid() && !conv.convert(in, inLeft, utf16)) {
        // An invalid or truncated byte: U+FFFD, then go on after it.
        const char16_t fffd = QChar::ReplacementCharacter;
        utf16.append(reinterpret_cast<const char *>(&fffd), 2);
        ++count;
        ++in;
        --inLeft;
    }
    if (invalid)
        *invalid = count;
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

} // namespace

namespace Sjis {

QByteArray encode(const QString &text, int *replaced)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "QString is handed to iconv as UTF-16LE");
    EncodeTable &table = encodeTable();
    if (!table.ok() || !decodeTable().ok() || !decodeTable().asciiIsAscii())
        return encodeIconv(text, replaced);

    int count = 0;
    const qsizetype n = text.size();
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    // Two bytes per character at most; "?" for a surrogate pair is one.
    QByteArray out(n * 2, Qt::Uninitialized);
    char *const begin = out.data();
    char *w = begin;
    qsizetype i = 0;
    while (i < n) {
        const char16_t unit = in[i];
        if (unit < 0x80) {
            // A run of ASCII, in blocks while they last.
            const qsizetype run = narrowAsciiRun(in + i, n - i, w);
            i += run;
            w += run;
            while (i + 4 <= n && allAscii4(in + i)) {
                w[0] = char(in[i]);
                w[1] = char(in[i + 1]);
                w[2] = char(in[i + 2]);
                w[3] = char(in[i + 3]);
                w += 4;
                i += 4;
            }
            while (i < n && in[i] < 0x80)
                *w++ = char(in[i++]);
            continue;
        }
        if (QChar::isSurrogate(unit)) {
            // Nothing outside the BMP, and no lone surrogate, has a CP932
            // form or a twin.
            const bool pair = QChar::isHighSurrogate(unit) && i + 1 < n && QChar::isLowSurrogate(in[i + 1]);
            *w++ = '?';
            ++count;
            i += pair ? 2 : 1;
            continue;
        }
        ++i;
        if (putCode(table.code(unit), w))
            continue;
        // No CP932 form: its twin, or "?".
        const char16_t twin = cp932Twin(unit);
        if (!(twin && putCode(table.code(twin), w))) {
            *w++ = '?';
            ++count;
        }
    }
    // A page that iconv could not fill leaves the table unusable.
    if (!table.ok())
        return encodeIconv(text, replaced);
    out.truncate(w - begin);
    if (replaced)
        *replaced = count;
    return out;
}

QString decode(const QByteArray &bytes, int *invalid)
{
    const DecodeTable &table = decodeTable();
    if (!table.ok())
        return decodeIconv(bytes, invalid);

    int count = 0;
    const qsizetype n = bytes.size();
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    // Never more characters than bytes.
    QString out(n, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *w = begin;
    qsizetype i = 0;
    const bool ascii = table.asciiIsAscii();
    while (i < n) {
        const unsigned char b = in[i];
        if (b < 0x80 && ascii) {
            // A run of ASCII, in blocks while they last.
            const qsizetype run = widenAsciiRun(in + i, n - i, w);
            i += run;
            w += run;
            while (i + 8 <= n && allAscii8(in + i)) {
                for (int k = 0; k < 8; ++k)
                    w[k] = in[i + k];
                w += 8;
                i += 8;
            }
            while (i < n && in[i] < 0x80)
                *w++ = in[i++];
            continue;
        }
        switch (table.kind(b)) {
        case DecodeTable::Single:
            *w++ = table.single(b);
            ++i;
            break;
        case DecodeTable::Lead:
            if (i + 1 < n) {
                if (const char16_t unit = table.pair(b, in[i + 1])) {
                    *w++ = unit;
                    i += 2;
                    break;
                }
            }
            [[fallthrough]];
        case DecodeTable::Invalid:
            // An invalid or truncated byte: U+FFFD, then go on after it.
            *w++ = QChar::ReplacementCharacter;
            ++count;
            ++i;
            break;
        }
    }
    out.truncate(w - begin);
    if (invalid)
        *invalid = count;
    return out;
}

bool isEncodable(const QString &text)
{
    // Every character coming back by itself is enough; otherwise the text
    // is converted there and back to be sure.
    EncodeTable &table = encodeTable();
    if (table.ok()) {
        bool all = true;
        for (const QChar c : text) {
            if (!table.comesBack(c.unicode())) {
                all = false;
                break;
            }
        }
        if (all && table.ok())
            return true;
    }
    int replaced = 0;
    const QByteArray bytes = encode(text, &replaced);
    return replaced == 0 && decode(bytes) == text;
}

bool isShiftJisName(const QByteArray &charset)
{
    return charset == "SHIFT_JIS" || charset == "SHIFT-JIS" || charset == "SJIS" || charset == "CP932"
        || charset == "WINDOWS-31J" || charset == "MS_KANJI" || charset == "X-SJIS";
}

} // namespace Sjis

QString ZeroPad(long long number, int width)
{
    if (width <= 0)
        return QString();
    const QString padded = QString(width, u'0') + QString::number(number);
    return padded.right(width);
}

QString TruncateBytes(const QString &text, int maxBytes)
{
    if (maxBytes < 0)
        maxBytes = 0;
    // No character takes more than two bytes.
    if (text.size() <= maxBytes / 2)
        return text;
    const QByteArray bytes = Sjis::encode(text);
    if (bytes.size() <= maxBytes)
        return text;

    // Find the last whole character within the limit.
    qsizetype end = 0;
    bool broken = false;
    while (end < maxBytes) {
        const qsizetype width = Sjis::isLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + width > maxBytes) {
            broken = true;
            break;
        }
        end += width;
    }

    // Keep that many bytes' worth of the original characters, so that a
    // character written as "?" stays itself and is still reported when the
    // kept text is encoded.
    qsizetype kept = 0;
    qsizetype used = 0;
    while (kept < text.size() && used < end) {
        const qsizetype len = (text.at(kept).isHighSurrogate() && kept + 1 < text.size()
                               && text.at(kept + 1).isLowSurrogate()) ? 2 : 1;
        used += Sjis::encode(text.mid(kept, len)).size();
        kept += len;
    }
    QString result = text.left(kept);
    if (broken)
        result += u' ';
    return result;
}

} // namespace skedra
