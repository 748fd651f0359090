#include "vcsproperties.h"

#include "hexcoding.h"
#include "schedule.h"
#include "sjis.h"

#include <QDate>
#include <QHash>
#include <QStringDecoder>

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skedra::vcs {

namespace {

constexpr std::array<PropertyRule, 29> Rules{{
    {u"DTSTART", DtStart, Rule::DateTime, 0},
    {u"DUE", DtStart, Rule::DateTime, 0},
    {u"DTEND", DtEnd, Rule::DateTimeOrEmpty, 0},
    {u"COMPLETED", DtEnd, Rule::DateTimeOrEmpty, 0},
    {u"SUMMARY", Summary, Rule::Text, SummaryBytes},
    {u"DESCRIPTION", Description, Rule::Text, DescriptionBytes},
    {u"CLASS", Class, Rule::Plain, 0},
    {u"CATEGORIES", Categories, Rule::Plain, 0},
    {u"DALARM", DAlarm, Rule::Alarm, AlarmMessageBytes},
    {u"RRULE", RRule, Rule::Plain, 0},
    {u"PRIORITY", Priority, Rule::Plain, 0},
    {u"STATUS", Status, Rule::Plain, 0},
    {u"X-JPG-FROM", JpgFrom, Rule::From, 0},
    {u"X-JPG-SERIAL", JpgSerial, Rule::Plain, 0},
    {u"X-JPGSH-TEL", Tel, Rule::Plain, 0},
    {u"X-JPGSH-SND", Snd, Rule::Sound, 0},
    {u"X-JPGSH-VOL", Vol, Rule::Plain, 0},
    {u"X-JPGSH-VIV", Viv, Rule::Plain, 0},
    {u"X-JPGSH-SEC", Sec, Rule::Plain, 0},
    {u"X-JPGSH-YEARLY", Yearly, Rule::Plain, 0},
    {u"X-JPGSH-CMBLT-NO", CmbltNo, Rule::Plain, 0},
    {u"X-JPGSH-ALARM", ShAlarm, Rule::ShAlarm, 0},
    {u"X-JPGSH-NOAUTODEL", NoAutoDel, Rule::UnlessOff, 0},
    {u"X-JPGSH-NODISPDEFWIN", NoDispDefWin, Rule::NoDispDefWin, 0},
    {u"X-JPGSH-CALCOLOR", CalColor, Rule::UnlessEmpty, 0},
    {u"X-JPGSH-PREALARM", PreAlarm, Rule::UnlessOff, 0},
    {u"X-JPGSH-SNOOZE", Snooze, Rule::Plain, 0},
    {u"X-JPGSH-ATTACH", Attach, Rule::Attach, 0},
    {u"X-JPGSH-CATEGORIES", ShCategories, Rule::Plain, 0},
}};

// The digits of a date-time with every "T" and "Z" taken out; false when
// anything else than 14 ASCII digits remains.
bool dateTimeDigits(QStringView value, char16_t (&digits)[14])
{
    int n = 0;
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u == u'T' || u == u'Z')
            continue;
        if (u < u'0' || u > u'9' || n == 14)
            return false;
        digits[n++] = u;
    }
    return n == 14;
}

// The value is all zeros once "T" and "Z" are taken out (a "not set" alarm).
bool isZeroDateTime(QStringView value)
{
    char16_t digits[14];
    if (!dateTimeDigits(value, digits))
        return false;
    for (char16_t d : digits) {
        if (d != u'0')
            return false;
    }
    return true;
}

int number(const char16_t *digits, int from, int count)
{
    int n = 0;
    for (int i = from; i < from + count; ++i)
        n = n * 10 + (digits[i] - u'0');
    return n;
}

// 14 digits of a real date and time, moved on by `hours` and written as
// year (4 digits), month, day, ["T",] hour, minute (2 each, zero-padded),
// seconds "00"[, "Z"] into `out`; the number of characters written, or 0
// when the digits are not a real date and time or the result falls outside
// the years 1-9999.
int shiftedDigits(const char16_t *digits, int hours, bool file, char16_t *out)
{
    const QDate date(number(digits, 0, 4), number(digits, 4, 2), number(digits, 6, 2));
    const int hour = number(digits, 8, 2);
    const int minute = number(digits, 10, 2);
    const int second = number(digits, 12, 2);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return 0;
    // Whole days through the Julian day number, the rest in seconds.
    qint64 day = date.toJulianDay();
    int seconds = hour * 3600 + minute * 60 + second + hours * 3600;
    while (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    while (seconds < 0) {
        seconds += 86400;
        --day;
    }
    const QDate shifted = QDate::fromJulianDay(day);
    const int year = shifted.year();
    if (!shifted.isValid() || year < 1 || year > 9999)
        return 0;
    int n = 0;
    const auto put = [&](int value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            out[n + i] = char16_t(u'0' + value % 10);
            value /= 10;
        }
        n += width;
    };
    put(year, 4);
    put(shifted.month(), 2);
    put(shifted.day(), 2);
    if (file)
        out[n++] = u'T';
    put(seconds / 3600, 2);
    put(seconds / 60 % 60, 2);
    out[n++] = u'0';
    out[n++] = u'0';
    if (file)
        out[n++] = u'Z';
    return n;
}

// A file date-time as the 14 local characters in `out`; false when it does
// not convert.
bool fileToLocalDigits(QStringView value, char16_t (&out)[16])
{
    const bool utc = value.endsWith(u'Z');
    char16_t digits[14];
    if (!dateTimeDigits(value, digits))
        return false;
    return shiftedDigits(digits, utc ? 9 : 0, false, out) != 0;
}

// Takes out every hidden ".___" ending, also one that a removal brings
// together from what was around it. ".___" cannot overlap itself, so the
// order of removals does not matter: one pass that drops the ending each
// time the kept text ends with it gives the same text as removing until
// none is left.
void removeHiddenEnding(QString &text)
{
    const auto endsHidden = [](const QChar *end) {
        return end[-4] == u'.' && end[-3] == u'_' && end[-2] == u'_' && end[-1] == u'_';
    };
    const qsizetype n = text.size();
    const QChar *in = text.constData();
    qsizetype first = 4;
    while (first <= n && !endsHidden(in + first))
        ++first;
    if (first > n)
        return;
    QChar *begin = text.data();
    QChar *w = begin + first - 4;
    for (qsizetype i = first; i < n; ++i) {
        *w++ = begin[i];
        if (w - begin >= 4 && endsHidden(w))
            w -= 4;
    }
    text.truncate(w - begin);
}

// Remembers a value kept as read.
void noteBad(ReadContext &ctx, int line)
{
    ctx.keptAsRead = true;
    if (ctx.badValues++ == 0)
        ctx.firstBadLine = line;
}

// The value with its soft line breaks joined: while it ends with "=", the
// "=" goes and the next line is appended whole. A break on the last line of
// the file just ends the value. A value without a break is the line itself;
// a joined one is made in `storage`.
QStringView joinSoftBreaks(QStringView first, LineCursor &lines, QString &storage)
{
    if (!first.endsWith(u'='))
        return first;
    storage = first.toString();
    QStringView next;
    while (storage.endsWith(u'=')) {
        storage.chop(1);
        if (!lines.next(next))
            break;
        storage += next;
    }
    return storage;
}

QString joinSoftBreaks(QStringView first, LineCursor &lines)
{
    QString storage;
    const QStringView joined = joinSoftBreaks(first, lines, storage);
    return joined.data() == storage.constData() ? storage : joined.toString();
}

// Decodes a quoted-printable text; a text that does not decode is kept as
// read and counted.
// A quoted-printable value whose bytes are UTF-8; one that is not is kept as
// read and counted.
QString decodedUtf8(const QString &coded, ReadContext &ctx, int line)
{
    const QByteArray bytes = ctx.coder.DecodeBytes(coded);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (ctx.coder.lastCallFailed() || utf8.hasError()) {
        noteBad(ctx, line);
        return coded;
    }
    return text;
}

QString decoded(const QString &coded, ReadContext &ctx, int line)
{
    if (!coded.contains(u'='))  // nothing escaped: the text is already itself
        return coded;
    if (ctx.utf8)
        return decodedUtf8(coded, ctx, line);
    QString text = ctx.coder.Decode(coded);
    if (ctx.coder.lastCallFailed()) {
        noteBad(ctx, line);
        return coded;
    }
    return text;
}

// The same for a text that may be a piece of the file being read. The coder
// is handed the piece without a copy; what comes back never refers to it.
QString decoded(QStringView coded, ReadContext &ctx, int line)
{
    if (!coded.contains(u'='))
        return coded.toString();
    if (ctx.utf8)
        return decodedUtf8(coded.toString(), ctx, line);
    const QString piece = QString::fromRawData(reinterpret_cast<const QChar *>(coded.utf16()), coded.size());
    QString text = ctx.coder.Decode(piece);
    if (ctx.coder.lastCallFailed()) {
        noteBad(ctx, line);
        return coded.toString();
    }
    const QChar *d = text.constData();
    if (d >= piece.constData() && d < piece.constData() + piece.size())
        return QString(d, text.size());  // handed back unchanged: make it our own
    return text;
}

QString dateTimeOrRaw(QStringView value, ReadContext &ctx, int line)
{
    char16_t local[16];
    if (fileToLocalDigits(value, local))
        return QString(reinterpret_cast<const QChar *>(local), 14);
    noteBad(ctx, line);
    return value.toString();
}

// A text the entry holds for `value` at `position`: the one read last there
// when it is the same, so that equal values share one copy.
QString shared(QStringView value, QString &last)
{
    if (value.isEmpty())
        return value.toString();
    if (last != value)
        last = value.toString();
    return last;
}

// Whether the text holds "00000000T000000Z;" anywhere: every ";" is tried
// as the end of it.
bool containsZeroAlarm(QStringView text)
{
    constexpr QStringView zero = u"00000000T000000Z;"_sv;
    for (qsizetype semi = text.indexOf(u';'); semi >= 0; semi = text.indexOf(u';', semi + 1)) {
        if (semi + 1 >= zero.size() && text.mid(semi + 1 - zero.size(), zero.size()) == zero)
            return true;
    }
    return false;
}

QString readAlarm(QStringView value, ReadContext &ctx, int line)
{
    QString storage;
    const QStringView joined = joinSoftBreaks(value, ctx.lines, storage);
    if (containsZeroAlarm(joined))
        return QStringLiteral("00000000000000;");
    const qsizetype semi = joined.indexOf(u';');
    const QStringView date = semi < 0 ? joined : joined.left(semi);
    if (isZeroDateTime(date))
        return QStringLiteral("00000000000000;");
    char16_t local[16];
    if (!fileToLocalDigits(date, local)) {
        // Kept whole, so that writing it back gives the same line.
        noteBad(ctx, line);
        return joined.toString();
    }
    QStringView message;
    if (semi >= 0) {
        const qsizetype second = joined.indexOf(u';', semi + 1);
        message = joined.mid(semi + 1, second < 0 ? joined.size() - semi - 1 : second - semi - 1);
    }
    const QString text = decoded(message, ctx, line);
    QString result;
    result.reserve(15 + text.size());
    result.append(reinterpret_cast<const QChar *>(local), 14);
    result += u';';
    result += text;
    return result;
}

QString readAttach(QStringView value, ReadContext &ctx, int line)
{
    QString name;
    if (value.endsWith(u'=')) {
        // The handset's form: "...:VALUE=URL:file=" then "://" + the name.
        QStringView next;
        if (ctx.lines.next(next))
            name = joinSoftBreaks(next, ctx.lines);
    } else {
        // A one-line attachment ("...:VALUE=URL:file://name"): the name is
        // on this line, and the line after it is a property of its own.
        QStringView rest = value;
        if (rest.startsWith(u"VALUE=URL:"_sv))
            rest = rest.mid(10);
        if (rest.startsWith(u"file"_sv))
            rest = rest.mid(4);
        name = joinSoftBreaks(rest, ctx.lines);
    }
    const QString asRead = name;
    name.remove(QStringLiteral("://"));
    name = decoded(name, ctx, line);
    if (ctx.keptAsRead)
        return asRead;  // written back as the line after the first
    removeHiddenEnding(name);
    return name;
}

void beginLine(TextOut &out, const QString &name, const QString &params)
{
    out += name;
    if (!params.isEmpty()) {
        out += u';';
        out += params;
    }
    out += u':';
}

void appendLine(TextOut &out, const QString &name, const QString &params, const QString &value)
{
    beginLine(out, name, params);
    out += value;
    out += u"\r\n"_sv;
}

// A held date-time in the file's form; a value that is not one (empty, or
// kept as read) is written as held.
void appendDateTimeOut(const QString &value, TextOut &out)
{
    if (!appendLocalToFile(value, out))
        out += value;
}

void appendAlarmOut(const QString &value, WriteContext &ctx, TextOut &out, bool keptAsRead)
{
    const qsizetype semi = value.indexOf(u';');
    const QStringView date = semi < 0 ? QStringView(value) : QStringView(value).left(semi);
    if (date == ZeroDateTime14) {
        out += ZeroFileDateTime;
    } else if (!appendLocalToFile(date, out)) {
        // Kept as read from a file: written as it came (see writeProperty).
        if (value.endsWith(u'='))
            appendCodedText(value, ctx, out);
        else
            out += value;
        return;
    }
    out += u';';
    const QString message = semi < 0 ? QString() : value.mid(semi + 1);
    if (keptAsRead)
        out += message;
    else
        appendCodedText(TruncateBytes(message, AlarmMessageBytes), ctx, out);
}

} // namespace

namespace {

// The rules by a hash of their name's length and a few of its characters,
// with linear probing; a name is confirmed by comparing it whole.
class RuleIndex {
public:
    RuleIndex()
    {
        m_slots.fill(-1);
        for (size_t r = 0; r < Rules.size(); ++r) {
            size_t i = hash(Rules[r].name);
            while (m_slots[i] >= 0)
                i = (i + 1) % m_slots.size();
            m_slots[i] = int(r);
        }
    }

    const PropertyRule *find(QStringView name) const
    {
        if (name.isEmpty())
            return nullptr;
        for (size_t i = hash(name);; i = (i + 1) % m_slots.size()) {
            const int r = m_slots[i];
            if (r < 0)
                return nullptr;
            if (Rules[size_t(r)].name == name)
                return &Rules[size_t(r)];
        }
    }

private:
    static size_t hash(QStringView name)
    {
        const size_t n = size_t(name.size());
        size_t h = n;
        h = h * 31 + name[n - 1].unicode();
        h = h * 31 + name[n / 2].unicode();
        h = h * 31 + name[n - n / 3 - 1].unicode();
        return h % 64;
    }

    std::array<int, 64> m_slots;
};

} // namespace

qsizetype indexOfUnit(QStringView text, char16_t c)
{
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    // Sixteen units a step while they last, then eight.
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)), wanted);
        const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 8)), wanted);
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
        if (mask)
            return i + __builtin_ctz(mask);
    }
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(v, wanted));
        if (mask)
            return i + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == c)
            return i;
    }
    return -1;
}

const PropertyRule *findRule(QStringView name)
{
    static const RuleIndex index;
    return index.find(name);
}

const QString &ruleName(const PropertyRule &rule)
{
    static const std::array<QString, Rules.size()> names = [] {
        std::array<QString, Rules.size()> n;
        for (size_t i = 0; i < Rules.size(); ++i)
            n[i] = Rules[i].name.toString();
        return n;
    }();
    return names[size_t(&rule - Rules.data())];
}

std::optional<QString> fileToLocal(QStringView value)
{
    char16_t local[16];
    if (!fileToLocalDigits(value, local))
        return std::nullopt;
    return QString(reinterpret_cast<const QChar *>(local), 14);
}

namespace {

// localToFile into `utc`; the number of characters, 0 when it does not
// convert.
int localToFileDigits(QStringView value, char16_t (&utc)[16])
{
    if (value.size() != 14)
        return 0;
    char16_t digits[14];
    for (int i = 0; i < 14; ++i) {
        const char16_t c = value[i].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        digits[i] = c;
    }
    return shiftedDigits(digits, -9, true, utc);
}

} // namespace

bool appendLocalToFile(QStringView value, TextOut &out)
{
    char16_t utc[16];
    const int n = localToFileDigits(value, utc);
    if (n == 0)
        return false;
    out += QStringView(utc, n);
    return true;
}

std::optional<QString> localToFile(QStringView value)
{
    char16_t utc[16];
    const int n = localToFileDigits(value, utc);
    if (n == 0)
        return std::nullopt;
    return QString(reinterpret_cast<const QChar *>(utc), n);
}

namespace {

// One mark per position: 'a' + position, then the value's hash as eight hex
// digits, so a value the user has changed since is no longer "as read".
constexpr qsizetype KeptMarkSize = 9;

QString keptMark(const ScheduleEntry &entry, int position)
{
    const size_t hash = qHash(entry[valueSlot(position)], size_t(0)) & 0xffffffffu;
    return QChar(u'a' + position) + QStringLiteral("%1").arg(qulonglong(hash), 8, 16, QLatin1Char('0'));
}

qsizetype keptMarkAt(const QString &marks, int position)
{
    for (qsizetype i = 0; i + KeptMarkSize <= marks.size(); i += KeptMarkSize) {
        if (marks[i] == QChar(u'a' + position))
            return i;
    }
    return -1;
}

} // namespace

bool isKeptAsRead(const ScheduleEntry &entry, int position)
{
    const QString &marks = entry[KeptAsRead];
    const qsizetype at = keptMarkAt(marks, position);
    return at >= 0 && QStringView(marks).mid(at, KeptMarkSize) == keptMark(entry, position);
}

void setKeptAsRead(ScheduleEntry &entry, int position, bool kept)
{
    QString &marks = entry[KeptAsRead];
    const qsizetype at = keptMarkAt(marks, position);
    if (at >= 0)
        marks.remove(at, KeptMarkSize);
    if (kept)
        marks += keptMark(entry, position);
}

bool declaresUtf8(QStringView params)
{
    // Only a parameter that ends in "-8" is compared whole: nearly every
    // property of a handset file has parameters, and none of them that.
    constexpr QStringView utf8 = u"CHARSET=UTF-8"_sv;
    qsizetype from = 0;
    for (qsizetype dash; (dash = indexOfUnit(params.mid(from), u'-')) >= 0; from += dash + 1) {
        const qsizetype end = from + dash + 2;  // just after "-8"
        const qsizetype start = end - utf8.size();
        if (end <= params.size() && params[end - 1] == u'8' && start >= 0 && (start == 0 || params[start - 1] == u';')
            && (end == params.size() || params[end] == u';')
            && params.mid(start, utf8.size()).compare(utf8, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void readProperty(const PropertyRule &rule, QStringView params, QStringView value, ReadContext &ctx,
                  QString &paramsOut, QString &valueOut)
{
    ctx.keptAsRead = false;
    const int line = ctx.lines.lineNumber();
    const size_t position = size_t(rule.position);
    // Files repeat a property's parameters from entry to entry: what they
    // declare is looked at when they change. An attachment's parameters are
    // always the handset's own (Shift_JIS), whatever the file said: its name
    // is read as the handset writes it.
    ctx.utf8 = false;
    if (params.isEmpty()) {
        paramsOut = QString();
    } else {
        if (params != ctx.lastParams[position]) {
            ctx.lastParams[position] = params.toString();
            ctx.lastUtf8[position] = declaresUtf8(params);
        }
        ctx.utf8 = ctx.lastUtf8[position] && rule.rule != Rule::Attach;
        if (ctx.utf8)
            paramsOut = params.toString().replace(QStringLiteral("CHARSET=UTF-8"), QStringLiteral("CHARSET=SHIFT_JIS"),
                                                  Qt::CaseInsensitive);
        else
            paramsOut = ctx.lastParams[position];
    }
    switch (rule.rule) {
    case Rule::DateTime:
        valueOut = dateTimeOrRaw(value, ctx, line);
        break;
    case Rule::DateTimeOrEmpty:
        valueOut = value.isEmpty() ? QString() : dateTimeOrRaw(value, ctx, line);
        break;
    case Rule::Text: {
        QString storage;
        valueOut = decoded(joinSoftBreaks(value, ctx.lines, storage), ctx, line);
        break;
    }
    case Rule::From: {
        // At most one more line, without the first space in it.
        if (!value.endsWith(u'=')) {
            valueOut = decoded(value, ctx, line);
            break;
        }
        QString joined = value.chopped(1).toString();
        QStringView next;
        if (ctx.lines.next(next)) {
            const qsizetype space = next.indexOf(u' ');
            if (space >= 0) {
                joined += next.left(space);
                joined += next.mid(space + 1);
            } else {
                joined += next;
            }
        }
        valueOut = decoded(joined, ctx, line);
        break;
    }
    case Rule::Sound: {
        QString storage;
        valueOut = decoded(joinSoftBreaks(value, ctx.lines, storage), ctx, line);
        if (!ctx.keptAsRead)
            removeHiddenEnding(valueOut);
        break;
    }
    case Rule::Alarm:
        valueOut = readAlarm(value, ctx, line);
        break;
    case Rule::ShAlarm:
        valueOut = isZeroDateTime(value) ? ZeroDateTime14.toString() : dateTimeOrRaw(value, ctx, line);
        break;
    case Rule::NoDispDefWin:
        // The file says "do not show"; in memory "OFF" means not shown.
        valueOut = QStringLiteral("OFF");
        break;
    case Rule::Attach:
        paramsOut = AttachParams.toString();
        valueOut = readAttach(value, ctx, line);
        break;
    case Rule::UnlessOff:
    case Rule::UnlessEmpty:
    case Rule::Plain:
        valueOut = shared(value, ctx.lastValue[position]);
        break;
    }
    // A value kept as read goes back with the character set it came in.
    if (ctx.utf8 && ctx.keptAsRead)
        paramsOut = params.toString();
}

void appendCodedText(const QString &text, WriteContext &ctx, TextOut &out)
{
    ctx.coded.resize(0);  // keeps its room for the next value
    ctx.coder.EncodeForFile(text, ctx.coded);
    out += ctx.coded;
    // Only characters that really became "?" are counted: a look-alike
    // written as its CP932 twin (U+301C as U+FF5E) is not one of them,
    // the same as in plain values.
    if (ctx.coder.lastCallFailed()) {
        int replaced = 0;
        Sjis::encode(text, &replaced);
        ctx.unencodable += replaced;
    }
}

void writeProperty(const PropertyRule *rule, const QString &name, const QString &params, const QString &value,
                   WriteContext &ctx, TextOut &out, bool keptAsRead)
{
    if (!rule) {
        appendLine(out, name, params, value);
        return;
    }
    // A value that did not decode when read goes back as it came, unless it
    // ends with "=": at the end of a line that "=" would join the next line
    // to it (such a value comes from the last line of a file, or from an
    // alarm message cut at ";"). That one is coded like any other.
    if (keptAsRead && value.endsWith(u'='))
        keptAsRead = false;
    const auto appendCoded = [&](const QString &text, const QString &held) {
        if (keptAsRead)
            out += held;
        else
            appendCodedText(text, ctx, out);
    };
    switch (rule->rule) {
    case Rule::DateTime:
    case Rule::DateTimeOrEmpty:
        beginLine(out, name, params);
        appendDateTimeOut(value, out);
        break;
    case Rule::Text:
        beginLine(out, name, params);
        appendCoded(TruncateBytes(value, rule->byteLimit), value);
        break;
    case Rule::From:
        beginLine(out, name, params);
        appendCoded(value, value);
        break;
    case Rule::Sound:
        beginLine(out, name, params);
        if (value.startsWith(u'1')) {
            const bool keepName = value.contains(u".mmf.HUF"_sv);
            appendCoded(keepName ? value : value + QLatin1StringView(".___"), value);
        } else if (keptAsRead || !(value.contains(u'=') || value.contains(u'\r') || value.contains(u'\n'))) {
            out += value;  // a melody number or folder entry, as the handset writes it
        } else {
            // The reader decodes every sound value: one it could not read
            // back as written, or whose line break would end the line, is
            // coded.
            appendCodedText(value, ctx, out);
        }
        break;
    case Rule::Alarm:
        beginLine(out, name, params);
        appendAlarmOut(value, ctx, out, keptAsRead);
        break;
    case Rule::ShAlarm:
        beginLine(out, name, params);
        if (value == ZeroDateTime14)
            out += ZeroFileDateTime;
        else
            appendDateTimeOut(value, out);
        break;
    case Rule::NoDispDefWin:
        if (value != u"OFF"_sv)
            return;
        beginLine(out, name, params);
        out += u"ON"_sv;
        break;
    case Rule::Attach:
        if (value.isEmpty())
            return;
        // Whatever name and parameters are held; the "=" ending the first
        // line is a soft line break.
        out += u"X-JPGSH-ATTACH;"_sv;
        out += AttachParams;
        out += u"\r\n"_sv;
        if (keptAsRead) {
            out += value;  // the second line as it was read, "://" included
        } else {
            out += u"://"_sv;
            // A value kept as read that is coded after all holds its "://".
            const QString held = value.startsWith(u"://"_sv) ? value.mid(3) : value;
            appendCodedText(held + QLatin1StringView(".___"), ctx, out);
        }
        break;
    case Rule::UnlessOff:
        if (value == u"OFF"_sv)
            return;
        beginLine(out, name, params);
        out += value;
        break;
    case Rule::UnlessEmpty:
        if (value.isEmpty())
            return;
        beginLine(out, name, params);
        out += value;
        break;
    case Rule::Plain:
        beginLine(out, name, params);
        out += value;
        break;
    }
    out += u"\r\n"_sv;
}

} // namespace skedra::vcs
