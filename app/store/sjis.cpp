#include "sjis.h"

#include <cerrno>
#include <iconv.h>

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

} // namespace

namespace Sjis {

QByteArray encode(const QString &text, int *replaced)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "QString is handed to iconv as UTF-16LE");
    int count = 0;
    QByteArray out;
    out.reserve(text.size() * 2);
    Converter &conv = toCp932();
    const char *begin = reinterpret_cast<const char *>(text.utf16());
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

QString decode(const QByteArray &bytes, int *invalid)
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

bool isEncodable(const QString &text)
{
    int replaced = 0;
    const QByteArray bytes = encode(text, &replaced);
    return replaced == 0 && decode(bytes) == text;
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
    const QByteArray bytes = Sjis::encode(text);
    if (bytes.size() <= maxBytes)
        return text;

    // Walk whole characters up to the limit.
    qsizetype end = 0;
    while (end < maxBytes) {
        const qsizetype width = Sjis::isLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + width > maxBytes)
            return Sjis::decode(bytes.left(end)) + u' ';
        end += width;
    }
    return Sjis::decode(bytes.left(end));
}

} // namespace skedra
