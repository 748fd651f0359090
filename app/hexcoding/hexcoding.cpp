#include "hexcoding.h"

#include "hexmill.h"
#include "sjis.h"

#include <QByteArray>

#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skedra {

namespace {

// ASCII a-z raised to A-Z and "+" made a space, in place.
void asFileText(char *text, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i belowA = _mm_set1_epi8('a' - 1);
    const __m128i aboveZ = _mm_set1_epi8('z' + 1);
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i plus = _mm_set1_epi8('+');
    const __m128i plusToSpace = _mm_set1_epi8('+' ^ ' ');
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        // Signed compares: bytes from 0x80 on are below "a" and stay.
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(v, belowA), _mm_cmplt_epi8(v, aboveZ));
        v = _mm_xor_si128(v, _mm_and_si128(lower, caseBit));
        v = _mm_xor_si128(v, _mm_and_si128(_mm_cmpeq_epi8(v, plus), plusToSpace));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(text + i), v);
    }
#endif
    for (; i < n; ++i) {
        if (text[i] >= 'a' && text[i] <= 'z')
            text[i] = char(text[i] - ('a' - 'A'));
        else if (text[i] == '+')
            text[i] = ' ';
    }
}

// Quoted-printable coding of CP932 text on the Hexmill coder. The add
// character is Hexmill's escape text.
//
// Only digits travel plain: the writer upper-cases the encoded text and turns
// "+" into a space, so a letter left as it is would come back in the other
// case, and "+", "=" and the space must always be escaped.
class MillHexCoding final : public HexCoding {
public:
    void SetAddChar(const QString &addChar) override
    {
        m_escape = Sjis::encode(addChar);
        // A digit inside the escape text could not be told from a plain one;
        // without an escape text every byte is a pair of digits.
        m_plain.clear();
        for (char d = '0'; d <= '9' && !m_escape.isEmpty(); ++d) {
            if (!m_escape.contains(d))
                m_plain += d;
        }
        m_asciiEscape = true;
        for (char c : std::as_const(m_escape))
            m_asciiEscape = m_asciiEscape && uchar(c) < 0x80;
    }

    void SetMode(const QString &mode) override
    {
        bool ok = false;
        const int value = mode.trimmed().toInt(&ok);
        if (ok)
            m_spaceMode = value == 0 ? 0 : 1;
    }

    QString Decode(const QString &text) override
    {
        const long n = decodeBytes(text);
        if (n < 0)
            return text;
        int invalid = 0;
        QString decoded = Sjis::decode(QByteArray::fromRawData(m_mill.GetMyMemOut(), qsizetype(n)), &invalid);
        if (invalid > 0) {
            m_failed = true;
            return text;
        }
        return decoded;
    }

    QByteArray DecodeBytes(const QString &text) override
    {
        const long n = decodeBytes(text);
        if (n < 0)
            return Sjis::encode(text);
        return QByteArray(m_mill.GetMyMemOut(), qsizetype(n));
    }

    QString Encode(const QString &text) override
    {
        const long n = encodeBytes(text);
        if (n < 0)
            return QString();
        // Digits and escapes: ASCII, unless the escape text itself is not.
        const char *encoded = m_mill.GetMyMemOut();
        return m_asciiEscape ? QString::fromLatin1(encoded, qsizetype(n))
                             : Sjis::decode(QByteArray::fromRawData(encoded, qsizetype(n)));
    }

    void EncodeForFile(const QString &text, QString &out) override
    {
        if (!m_asciiEscape) {
            HexCoding::EncodeForFile(text, out);
            return;
        }
        const long n = encodeBytes(text);
        if (n <= 0)
            return;
        // The result is ASCII: raising it is raising a-z. It is this call's
        // own, so it is changed where it lies.
        char *coded = m_mill.GetMyMemOut();
        asFileText(coded, size_t(n));
        out.append(QLatin1StringView(coded, qsizetype(n)));
    }

    bool lastCallFailed() const override { return m_failed; }

    MillHexCoding() { SetAddChar(QStringLiteral("=")); }

private:
    // The CP932 bytes of `text`; `exact` tells whether every character had
    // a CP932 form and comes back as it was (Sjis::isEncodable).
    static QByteArray toCp932(const QString &text, bool &exact)
    {
        // CP932 keeps ASCII as it is.
        exact = isAscii(text) || Sjis::isEncodable(text);
        return Sjis::encode(text);
    }

    static bool isAscii(const QString &text) { return QtPrivate::isAscii(QStringView(text)) && asciiKept(); }

    // Whether CP932 conversion leaves every ASCII character as it is.
    static bool asciiKept()
    {
        static const bool kept = [] {
            QString ascii;
            for (char16_t c = 0; c < 0x80; ++c)
                ascii += QChar(c);
            int replaced = 0;
            const QByteArray bytes = Sjis::encode(ascii, &replaced);
            return replaced == 0 && bytes == ascii.toLatin1() && Sjis::decode(bytes) == ascii;
        }();
        return kept;
    }

    // Decodes into the coder's result; returns its length, or -1 (failure
    // noted).
    long decodeBytes(const QString &text)
    {
        m_failed = false;
        // Hexmill reads up to the first NUL, and a character without a CP932
        // form would not survive; such a text is not decoded.
        bool exact = false;
        const QByteArray bytes = toCp932(text, exact);
        if (!exact || text.contains(QChar(0))) {
            m_failed = true;
            return -1;
        }
        const long n = m_mill.Decode(bytes.constData(), spaceMode(), escape());
        m_failed = n < 0;
        return n;
    }

    // Encodes into the coder's result; returns its length, or -1 (failure
    // already noted).
    long encodeBytes(const QString &text)
    {
        // Characters without a CP932 form become their look-alike or "?";
        // the text then no longer comes back as it was.
        bool exact = false;
        const QByteArray bytes = toCp932(text, exact);
        m_failed = !exact;
        if (quint64(bytes.size()) > std::numeric_limits<uint32_t>::max()) {
            m_failed = true;
            return -1;
        }
        const long n = m_mill.Encode(bytes.constData(), uint32_t(bytes.size()), spaceMode(),
                                     m_plain.constData(), escape());
        if (n < 0) {
            m_failed = true;
            return -1;
        }
        return n;
    }

    // A "+" in the escape text cannot also stand for a space.
    int16_t spaceMode() const { return m_escape.contains('+') ? 1 : m_spaceMode; }
    const char *escape() const { return m_escape.isEmpty() ? nullptr : m_escape.constData(); }

    CHexmill m_mill;
    QByteArray m_escape;
    QByteArray m_plain;
    bool m_asciiEscape = true;
    int16_t m_spaceMode = 1;
    bool m_failed = false;
};

struct Registration {
    const char *progId;
    std::unique_ptr<HexCoding> (*create)();
};

const Registration kRegistry[] = {
    {HexCodingProgId, [] { return std::unique_ptr<HexCoding>(new MillHexCoding); }},
};

} // namespace

void HexCoding::EncodeForFile(const QString &text, QString &out)
{
    QString coded = Encode(text);
    // Raised only when there is a small letter to raise.
    for (QChar c : std::as_const(coded)) {
        if (c.isLower()) {
            coded = coded.toUpper();
            break;
        }
    }
    coded.replace(u'+', u' ');
    out += coded;
}

std::unique_ptr<HexCoding> createHexCodingObject(const QString &progId)
{
    for (const Registration &r : kRegistry) {
        if (progId.compare(QLatin1String(r.progId), Qt::CaseInsensitive) == 0)
            return r.create();
    }
    return nullptr;
}

} // namespace skedra
