#include "vcard.h"

#include "sjis.h"

#include <QFile>
#include <QStringDecoder>

#include <utility>

namespace skedra {

namespace {

// Physical lines, ended by CR LF, LF or a lone CR, found one at a time.
class PhysicalLines {
public:
    explicit PhysicalLines(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    bool next(QByteArrayView &line)
    {
        const qsizetype size = m_bytes.size();
        if (m_pos >= size)
            return false;
        qsizetype end = m_pos;
        while (end < size && m_bytes[end] != '\n' && m_bytes[end] != '\r')
            ++end;
        line = m_bytes.sliced(m_pos, end - m_pos);
        if (end + 1 < size && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n')
            ++end;
        m_pos = end + 1;
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// One content line: "group.NAME;param;param:value".
struct Property {
    QByteArray name;  // upper case, group removed
    QList<QByteArray> params;
    QByteArray value;
};

// Index of the first `separator` at or after `from` that is not inside a
// double-quoted parameter value; -1 when there is none.
qsizetype unquotedIndexOf(QByteArrayView text, char separator, qsizetype from = 0)
{
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted)
            return i;
    }
    return -1;
}

// The name and parameters of a line from the text before its colon.
void parseHead(QByteArrayView head, Property &p)
{
    p.params.clear();
    qsizetype start = 0;
    for (;;) {
        const qsizetype semicolon = unquotedIndexOf(head, ';', start);
        p.params.append(head.sliced(start, (semicolon < 0 ? head.size() : semicolon) - start).trimmed().toByteArray());
        if (semicolon < 0)
            break;
        start = semicolon + 1;
    }
    p.name = p.params.takeFirst().toUpper();
    const qsizetype dot = p.name.lastIndexOf('.');
    if (dot >= 0)
        p.name = p.name.mid(dot + 1);
}

bool parseProperty(const QByteArray &line, Property &p)
{
    const qsizetype colon = unquotedIndexOf(line, ':');
    if (colon < 0)
        return false;
    parseHead(QByteArrayView(line).first(colon), p);
    p.value = line.mid(colon + 1);
    return true;
}

QByteArray parameterValue(const QByteArray &param)
{
    QByteArray value = param.mid(param.indexOf('=') + 1).trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool isQuotedPrintable(const QList<QByteArray> &params)
{
    for (const QByteArray &param : params) {
        const QByteArray p = param.toUpper();
        if (p == "QUOTED-PRINTABLE" || (p.startsWith("ENCODING=") && parameterValue(p) == "QUOTED-PRINTABLE"))
            return true;
    }
    return false;
}

QByteArray charsetOf(const QList<QByteArray> &params)
{
    for (const QByteArray &param : params) {
        if (param.toUpper().startsWith("CHARSET="))
            return parameterValue(param).toUpper();
    }
    return QByteArray();
}

// Content lines, one at a time: folded lines joined (a line starting with a
// space or tab continues the previous one, less that one character), and a
// quoted-printable value ending in "=" continued by the next line as it is.
// Joining happens on bytes, so a character split by a fold comes whole.
//
// Whether a line is quoted-printable is decided once, when its colon has
// come: a fold can split the name and parameters, but nothing after the
// colon changes them.
class ContentLines {
public:
    explicit ContentLines(QByteArrayView bytes)
        : m_physical(bytes)
    {
    }

    bool next(QByteArray &line)
    {
        QByteArrayView raw;
        while (m_physical.next(raw)) {
            if (m_softBreak) {
                m_line.chop(1);
                if (raw.isEmpty()) {
                    m_softBreak = false;
                    continue;
                }
                m_line += raw;
                m_softBreak = m_line.endsWith('=');
                continue;
            }
            const bool folded = m_open && (raw.startsWith(' ') || raw.startsWith('\t'));
            const bool finishes = m_open && !folded;
            QByteArray finished;
            if (folded) {
                append(raw.sliced(1));
            } else {
                finished = std::exchange(m_line, QByteArray());
                m_open = true;
                m_colon = -1;
                m_scanned = 0;
                m_quoted = false;
                m_quotedPrintable = false;
                append(raw);
            }
            m_softBreak = m_line.endsWith('=') && m_quotedPrintable;
            if (finishes) {
                line = std::move(finished);
                return true;
            }
        }
        if (!m_open)
            return false;
        m_open = false;
        line = std::move(m_line);
        return true;
    }

private:
    // Adds to the open line; until its colon is found, looks for it in
    // what was added.
    void append(QByteArrayView piece)
    {
        m_line += piece;
        if (m_colon >= 0)
            return;
        for (; m_scanned < m_line.size(); ++m_scanned) {
            const char c = m_line[m_scanned];
            if (c == '"') {
                m_quoted = !m_quoted;
            } else if (c == ':' && !m_quoted) {
                m_colon = m_scanned;
                Property head;
                parseHead(QByteArrayView(m_line).first(m_colon), head);
                m_quotedPrintable = isQuotedPrintable(head.params);
                return;
            }
        }
    }

    PhysicalLines m_physical;
    QByteArray m_line;   // the line being joined
    bool m_open = false; // whether there is one
    bool m_softBreak = false;
    qsizetype m_colon = -1;  // its first colon outside quotes, -1 while none
    qsizetype m_scanned = 0; // bytes of it searched for the colon
    bool m_quoted = false;
    bool m_quotedPrintable = false;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "=XX" escapes decoded; a "=" not followed by two hex digits stays.
QByteArray decodeQuotedPrintable(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size()) {
            const int high = hexDigit(value[i + 1]);
            const int low = hexDigit(value[i + 2]);
            if (high >= 0 && low >= 0) {
                out.append(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.append(value[i]);
    }
    return out;
}

// UTF-8 when the bytes are valid UTF-8, else CP932.
QString decodeUndeclared(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? Sjis::decode(bytes) : text;
}

QString decodeValue(const Property &p)
{
    const QByteArray bytes = isQuotedPrintable(p.params) ? decodeQuotedPrintable(p.value) : p.value;
    const QByteArray charset = charsetOf(p.params);
    QString text;
    if (Sjis::isShiftJisName(charset)) {
        text = Sjis::decode(bytes);
    } else if (charset.isEmpty()) {
        text = decodeUndeclared(bytes);
    } else if (const auto encoding = QStringConverter::encodingForName(charset.constData())) {
        text = QStringDecoder(*encoding).decode(bytes);
    } else {
        text = decodeUndeclared(bytes);
    }
    // A record is one line of the book.
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

bool isCardMark(const Property &p, const char *name)
{
    return p.name == name && p.value.trimmed().toUpper() == "VCARD";
}

// A name with nothing but separators and spaces names no one.
bool namesSomeone(const QString &name)
{
    for (QChar c : name) {
        if (c != u';' && c != u',' && !c.isSpace())
            return true;
    }
    return false;
}

struct Card {
    bool hasN = false;
    QString n;
    bool hasFn = false;
    QString fn;
    QStringList numbers;

    QString name() const
    {
        if (hasN && (namesSomeone(n) || !hasFn))
            return n;
        return fn;
    }
};

} // namespace

VCardRecords readVCardData(const QByteArray &bytes)
{
    VCardRecords out;
    Card card;
    auto endCard = [&] {
        const QString name = card.name();
        for (const QString &number : card.numbers)
            out.records.append({name, number});
        card = Card();
    };
    QByteArrayView text(bytes);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    ContentLines lines(text);
    QByteArray line;
    Property p;
    while (lines.next(line)) {
        if (!parseProperty(line, p))
            continue;
        if (isCardMark(p, "BEGIN")) {
            endCard();
            out.isVCard = true;
        } else if (isCardMark(p, "END")) {
            endCard();
        } else if (p.name == "N" && !card.hasN) {
            card.hasN = true;
            card.n = decodeValue(p);
        } else if (p.name == "FN" && !card.hasFn) {
            card.hasFn = true;
            card.fn = decodeValue(p);
        } else if (p.name == "TEL") {
            card.numbers.append(decodeValue(p));
        }
    }
    endCard();
    if (!out.records.isEmpty())
        out.isVCard = true;
    return out;
}

BookMessage readVCardFile(const QString &path, VCardRecords &out)
{
    out = VCardRecords();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {BookCode::ReadFailed, path, 0};
    if (file.size() > MaxVCardBytes)
        return {BookCode::TooLarge, path, 0};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {BookCode::ReadFailed, path, 0};
    out = readVCardData(bytes);
    if (!out.isVCard)
        return {BookCode::NotVCard, path, 0};
    return {};
}

} // namespace skedra
