#include "vcard.h"

#include "sjis.h"

#include <QFile>
#include <QStringDecoder>

namespace skedra {

namespace {

// Physical lines, ended by CR LF, LF or a lone CR.
QList<QByteArray> physicalLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

// One content line: "group.NAME;param;param:value".
struct Property {
    QByteArray name;  // upper case, group removed
    QList<QByteArray> params;
    QByteArray value;
};

// Index of the first `separator` at or after `from` that is not inside a
// double-quoted parameter value; -1 when there is none.
qsizetype unquotedIndexOf(const QByteArray &text, char separator, qsizetype from = 0)
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

bool parseProperty(const QByteArray &line, Property &p)
{
    const qsizetype colon = unquotedIndexOf(line, ':');
    if (colon < 0)
        return false;
    const QByteArray head = line.left(colon);
    p.value = line.mid(colon + 1);
    p.params.clear();
    qsizetype start = 0;
    for (;;) {
        const qsizetype semicolon = unquotedIndexOf(head, ';', start);
        p.params.append(head.mid(start, semicolon < 0 ? -1 : semicolon - start).trimmed());
        if (semicolon < 0)
            break;
        start = semicolon + 1;
    }
    p.name = p.params.takeFirst().toUpper();
    const qsizetype dot = p.name.lastIndexOf('.');
    if (dot >= 0)
        p.name = p.name.mid(dot + 1);
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

// Content lines: folded lines joined (a line starting with a space or tab
// continues the previous one, less that one character), and a
// quoted-printable value ending in "=" continued by the next line as it is.
// Joining happens on bytes, so a character split by a fold comes whole.
QList<QByteArray> contentLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    bool softBreak = false;
    for (const QByteArray &raw : physicalLines(bytes)) {
        if (softBreak) {
            QByteArray &value = lines.last();
            value.chop(1);
            if (raw.isEmpty()) {
                softBreak = false;
                continue;
            }
            value += raw;
            softBreak = value.endsWith('=');
            continue;
        }
        if (!lines.isEmpty() && (raw.startsWith(' ') || raw.startsWith('\t')))
            lines.last() += raw.mid(1);
        else
            lines.append(raw);
        Property p;
        softBreak = lines.last().endsWith('=') && parseProperty(lines.last(), p) && isQuotedPrintable(p.params);
    }
    return lines;
}

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
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    Property p;
    for (const QByteArray &line : contentLines(text)) {
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
