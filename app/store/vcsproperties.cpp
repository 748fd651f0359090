#include "vcsproperties.h"

#include "hexcoding.h"
#include "schedule.h"
#include "sjis.h"

#include <QDateTime>

#include <array>

namespace skedra::vcs {

namespace {

constexpr std::array<PropertyRule, 29> Rules{{
    {u"DTSTART", DtStart, Rule::DateTime, 0},
    {u"DUE", DtStart, Rule::DateTime, 0},
    {u"DTEND", DtEnd, Rule::DateTimeOrEmpty, 0},
    {u"COMPLETED", DtEnd, Rule::DateTimeOrEmpty, 0},
    {u"SUMMARY", Summary, Rule::Text, 16},
    {u"DESCRIPTION", Description, Rule::Text, 128},
    {u"CLASS", Class, Rule::Plain, 0},
    {u"CATEGORIES", Categories, Rule::Plain, 0},
    {u"DALARM", DAlarm, Rule::Alarm, 120},
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

// The digits of a date-time with every "T" and "Z" taken out; empty when
// anything else than 14 ASCII digits remains.
QString dateTimeDigits(QStringView value)
{
    QString digits;
    digits.reserve(14);
    for (QChar c : value) {
        if (c == u'T' || c == u'Z')
            continue;
        if (c < u'0' || c > u'9' || digits.size() == 14)
            return QString();
        digits += c;
    }
    return digits.size() == 14 ? digits : QString();
}

int number(QStringView digits, qsizetype from, qsizetype count)
{
    int n = 0;
    for (qsizetype i = from; i < from + count; ++i)
        n = n * 10 + (digits[i].unicode() - u'0');
    return n;
}

std::optional<QDateTime> parseDigits(QStringView digits)
{
    const QDate date(number(digits, 0, 4), number(digits, 4, 2), number(digits, 6, 2));
    const QTime time(number(digits, 8, 2), number(digits, 10, 2), number(digits, 12, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

bool inWrittenYears(const QDateTime &dt)
{
    const int year = dt.date().year();
    return year >= 1 && year <= 9999;
}

// Takes out every hidden ".___" ending, also one that a removal brings
// together from what was around it.
void removeHiddenEnding(QString &text)
{
    const QString ending = QStringLiteral(".___");
    while (text.contains(ending))
        text.remove(ending);
}

// Year (4 digits), month, day, hour, minute (2 each, zero-padded) and
// seconds "00": the local DateTime14, or with `file` the UTC form with "T"
// and "Z". The same digits ZeroPad gives, made without a string per field.
QString digitsOf(const QDateTime &dt, bool file)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    char16_t buf[16];
    int n = 0;
    const auto put = [&](int value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            buf[n + i] = char16_t(u'0' + value % 10);
            value /= 10;
        }
        n += width;
    };
    put(d.year(), 4);
    put(d.month(), 2);
    put(d.day(), 2);
    if (file)
        buf[n++] = u'T';
    put(t.hour(), 2);
    put(t.minute(), 2);
    buf[n++] = u'0';
    buf[n++] = u'0';
    if (file)
        buf[n++] = u'Z';
    return QString(reinterpret_cast<const QChar *>(buf), n);
}

// Remembers a value kept as read.
void noteBad(ReadContext &ctx, int line)
{
    if (ctx.badValues++ == 0)
        ctx.firstBadLine = line;
}

// The value with its soft line breaks joined: while it ends with "=", the
// "=" goes and the next line is appended whole. A break on the last line of
// the file just ends the value.
QString joinSoftBreaks(QStringView first, LineCursor &lines)
{
    QString value = first.toString();
    QStringView next;
    while (value.endsWith(u'=')) {
        value.chop(1);
        if (!lines.next(next))
            break;
        value += next;
    }
    return value;
}

// Decodes a quoted-printable text; a text that does not decode is kept as
// read and counted.
QString decoded(const QString &coded, ReadContext &ctx, int line)
{
    if (!coded.contains(u'='))  // nothing escaped: the text is already itself
        return coded;
    QString text = ctx.coder.Decode(coded);
    if (ctx.coder.lastCallFailed()) {
        noteBad(ctx, line);
        return coded;
    }
    return text;
}

QString dateTimeOrRaw(QStringView value, ReadContext &ctx, int line)
{
    if (std::optional<QString> local = fileToLocal(value))
        return *local;
    noteBad(ctx, line);
    return value.toString();
}

QString readAlarm(QStringView value, ReadContext &ctx, int line)
{
    const QString joined = joinSoftBreaks(value, ctx.lines);
    const QString off = ZeroDateTime14.toString() + u';';
    if (joined.contains(ZeroFileDateTime.toString() + u';'))
        return off;
    const qsizetype semi = joined.indexOf(u';');
    const QStringView date = semi < 0 ? QStringView(joined) : QStringView(joined).left(semi);
    if (dateTimeDigits(date) == ZeroDateTime14)
        return off;
    const std::optional<QString> local = fileToLocal(date);
    if (!local) {
        // Kept whole, so that writing it back gives the same line.
        noteBad(ctx, line);
        return joined;
    }
    QString message;
    if (semi >= 0) {
        const qsizetype second = joined.indexOf(u';', semi + 1);
        message = joined.mid(semi + 1, second < 0 ? -1 : second - semi - 1);
    }
    return *local + u';' + decoded(message, ctx, line);
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
        if (rest.startsWith(u"VALUE=URL:"))
            rest = rest.mid(10);
        if (rest.startsWith(u"file"))
            rest = rest.mid(4);
        name = joinSoftBreaks(rest, ctx.lines);
    }
    name.remove(QStringLiteral("://"));
    name = decoded(name, ctx, line);
    removeHiddenEnding(name);
    return name;
}

QString dateTimeOut(const QString &value)
{
    if (std::optional<QString> utc = localToFile(value))
        return *utc;
    return value;  // empty, or a value kept as read: written as held
}

QString alarmOut(const QString &value, WriteContext &ctx)
{
    const qsizetype semi = value.indexOf(u';');
    const QString date = semi < 0 ? value : value.left(semi);
    const QString message = semi < 0 ? QString() : value.mid(semi + 1);
    QString dateOut;
    if (date == ZeroDateTime14) {
        dateOut = ZeroFileDateTime.toString();
    } else if (std::optional<QString> utc = localToFile(date)) {
        dateOut = *utc;
    } else {
        return value;  // kept as read from a file: written as it came
    }
    return dateOut + u';' + codedText(TruncateBytes(message, 120), ctx);
}

void appendLine(QString &out, const QString &name, const QString &params, const QString &value)
{
    out += name;
    if (!params.isEmpty()) {
        out += u';';
        out += params;
    }
    out += u':';
    out += value;
    out += u"\r\n";
}

} // namespace

const PropertyRule *findRule(QStringView name)
{
    for (const PropertyRule &rule : Rules) {
        if (rule.name == name)
            return &rule;
    }
    return nullptr;
}

std::optional<QString> fileToLocal(QStringView value)
{
    const bool utc = value.endsWith(u'Z');
    const QString digits = dateTimeDigits(value);
    if (digits.isEmpty())
        return std::nullopt;
    std::optional<QDateTime> dt = parseDigits(digits);
    if (!dt)
        return std::nullopt;
    if (utc)
        *dt = dt->addSecs(9 * 3600);
    if (!inWrittenYears(*dt))
        return std::nullopt;
    return digitsOf(*dt, false);
}

std::optional<QString> localToFile(QStringView value)
{
    if (value.size() != 14)
        return std::nullopt;
    for (QChar c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    std::optional<QDateTime> dt = parseDigits(value);
    if (!dt)
        return std::nullopt;
    *dt = dt->addSecs(-9 * 3600);
    if (!inWrittenYears(*dt))
        return std::nullopt;
    return digitsOf(*dt, true);
}

void readProperty(const PropertyRule &rule, QStringView params, QStringView value, ReadContext &ctx,
                  QString &paramsOut, QString &valueOut)
{
    const int line = ctx.lines.lineNumber();
    paramsOut = params.toString();
    switch (rule.rule) {
    case Rule::DateTime:
        valueOut = dateTimeOrRaw(value, ctx, line);
        break;
    case Rule::DateTimeOrEmpty:
        valueOut = value.isEmpty() ? QString() : dateTimeOrRaw(value, ctx, line);
        break;
    case Rule::Text:
        valueOut = decoded(joinSoftBreaks(value, ctx.lines), ctx, line);
        break;
    case Rule::From: {
        // At most one more line, without the first space in it.
        QString joined = value.toString();
        QStringView next;
        if (joined.endsWith(u'=')) {
            joined.chop(1);
            if (ctx.lines.next(next)) {
                QString more = next.toString();
                const qsizetype space = more.indexOf(u' ');
                if (space >= 0)
                    more.remove(space, 1);
                joined += more;
            }
        }
        valueOut = decoded(joined, ctx, line);
        break;
    }
    case Rule::Sound:
        valueOut = decoded(joinSoftBreaks(value, ctx.lines), ctx, line);
        removeHiddenEnding(valueOut);
        break;
    case Rule::Alarm:
        valueOut = readAlarm(value, ctx, line);
        break;
    case Rule::ShAlarm:
        valueOut = dateTimeDigits(value) == ZeroDateTime14 ? ZeroDateTime14.toString()
                                                           : dateTimeOrRaw(value, ctx, line);
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
        valueOut = value.toString();
        break;
    }
}

QString codedText(const QString &text, WriteContext &ctx)
{
    QString coded = ctx.coder.Encode(text);
    if (ctx.coder.lastCallFailed()) {
        int replaced = 0;
        Sjis::encode(text, &replaced);
        ctx.unencodable += replaced > 0 ? replaced : 1;
    }
    // The coder already writes capitals; only a text with small letters is
    // copied to be raised.
    for (QChar c : std::as_const(coded)) {
        if (c.isLower()) {
            coded = coded.toUpper();
            break;
        }
    }
    coded.replace(u'+', u' ');
    return coded;
}

void writeProperty(const PropertyRule *rule, const QString &name, const QString &params, const QString &value,
                   WriteContext &ctx, QString &out)
{
    if (!rule) {
        appendLine(out, name, params, value);
        return;
    }
    switch (rule->rule) {
    case Rule::DateTime:
    case Rule::DateTimeOrEmpty:
        appendLine(out, name, params, dateTimeOut(value));
        break;
    case Rule::Text:
        appendLine(out, name, params, codedText(TruncateBytes(value, rule->byteLimit), ctx));
        break;
    case Rule::From:
        appendLine(out, name, params, codedText(value, ctx));
        break;
    case Rule::Sound:
        if (value.startsWith(u'1')) {
            const bool keepName = value.contains(QStringLiteral(".mmf.HUF"));
            appendLine(out, name, params, codedText(keepName ? value : value + QStringLiteral(".___"), ctx));
        } else {
            appendLine(out, name, params, value);
        }
        break;
    case Rule::Alarm:
        appendLine(out, name, params, alarmOut(value, ctx));
        break;
    case Rule::ShAlarm:
        appendLine(out, name, params, value == ZeroDateTime14 ? ZeroFileDateTime.toString() : dateTimeOut(value));
        break;
    case Rule::NoDispDefWin:
        if (value == u"OFF")
            appendLine(out, name, params, QStringLiteral("ON"));
        break;
    case Rule::Attach:
        if (!value.isEmpty()) {
            // Whatever name and parameters are held; the "=" ending the
            // first line is a soft line break.
            out += u"X-JPGSH-ATTACH;";
            out += AttachParams;
            out += u"\r\n://";
            out += codedText(value + QStringLiteral(".___"), ctx);
            out += u"\r\n";
        }
        break;
    case Rule::UnlessOff:
        if (value != u"OFF")
            appendLine(out, name, params, value);
        break;
    case Rule::UnlessEmpty:
        if (!value.isEmpty())
            appendLine(out, name, params, value);
        break;
    case Rule::Plain:
        appendLine(out, name, params, value);
        break;
    }
}

} // namespace skedra::vcs
