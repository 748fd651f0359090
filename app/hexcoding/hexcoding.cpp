#include "hexcoding.h"

#include "hexmill.h"
#include "sjis.h"

#include <QByteArray>

#include <limits>

namespace skedra {

namespace {

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
        m_failed = false;
        // Hexmill reads up to the first NUL, and a character without a CP932
        // form would not survive; such a text is handed back as it came.
        if (!Sjis::isEncodable(text) || text.contains(QChar(0))) {
            m_failed = true;
            return text;
        }
        const QByteArray bytes = Sjis::encode(text);
        const long n = m_mill.Decode(bytes.constData(), spaceMode(), escape());
        if (n < 0) {
            m_failed = true;
            return text;
        }
        int invalid = 0;
        const QString decoded = Sjis::decode(QByteArray(m_mill.GetMyMemOut(), qsizetype(n)), &invalid);
        if (invalid > 0) {
            m_failed = true;
            return text;
        }
        return decoded;
    }

    QString Encode(const QString &text) override
    {
        // Characters without a CP932 form become their look-alike or "?";
        // the text then no longer comes back as it was.
        m_failed = !Sjis::isEncodable(text);
        const QByteArray bytes = Sjis::encode(text);
        if (quint64(bytes.size()) > std::numeric_limits<uint32_t>::max()) {
            m_failed = true;
            return QString();
        }
        const long n = m_mill.Encode(bytes.constData(), uint32_t(bytes.size()), spaceMode(),
                                     m_plain.constData(), escape());
        if (n < 0) {
            m_failed = true;
            return QString();
        }
        // Digits and escapes: ASCII, unless the escape text itself is not.
        const QByteArray encoded(m_mill.GetMyMemOut(), qsizetype(n));
        return m_asciiEscape ? QString::fromLatin1(encoded) : Sjis::decode(encoded);
    }

    bool lastCallFailed() const override { return m_failed; }

    MillHexCoding() { SetAddChar(QStringLiteral("=")); }

private:
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

std::unique_ptr<HexCoding> createHexCodingObject(const QString &progId)
{
    for (const Registration &r : kRegistry) {
        if (progId.compare(QLatin1String(r.progId), Qt::CaseInsensitive) == 0)
            return r.create();
    }
    return nullptr;
}

} // namespace skedra
