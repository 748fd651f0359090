#include "occurrence.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace skedra::calendar {

namespace {

// Weekday codes of "W1" rules, Sunday first.
const std::array<QString, 7> WeekdayCodes = {
    QStringLiteral("SU"), QStringLiteral("MO"), QStringLiteral("TU"), QStringLiteral("WE"),
    QStringLiteral("TH"), QStringLiteral("FR"), QStringLiteral("SA"),
};

// Counts above this reach past EndOfCalendar from any start.
constexpr long long CountHorizon = 1'000'000;

QString word(const QStringList &words, int index)
{
    return index < words.size() ? words[index] : QString();
}

// The leading whole number of a text, as a number reader that stops at the
// first character that is not a digit; 0 when there is none.
long long leadingNumber(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    long long n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        n = std::min(n * 10 + (c.unicode() - u'0'), CountHorizon);
    }
    return negative ? -n : n;
}

// The day of the month of an "MP1" rule as two digits; a word that is not a
// number stays as it is and so matches no day.
QString twoDigitDay(const QString &word)
{
    bool ok = false;
    const int day = word.toInt(&ok);
    return ok ? QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')) : word;
}

int weekdayOfCode(const QString &code)
{
    const auto it = std::find(WeekdayCodes.begin(), WeekdayCodes.end(), code);
    return it == WeekdayCodes.end() ? 0 : int(it - WeekdayCodes.begin()) + 1;
}

// The prefixes are tested in this order.
Repeat repeatOfRule(const QString &rule)
{
    if (rule.startsWith(u"MP1"))
        return Repeat::MonthDay;
    if (rule.startsWith(u"W1"))
        return Repeat::Weekday;
    if (rule.startsWith(u"D1"))
        return Repeat::Daily;
    return Repeat::Unknown;
}

} // namespace

QString dateText(QDate date)
{
    return date.toString(u"yyyyMMdd");
}

int weekdayNumber(QDate date)
{
    return date.dayOfWeek() % 7 + 1; // Qt counts Monday = 1 to Sunday = 7
}

long long repeatCount(const QString &rule)
{
    const QStringList words = rule.split(QLatin1Char(' '));
    const bool countIsThird = words[0] == u"W1" || words[0] == u"MP1";
    return leadingNumber(word(words, countIsThird ? 2 : 1).remove(QLatin1Char('#')));
}

QString lastDayFromCount(const QString &start, Repeat repeat, long long count)
{
    const QDate first = QDate::fromString(start, u"yyyyMMdd");
    if (!first.isValid() || count < 1)
        return QString();
    const long long steps = std::min(count, CountHorizon) - 1;
    QDate last;
    switch (repeat) {
    case Repeat::Daily: last = first.addDays(steps); break;
    case Repeat::Weekday: last = first.addDays(7 * steps); break;
    case Repeat::MonthDay: last = first.addMonths(int(steps)); break;
    default: return QString();
    }
    const QString text = dateText(last);
    return last.isValid() && text <= EndOfCalendar ? text : EndOfCalendar;
}

Recurrence recurrenceOf(const ScheduleEntry &entry)
{
    Recurrence r;
    r.start = entry[DtStartValue].left(8);
    if (!entry[YearlyValue].isEmpty()) {
        r.repeat = Repeat::Yearly;
        return r;
    }
    const QString &rule = entry[RRuleValue];
    if (rule.isEmpty()) {
        const QString &end = entry[DtEndValue];
        r.lastDay = (end.isEmpty() ? entry[DtStartValue] : end).left(8);
        // A to-do completed before the day it was due still shows on that day.
        r.lastDay = std::max(r.lastDay, r.start);
        return r;
    }
    r.repeat = repeatOfRule(rule);
    const QStringList words = rule.split(QLatin1Char(' '));
    if (r.repeat == Repeat::MonthDay)
        r.monthDay = twoDigitDay(word(words, 1));
    else if (r.repeat == Repeat::Weekday)
        r.weekday = weekdayOfCode(word(words, 1));

    const long long count = repeatCount(rule);
    if (count == 0)
        r.lastDay = EndOfCalendar;
    else if (!entry[DtEndValue].isEmpty())
        r.lastDay = entry[DtEndValue].left(8);
    else // handsets write counted repeats without an end: the count decides
        r.lastDay = lastDayFromCount(r.start, r.repeat, count);
    return r;
}

bool fallsOn(const Recurrence &r, const CalendarDay &day)
{
    switch (r.repeat) {
    case Repeat::Unknown:
        return false;
    case Repeat::Yearly:
        return day.date >= r.start && QStringView(day.date).right(4) == QStringView(r.start).right(4);
    default:
        break;
    }
    if (day.date < r.start || day.date > r.lastDay)
        return false;
    switch (r.repeat) {
    case Repeat::MonthDay: return QStringView(day.date).right(2) == r.monthDay;
    case Repeat::Weekday: return day.weekday == r.weekday;
    default: return true; // no rule, or daily
    }
}

Occurrences::Occurrences(const ScheduleList &list)
{
    const int count = list.count();
    m_entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        m_entries.push_back(recurrenceOf(list[i]));
}

std::vector<int> Occurrences::entriesOn(const CalendarDay &day) const
{
    std::vector<int> numbers;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (fallsOn(m_entries[i], day))
            numbers.push_back(int(i) + 1);
    }
    return numbers;
}

} // namespace skedra::calendar
