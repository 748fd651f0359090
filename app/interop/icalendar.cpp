// The iCalendar bridge, through libical.
//
// How an event carries what the standard words cannot:
//
// The standard properties are made from the entry first; reading them back
// as an import would gives a "standard reading" of the entry. Every position
// where that reading differs from the entry (name, parameters or value), and
// every position whose value is held as read from a .vcs file, is written as
//     X-SKEDRA-<handset property name>[;X-SKEDRA-PARAMS=<parameters>]
//         [;X-SKEDRA-KEPT=TRUE][;X-SKEDRA-EMPTY=TRUE]:<the exact handset value>
// (EMPTY marks an empty value; the value is then "-", since iCalendar
// drops properties without a value; see escapeCarried for the few
// characters written as "%" and two hex digits). A position the entry lacks but the
// reading would have is named in X-SKEDRA-ABSENT:<handset property name>,
// and the component name (which marks the component as Skedra's) in
// X-SKEDRA-COMPONENT; X-SKEDRA-STANDARD holds a fingerprint of the standard
// reading, which spares the check below for components nobody changed.
//
// Import of a component that has X-SKEDRA properties (Skedra wrote it):
// the record is rebuilt from them over the component's standard reading.
// A carried position wins only while the standard properties still say what
// they said when Skedra wrote them: the rebuilt record is exported again in
// memory and read back; where that reading and the file's own reading give
// different values for a carried position, a calendar program changed the
// standard property, and the file's value is taken (with the carried name
// and parameters). So a summary or start edited elsewhere comes back as
// edited, and an untouched event comes back byte for byte.
#include "icalendar.h"

#include "categories.h"
#include "occurrence.h"
#include "schedule.h"
#include "sjis.h"
#include "vcsproperties.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTime>
#include <QUtf8StringView>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <vector>

extern "C" {
#include <libical/ical.h>
}

#include <unistd.h>

namespace skedra::ics {

namespace {

constexpr int HandsetOffsetSeconds = 9 * 3600;
constexpr int MaxHandsetCount = 99;

const char *const CarriedPrefix = "X-SKEDRA-";
const char *const ParamsParam = "X-SKEDRA-PARAMS";
const char *const KeptParam = "X-SKEDRA-KEPT";
const char *const EmptyParam = "X-SKEDRA-EMPTY";
const char *const AbsentName = "X-SKEDRA-ABSENT";
const char *const ComponentCarried = "X-SKEDRA-COMPONENT";
const char *const StandardCarried = "X-SKEDRA-STANDARD";
const QString QpParams = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");

// The VTIMEZONE of handset time: +09:00 all year.
const char *const HandsetZoneText =
    "BEGIN:VTIMEZONE\r\n"
    "TZID:Asia/Tokyo\r\n"
    "BEGIN:STANDARD\r\n"
    "DTSTART:19700101T000000\r\n"
    "TZOFFSETFROM:+0900\r\n"
    "TZOFFSETTO:+0900\r\n"
    "TZNAME:JST\r\n"
    "END:STANDARD\r\n"
    "END:VTIMEZONE\r\n";

struct ComponentDeleter {
    void operator()(icalcomponent *c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

QByteArray utf8(const QString &text) { return text.toUtf8(); }
QString fromUtf8(const char *text) { return text ? QString::fromUtf8(text) : QString(); }

// ---- text that is not UTF-8 ---------------------------------------------

// What the texts of a file that are not UTF-8 are read as, when their
// property names no character set of its own.
enum class Fallback { Cp932, Latin1 };

// `bytes` as UTF-8; nothing when they are not UTF-8.
std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// `bytes` as CP932; nothing when a byte is not CP932.
std::optional<QString> strictCp932(QByteArrayView bytes)
{
    int invalid = 0;
    QString text = Sjis::decode(bytes.toByteArray(), &invalid);
    if (invalid > 0)
        return std::nullopt;
    return text;
}

// UTF-8 with a few characters broken (bytes lost in transit): read as UTF-8,
// the broken ones as U+FFFD, when whole characters beyond ASCII outnumber
// them. Text in a one-byte character set is never that.
std::optional<QString> damagedUtf8(QByteArrayView bytes)
{
    const QString text = QString::fromUtf8(bytes);
    int broken = 0, whole = 0;
    for (QChar c : text) {
        if (c == QChar::ReplacementCharacter)
            ++broken;
        else if (c.unicode() >= 0x80)
            ++whole;
    }
    if (whole <= broken)
        return std::nullopt;
    return text;
}

// How a file's texts that are not UTF-8 are read: CP932 when every line
// that is not UTF-8 (folded lines joined first: a fold may split a
// character) is CP932, else Latin-1.
Fallback fallbackOf(const QByteArray &bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return Fallback::Latin1;  // never needed
    QByteArray unfolded = bytes;
    unfolded.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "").replace("\n\t", "");
    for (const QByteArray &line : unfolded.split('\n')) {
        if (!strictUtf8(line) && !damagedUtf8(line) && !strictCp932(line))
            return Fallback::Latin1;
    }
    return Fallback::Cp932;
}

// A text value of property `p`. iCalendar text is UTF-8; text that is not is
// read in the CHARSET the property names, else as the file's other texts
// that are not UTF-8 (`fallback`), so that no character of it becomes
// U+FFFD.
QString textOf(const char *bytes, icalproperty *p, Fallback fallback)
{
    if (!bytes)
        return QString();
    const QByteArrayView raw(bytes);
    if (auto text = strictUtf8(raw))
        return *text;
    if (icalparameter *cs = icalproperty_get_first_parameter(p, ICAL_CHARSET_PARAMETER)) {
        const QByteArray name = QByteArray(icalparameter_get_charset(cs)).toUpper();
        if (Sjis::isShiftJisName(name)) {
            if (auto text = strictCp932(raw))
                return *text;
        } else if (!name.isEmpty()) {
            QStringDecoder decoder(name.constData());
            if (decoder.isValid()) {
                QString text = decoder.decode(raw);
                if (!decoder.hasError())
                    return text;
            }
        }
    }
    if (auto text = damagedUtf8(raw))
        return *text;
    if (fallback == Fallback::Cp932) {
        if (auto text = strictCp932(raw))
            return *text;
    }
    return QString::fromLatin1(raw);
}

// ---- times -------------------------------------------------------------

// A DateTime14 as a plain date and time (no zone); nothing when it is not
// 14 digits of a real date and time.
std::optional<QDateTime> parseLocal(const QString &value)
{
    if (value.size() != 14)
        return std::nullopt;
    for (QChar c : value) {
        if (!c.isDigit() || c.unicode() > u'9')
            return std::nullopt;
    }
    const QDate date(value.left(4).toInt(), value.mid(4, 2).toInt(), value.mid(6, 2).toInt());
    const QTime time(value.mid(8, 2).toInt(), value.mid(10, 2).toInt(), value.mid(12, 2).toInt());
    if (date.year() < 1 || !date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

QString local14(const QDateTime &t)
{
    return ZeroPad(t.date().year(), 4) + ZeroPad(t.date().month(), 2) + ZeroPad(t.date().day(), 2)
        + ZeroPad(t.time().hour(), 2) + ZeroPad(t.time().minute(), 2) + ZeroPad(t.time().second(), 2);
}

bool inRange(const QDateTime &t) { return t.date().year() >= 1 && t.date().year() <= 9999; }

icaltimetype icalTime(const QDateTime &t, bool utc)
{
    icaltimetype r = icaltime_null_time();
    r.year = t.date().year();
    r.month = t.date().month();
    r.day = t.date().day();
    r.hour = t.time().hour();
    r.minute = t.time().minute();
    r.second = t.time().second();
    r.is_date = 0;
    r.zone = utc ? icaltimezone_get_utc_timezone() : nullptr;
    return r;
}

// A handset local time as UTC; nothing outside the years 1-9999.
std::optional<icaltimetype> utcOf(const QDateTime &local)
{
    const QDateTime utc = local.addSecs(-HandsetOffsetSeconds);
    if (!inRange(utc))
        return std::nullopt;
    return icalTime(utc, true);
}

QDateTime plainOf(const icaltimetype &t)
{
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), Qt::UTC);
}

bool isHandsetZone(const char *tzid) { return tzid && qstrcmp(tzid, HandsetZone) == 0; }

// A time of a property as handset local time: UTC plus 9 hours, zone times
// through their zone, floating times as they are, dates at 00:00.
std::optional<QDateTime> localOf(icaltimetype t, bool handsetZone)
{
    if (icaltime_is_null_time(t) || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31)
        return std::nullopt;
    if (t.is_date) {
        const QDate d(t.year, t.month, t.day);
        if (!d.isValid())
            return std::nullopt;
        return QDateTime(d, QTime(0, 0), Qt::UTC);
    }
    if (!handsetZone && t.zone && !icaltime_is_utc(t))
        t = icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
    QDateTime plain = plainOf(t);
    if (!plain.isValid())
        return std::nullopt;
    if (!handsetZone && icaltime_is_utc(t))
        plain = plain.addSecs(HandsetOffsetSeconds);
    if (!inRange(plain))
        return std::nullopt;
    return plain;
}

const char *tzidOf(icalproperty *p)
{
    icalparameter *tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
    return tz ? icalparameter_get_tzid(tz) : nullptr;
}

// The time of a date-time property of `comp` in handset local time.
std::optional<QDateTime> propertyLocal(icalcomponent *comp, icalproperty *p)
{
    if (!p)
        return std::nullopt;
    const char *tzid = tzidOf(p);
    if (isHandsetZone(tzid)) {
        // Handset time itself: the zone's rule is the handset's fixed +9 h.
        icalvalue *v = icalproperty_get_value(p);
        if (!v)
            return std::nullopt;
        return localOf(icalvalue_get_datetime(v), true);
    }
    return localOf(icalproperty_get_datetime_with_component(p, comp), false);
}

// ---- the handset vocabulary of repeats ------------------------------------

const std::array<const char *, 7> WeekdayCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

QString weekdayCode(const QDate &d) { return QLatin1String(WeekdayCodes[size_t(calendar::weekdayNumber(d) - 1)]); }

QString untilText(const QDate &lastDay)
{
    // The end of the last day in handset time, as UTC.
    const QDateTime end = QDateTime(lastDay, QTime(23, 59, 59), Qt::UTC).addSecs(-HandsetOffsetSeconds);
    return end.toString(u"yyyyMMdd'T'HHmmss'Z'");
}

// What an entry's repeat becomes in iCalendar, chosen so that a calendar
// program repeats it on exactly the days the month calendar shows: the start
// moves to the first day the rule picks, and a count that the calendar ends
// elsewhere (an end date that does not match the count) becomes the end day.
struct RuleOut {
    bool repeats = false;
    QString rrule;   // "FREQ=..." when repeats
    QDate firstDay;  // the day the repeat starts on
    QString note;    // why the days cannot agree, for a COMMENT
};

RuleOut ruleOut(const ScheduleEntry &e, const QDateTime &start)
{
    using calendar::Repeat;
    RuleOut out;
    const calendar::Recurrence r = calendar::recurrenceOf(e);
    const QString ruleText = e[YearlyValue].isEmpty() ? e[RRuleValue] : QStringLiteral("X-JPGSH-YEARLY:") + e[YearlyValue];
    if (r.repeat == Repeat::None)
        return out;
    const auto cannot = [&](const QString &why) {
        out.note = QStringLiteral("繰り返し「") + ruleText + QStringLiteral("」は") + why
            + QStringLiteral("ため、繰り返しなしで書き出しました。");
        return out;
    };
    const QDate first = start.date();
    if (r.repeat == Repeat::Yearly) {
        out.repeats = true;
        out.firstDay = first;
        out.rrule = QStringLiteral("FREQ=YEARLY;BYMONTH=%1;BYMONTHDAY=%2").arg(first.month()).arg(first.day());
        return out;
    }
    if (r.repeat == Repeat::Unknown)
        return cannot(QStringLiteral("Skedraのカレンダーでも表示されない形式の"));
    const QDate last = QDate::fromString(r.lastDay, u"yyyyMMdd");
    if (!last.isValid())
        return cannot(QStringLiteral("終わりの日が読めない"));

    // The first day the rule picks on or after a day, however far.
    QString freq, by;
    std::function<QDate(const QDate &)> nextFrom;
    switch (r.repeat) {
    case Repeat::Daily:
        freq = QStringLiteral("DAILY");
        nextFrom = [](const QDate &d) { return d; };
        break;
    case Repeat::Weekday:
        if (r.weekday < 1)
            return cannot(QStringLiteral("曜日が読めず、Skedraのカレンダーでも表示されない"));
        freq = QStringLiteral("WEEKLY");
        by = QStringLiteral(";BYDAY=") + QLatin1String(WeekdayCodes[size_t(r.weekday - 1)]);
        nextFrom = [w = r.weekday](const QDate &d) { return d.addDays((w - calendar::weekdayNumber(d) + 7) % 7); };
        break;
    case Repeat::MonthDay: {
        bool ok = false;
        const int day = r.monthDay.toInt(&ok);
        if (!ok || day < 1 || day > 31)
            return cannot(QStringLiteral("日付が読めず、Skedraのカレンダーでも表示されない"));
        freq = QStringLiteral("MONTHLY");
        by = QStringLiteral(";BYMONTHDAY=%1").arg(day);
        nextFrom = [day](const QDate &d) {
            // This month when the day is still to come in it, else the next
            // month that has the day.
            QDate m(d.year(), d.month(), 1);
            if (d.day() > day)
                m = m.addMonths(1);
            while (m.isValid() && m.daysInMonth() < day)
                m = m.addMonths(1);
            return m.isValid() ? QDate(m.year(), m.month(), day) : QDate();
        };
        break;
    }
    default:
        return out;
    }
    const QDate day = nextFrom(first);
    if (!day.isValid() || day > last)
        return cannot(QStringLiteral("Skedraのカレンダーで表示される日がない"));

    out.repeats = true;
    out.firstDay = day;
    out.rrule = QStringLiteral("FREQ=") + freq + by;
    const long long count = calendar::repeatCount(e[RRuleValue]);
    if (count == 0)
        return out;  // unlimited; the calendar stops showing it after 2099
    long long days = 0;
    for (QDate d = day; d.isValid() && d <= last && days <= count; d = nextFrom(d.addDays(1)))
        ++days;
    if (days == count)
        out.rrule += QStringLiteral(";COUNT=%1").arg(count);
    else
        out.rrule += QStringLiteral(";UNTIL=") + untilText(last);
    return out;
}

// ---- the standard words -----------------------------------------------------

QString componentOf(const ScheduleEntry &e)
{
    if (!e[ComponentName].isEmpty())
        return e[ComponentName];
    return e[DtStartName] == u"DUE" ? QStringLiteral("VTODO") : QStringLiteral("VEVENT");
}

icalproperty *withZone(icalproperty *p)
{
    icalproperty_add_parameter(p, icalparameter_new_tzid(HandsetZone));
    return p;
}

// The component of an entry with its standard properties only. `note`
// receives why its repeat cannot show on the calendar's days, if it cannot.
icalcomponent *standardComponent(const ScheduleEntry &e, QString *note)
{
    const bool todo = componentOf(e) == u"VTODO";
    icalcomponent *c = todo ? icalcomponent_new_vtodo() : icalcomponent_new_vevent();
    const std::optional<QDateTime> start = parseLocal(e[DtStartValue]);
    const std::optional<QDateTime> end = parseLocal(e[DtEndValue]);

    RuleOut rule;
    if (start)
        rule = ruleOut(e, *start);
    if (note)
        *note = rule.note;

    if (start && rule.repeats) {
        // Repeats are written in handset time, so that their days are the
        // handset's days in any calendar program.
        const QDateTime first(rule.firstDay, start->time(), Qt::UTC);
        icalcomponent_add_property(c, withZone(icalproperty_new_dtstart(icalTime(first, false))));
        icalcomponent_add_property(c, icalproperty_new_rrule(icalrecurrencetype_from_string(utf8(rule.rrule).constData())));
        // Each occurrence ends at the end's time of day: the same day, or
        // the next when that time comes before the start's (23:00 to 01:00).
        if (!todo && end) {
            const QDate endDay = end->time() < start->time() ? rule.firstDay.addDays(1) : rule.firstDay;
            icalcomponent_add_property(
                c, withZone(icalproperty_new_dtend(icalTime(QDateTime(endDay, end->time(), Qt::UTC), false))));
        }
    } else if (start) {
        if (const auto utc = utcOf(*start))
            icalcomponent_add_property(c, todo ? icalproperty_new_due(*utc) : icalproperty_new_dtstart(*utc));
        if (!todo && end && *end >= *start) {
            if (const auto utc = utcOf(*end))
                icalcomponent_add_property(c, icalproperty_new_dtend(*utc));
        }
    }
    // A to-do's completion moment only with a status that does not say it
    // is still to be done: calendar programs take COMPLETED as done.
    if (todo && end && !e[DtEndName].isEmpty() && !(!e[StatusName].isEmpty() && e[StatusValue] == u"NEEDS ACTION")) {
        if (const auto utc = utcOf(*end))
            icalcomponent_add_property(c, icalproperty_new_completed(*utc));
    }
    // A text of blanks only is left to the carried copy: libical's reader
    // trims it to nothing and reports the property as broken.
    if (!e[SummaryName].isEmpty() && !e[SummaryValue].trimmed().isEmpty())
        icalcomponent_add_property(c, icalproperty_new_summary(utf8(e[SummaryValue]).constData()));
    if (!e[DescriptionName].isEmpty() && !e[DescriptionValue].trimmed().isEmpty())
        icalcomponent_add_property(c, icalproperty_new_description(utf8(e[DescriptionValue]).constData()));
    if (!e[ClassName].isEmpty() && (e[ClassValue] == u"PUBLIC" || e[ClassValue] == u"PRIVATE"))
        icalcomponent_add_property(
            c, icalproperty_new_class(e[ClassValue] == u"PUBLIC" ? ICAL_CLASS_PUBLIC : ICAL_CLASS_PRIVATE));
    if (!e[CategoriesName].isEmpty() && categories::codeOfCategoriesValue(e[CategoriesValue]))
        icalcomponent_add_property(c, icalproperty_new_categories(utf8(e[CategoriesValue]).constData()));
    if (!e[ShCategoriesName].isEmpty()) {
        if (const auto code = categories::codeOfStampValue(e[ShCategoriesValue]))
            icalcomponent_add_property(c, icalproperty_new_categories(utf8(categories::name(*code)).constData()));
    }
    // The alarm: "moment;message".
    const QString &alarm = e[DAlarmValue];
    const qsizetype semi = alarm.indexOf(u';');
    if (!e[DAlarmName].isEmpty() && semi == 14) {
        const auto at = parseLocal(alarm.left(14));
        const auto utc = at ? utcOf(*at) : std::nullopt;
        if (utc) {
            icalcomponent *a = icalcomponent_new_valarm();
            icalcomponent_add_property(a, icalproperty_new_action(ICAL_ACTION_DISPLAY));
            QString message = alarm.mid(15);
            if (message.isEmpty())
                message = e[SummaryValue].isEmpty() ? QStringLiteral("予定") : e[SummaryValue];
            icalcomponent_add_property(a, icalproperty_new_description(utf8(message).constData()));
            icaltriggertype trigger;
            trigger.time = *utc;
            trigger.duration = icaldurationtype_null_duration();
            icalproperty *t = icalproperty_new_trigger(trigger);
            icalproperty_add_parameter(t, icalparameter_new_value(ICAL_VALUE_DATETIME));
            icalcomponent_add_property(a, t);
            icalcomponent_add_component(c, a);
        }
    }
    // Priority "1" high, "2" low, "0" none.
    if (!e[PriorityName].isEmpty() && e[PriorityValue] == u"1")
        icalcomponent_add_property(c, icalproperty_new_priority(1));
    else if (!e[PriorityName].isEmpty() && e[PriorityValue] == u"2")
        icalcomponent_add_property(c, icalproperty_new_priority(9));
    // A status of a to-do (an event's has no iCalendar word).
    if (todo && !e[StatusName].isEmpty() && e[StatusValue] == u"NEEDS ACTION")
        icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
    else if (todo && !e[StatusName].isEmpty() && e[StatusValue] == u"COMPLETED")
        icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_COMPLETED));
    return c;
}

// ---- reading the standard words ---------------------------------------------

void set(ScheduleEntry &e, int position, const QString &name, const QString &value,
         const QString &params = QString())
{
    e[nameSlot(position)] = name;
    e[paramsSlot(position)] = params;
    e[valueSlot(position)] = value;
}

int arrayLength(const short *a, int size)
{
    int n = 0;
    while (n < size && a[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

// A repeat of the file in handset words: RRULE value and yearly date, or
// nothing when the handset cannot say it.
struct RuleIn {
    QString rrule;
    QString yearly;
    std::optional<QDate> lastDay;  // the day of the last occurrence of a limited repeat
};

// Whether the days the calendar shows a handset repeat starting at
// `localStart` on, from its start to `to`, are `days` (the days of a
// calendar program's occurrences).
bool sameDays(const RuleIn &in, const QDateTime &localStart, const QDate &to, const std::set<QDate> &days)
{
    ScheduleEntry probe;
    probe[DtStartValue] = local14(localStart);
    probe[RRuleValue] = in.rrule;
    probe[YearlyValue] = in.yearly;
    if (in.lastDay)
        probe[DtEndValue] = local14(QDateTime(*in.lastDay, localStart.time(), Qt::UTC));
    const calendar::Recurrence r = calendar::recurrenceOf(probe);
    std::set<QDate> ours;
    for (QDate d = localStart.date(); d <= to; d = d.addDays(1)) {
        if (calendar::fallsOn(r, calendar::CalendarDay::of(d)))
            ours.insert(d);
    }
    return ours == days;
}

std::optional<RuleIn> ruleIn(icalproperty *rruleProp, const QDateTime &localStart,
                             icaltimetype zoneStart)
{
    const icalrecurrencetype r = icalproperty_get_rrule(rruleProp);
    const bool limited = r.count != 0 || !icaltime_is_null_time(r.until);
    if (r.freq == ICAL_NO_RECURRENCE || r.interval > 1 || r.count < 0 || r.count > MaxHandsetCount)
        return std::nullopt;
    if (arrayLength(r.by_second, ICAL_BY_SECOND_SIZE) || arrayLength(r.by_minute, ICAL_BY_MINUTE_SIZE)
        || arrayLength(r.by_hour, ICAL_BY_HOUR_SIZE) || arrayLength(r.by_year_day, ICAL_BY_YEARDAY_SIZE)
        || arrayLength(r.by_week_no, ICAL_BY_WEEKNO_SIZE) || arrayLength(r.by_set_pos, ICAL_BY_SETPOS_SIZE))
        return std::nullopt;
    const int days = arrayLength(r.by_day, ICAL_BY_DAY_SIZE);
    const int monthDays = arrayLength(r.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int months = arrayLength(r.by_month, ICAL_BY_MONTH_SIZE);
    const QDate zoneDay(zoneStart.year, zoneStart.month, zoneStart.day);
    const QDate local = localStart.date();
    QString rule;  // the handset rule without its count
    RuleIn in;
    switch (r.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (days || monthDays || months)
            return std::nullopt;
        rule = QStringLiteral("D1");
        break;
    case ICAL_WEEKLY_RECURRENCE:
        if (monthDays || months || days > 1)
            return std::nullopt;
        if (days == 1
            && (icalrecurrencetype_day_position(r.by_day[0]) != 0
                || int(icalrecurrencetype_day_day_of_week(r.by_day[0])) != calendar::weekdayNumber(zoneDay)))
            return std::nullopt;
        rule = QStringLiteral("W1 ") + weekdayCode(local);
        break;
    case ICAL_MONTHLY_RECURRENCE:
        if (days || months || monthDays > 1 || (monthDays == 1 && r.by_month_day[0] != zoneDay.day())
            || local.day() != zoneDay.day())
            return std::nullopt;
        rule = QStringLiteral("MP1 ") + ZeroPad(local.day(), 2);
        break;
    case ICAL_YEARLY_RECURRENCE:
        if (limited || days || monthDays > 1 || months > 1
            || (monthDays == 1 && r.by_month_day[0] != zoneDay.day())
            || (months == 1 && r.by_month[0] != zoneDay.month()) || local.day() != zoneDay.day()
            || local.month() != zoneDay.month())
            return std::nullopt;
        in.yearly = ZeroPad(local.month(), 2) + ZeroPad(local.day(), 2);
        break;
    default:
        return std::nullopt;
    }
    // In a zone of a fixed offset (handset time, UTC, a floating time) an
    // unlimited repeat keeps one handset time and day: the checks above
    // are enough.
    const bool fixedOffset = !zoneStart.zone || icaltime_is_utc(zoneStart) || zoneStart.is_date;
    if (!limited) {
        if (!rule.isEmpty())
            in.rrule = rule + QStringLiteral(" #0");
        if (fixedOffset)
            return in;
    }

    // The occurrences as a calendar program expands them, in handset time:
    // all of a limited repeat (at most as many as the handset counts), and
    // those of the rule's cycle for an unlimited one (two years; 28 for a
    // yearly repeat, the cycle of weekdays and leap years). A handset repeat
    // keeps one time of day, so occurrences at another time (a zone with
    // daylight saving) cannot be carried.
    const QDate horizon = local.addYears(r.freq == ICAL_YEARLY_RECURRENCE ? 28 : 2);
    icalrecur_iterator *it = icalrecur_iterator_new(r, zoneStart);
    if (!it)
        return std::nullopt;
    std::set<QDate> theirs;
    QDate last;
    int n = 0;
    bool fits = true;
    for (icaltimetype t = icalrecur_iterator_next(it); fits && !icaltime_is_null_time(t); t = icalrecur_iterator_next(it)) {
        const std::optional<QDateTime> at = localOf(t, false);
        if (!at) {
            fits = false;
            break;
        }
        if (!limited && at->date() > horizon)
            break;
        fits = at->time() == localStart.time() && (!limited || n < MaxHandsetCount);
        theirs.insert(at->date());
        last = at->date();
        ++n;
    }
    icalrecur_iterator_free(it);
    if (!fits || n == 0)
        return std::nullopt;
    if (limited) {
        in.rrule = rule + QStringLiteral(" #") + QString::number(n);
        in.lastDay = last;
    }
    if (!sameDays(in, localStart, limited ? last : horizon, theirs))
        return std::nullopt;
    return in;
}

// Whether EXDATE removes the start of `c`, and if so its first occurrence
// that EXDATE leaves (of the repeat rule or RDATE); none when it leaves
// none, and the event then never happens.
struct KeptStart {
    bool startRemoved = false;
    std::optional<icaltimetype> first;
};

KeptStart keptStart(icalcomponent *c, icalproperty *startProp)
{
    const icaltimetype start = icalproperty_get_datetime_with_component(startProp, c);
    std::vector<icaltimetype> excluded;
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY))
        excluded.push_back(icalproperty_get_datetime_with_component(p, c));
    const auto isExcluded = [&](const icaltimetype &t) {
        return std::any_of(excluded.begin(), excluded.end(), [&](const icaltimetype &x) {
            return t.is_date || x.is_date ? icaltime_compare_date_only(t, x) == 0 : icaltime_compare(t, x) == 0;
        });
    };
    KeptStart out;
    if (icaltime_is_null_time(start) || !isExcluded(start))
        return out;
    out.startRemoved = true;
    const auto offer = [&](const icaltimetype &t) {
        if (!isExcluded(t) && (!out.first || icaltime_compare(t, *out.first) < 0))
            out.first = t;
    };
    if (icalproperty *rrule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)) {
        if (icalrecur_iterator *it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start)) {
            for (int i = 0; i < 1000; ++i) {
                const icaltimetype next = icalrecur_iterator_next(it);
                if (icaltime_is_null_time(next))
                    break;
                if (!isExcluded(next)) {
                    offer(next);
                    break;
                }
            }
            icalrecur_iterator_free(it);
        }
    }
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype r = icalproperty_get_rdate(p);
        icaltimetype t = icaltime_is_null_time(r.time) ? r.period.start : r.time;
        if (!t.zone && !icaltime_is_utc(t))
            t.zone = start.zone;  // in the start's zone unless it names its own
        if (!icaltime_is_null_time(t))
            offer(t);
    }
    return out;
}

struct Standard {
    ScheduleEntry entry;  // positions the standard words give (names set)
    bool hasStart = false;
    bool droppedRule = false;
    bool hasCategory = false;
    bool locationLeftOut = false;  // a LOCATION the description had no room for
    int alarmsLeftOut = 0;         // alarms after the first
};

// The place of an event, which the handset has no field for, joins the
// description ("場所：" and the place on a line of its own) when the two
// fit the handset's description together; else it is left out.
bool addLocation(QString &description, const QString &location)
{
    const QString place = QStringLiteral("場所：") + location.trimmed();
    const QString joined = description.isEmpty() ? place : description + u'\n' + place;
    if (Sjis::encode(Sjis::foldLatin(joined)).size() > vcs::DescriptionBytes)
        return false;
    description = joined;
    return true;
}

std::optional<int> categoryCodeOfText(const QString &text)
{
    const QString t = text.trimmed();
    if (const auto code = categories::codeOfCategoriesValue(t.toUpper()))
        return code;
    for (int code = 1; code < categories::CodeCount; ++code) {
        if (categories::name(code) == t)
            return code;
    }
    return std::nullopt;
}

// What the standard properties of `c` say in handset words. Texts that are
// not UTF-8 are read as `fallback` says (see textOf). A repeat whose single
// occurrences the file changes elsewhere (`changedOccurrences`) is more
// than a handset repeat can say.
Standard readStandard(icalcomponent *c, Fallback fallback = Fallback::Latin1, bool changedOccurrences = false)
{
    Standard s;
    ScheduleEntry &e = s.entry;
    const bool todo = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;
    e[ComponentName] = todo ? QStringLiteral("VTODO") : QStringLiteral("VEVENT");

    icalproperty *startProp = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    icalproperty *dueProp = todo ? icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY) : nullptr;
    icalproperty *anchor = dueProp ? dueProp : startProp;
    std::optional<QDateTime> start = propertyLocal(c, anchor);
    if (!start)
        return s;
    // A repeat whose start is excluded begins at its first kept occurrence;
    // one that keeps none never happens.
    qint64 moved = 0;
    if (anchor == startProp && icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY)) {
        const KeptStart kept = keptStart(c, startProp);
        if (kept.startRemoved && !kept.first)
            return s;
        if (kept.first) {
            if (const auto local = localOf(*kept.first, false)) {
                moved = start->secsTo(*local);
                start = local;
            }
        }
    }
    s.hasStart = true;
    const bool allDay = icalproperty_get_value(anchor) && icalvalue_isa(icalproperty_get_value(anchor)) == ICAL_DATE_VALUE;
    set(e, DtStart, todo ? QStringLiteral("DUE") : QStringLiteral("DTSTART"), local14(*start));

    // The end: DTEND (or DTSTART + DURATION) of an event, COMPLETED of a to-do.
    std::optional<QDateTime> end;
    if (todo) {
        end = propertyLocal(c, icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY));
    } else if (icalproperty *dtend = icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY)) {
        end = propertyLocal(c, dtend);
        if (end)
            end = end->addSecs(moved);
    } else if (icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY) && startProp) {
        const icaldurationtype d = icalcomponent_get_duration(c);
        if (!icaldurationtype_is_bad_duration(d))
            end = start->addSecs(icaldurationtype_as_int(d));
    }
    if (allDay && !todo) {
        // All day: 00:00 of the first day to 23:59 of the last. (A to-do's
        // end is its completion, which a date to be done by does not give.)
        QDate lastDay = end && end->date() > start->date() ? end->date().addDays(-1) : start->date();
        end = QDateTime(lastDay, QTime(23, 59), Qt::UTC);
    } else if (!todo && end && *end > *start && end->time() == QTime(0, 0)) {
        // An end at midnight is 23:59 of the day before, as for a whole day:
        // the calendar shows an entry on the day its end falls on.
        end = end->addSecs(-60);
    }
    const std::optional<QDateTime> instanceEnd = end;  // of the first occurrence

    // The repeat.
    set(e, RRule, QStringLiteral("RRULE"), QString());
    set(e, Yearly, QStringLiteral("X-JPGSH-YEARLY"), QString());
    const int rules = icalcomponent_count_properties(c, ICAL_RRULE_PROPERTY);
    const bool extra = icalcomponent_count_properties(c, ICAL_RDATE_PROPERTY) > 0
        || icalcomponent_count_properties(c, ICAL_EXDATE_PROPERTY) > 0
        || icalcomponent_count_properties(c, ICAL_EXRULE_PROPERTY) > 0;
    std::optional<RuleIn> rule;
    // A handset repeat's occurrences end within a day of their start (an
    // end time before the start time is the next day's).
    const bool shortOccurrences = todo || !end || start->secsTo(*end) < 24 * 3600;
    if (rules == 1 && !extra && anchor == startProp && shortOccurrences && !changedOccurrences) {
        icaltimetype zoneStart = icalproperty_get_datetime_with_component(startProp, c);
        if (isHandsetZone(tzidOf(startProp)) && icalproperty_get_value(startProp)) {
            zoneStart = icalvalue_get_datetime(icalproperty_get_value(startProp));
            zoneStart.zone = nullptr;
        }
        rule = ruleIn(icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY), *start, zoneStart);
    }
    if (rule) {
        e[RRuleValue] = rule->rrule;
        e[YearlyValue] = rule->yearly;
        // A repeat ends on the day of its last occurrence (for an unlimited
        // one, the day it starts), at the time each occurrence ends.
        if (end || rule->lastDay) {
            const QTime endTime = end ? end->time() : start->time();
            const QDate endDay = rule->lastDay ? *rule->lastDay : start->date();
            end = QDateTime(endDay, endTime, Qt::UTC);
        }
    } else if (rules > 0 || extra) {
        s.droppedRule = rules > 0 || icalcomponent_count_properties(c, ICAL_RDATE_PROPERTY) > 0;
    }
    if (end)
        set(e, DtEnd, todo ? QStringLiteral("COMPLETED") : QStringLiteral("DTEND"), local14(*end));

    if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_SUMMARY_PROPERTY))
        set(e, Summary, QStringLiteral("SUMMARY"), textOf(icalproperty_get_summary(p), p, fallback), QpParams);
    if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_DESCRIPTION_PROPERTY))
        set(e, Description, QStringLiteral("DESCRIPTION"), textOf(icalproperty_get_description(p), p, fallback),
            QpParams);
    if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_LOCATION_PROPERTY)) {
        const QString location = textOf(icalproperty_get_location(p), p, fallback);
        QString description = e[DescriptionValue];
        if (location.trimmed().isEmpty()) {
        } else if (addLocation(description, location)) {
            set(e, Description, QStringLiteral("DESCRIPTION"), description, QpParams);
        } else {
            s.locationLeftOut = true;
        }
    }
    if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_CLASS_PROPERTY)) {
        const icalproperty_class k = icalproperty_get_class(p);
        if (k == ICAL_CLASS_PUBLIC)
            set(e, Class, QStringLiteral("CLASS"), QStringLiteral("PUBLIC"));
        else if (k == ICAL_CLASS_PRIVATE || k == ICAL_CLASS_CONFIDENTIAL)
            set(e, Class, QStringLiteral("CLASS"), QStringLiteral("PRIVATE"));
    }
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        const QStringList words = textOf(icalproperty_get_categories(p), p, fallback).split(u',');
        for (const QString &word : words) {
            const auto code = categoryCodeOfText(word);
            if (!code)
                continue;
            s.hasCategory = true;
            if (*code <= categories::LastCategoryCode && e[CategoriesName].isEmpty())
                set(e, Categories, categories::categoriesPropertyName(), categories::categoriesValue(*code));
            else if (*code >= categories::FirstStampCode && e[ShCategoriesName].isEmpty())
                set(e, ShCategories, categories::stampPropertyName(), categories::stampValue(*code));
        }
    }
    // The first alarm that shows or sounds, at its moment: absolute, or from
    // the start or end. The handset holds one; the others are counted.
    QString alarm = QStringLiteral("00000000000000;");
    bool alarmTaken = false;
    for (icalcomponent *a = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(c, ICAL_VALARM_COMPONENT)) {
        icalproperty *tp = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
        icalproperty *action = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
        const icalproperty_action kind = action ? icalproperty_get_action(action) : ICAL_ACTION_DISPLAY;
        if (!tp || (kind != ICAL_ACTION_DISPLAY && kind != ICAL_ACTION_AUDIO))
            continue;
        const icaltriggertype trigger = icalproperty_get_trigger(tp);
        std::optional<QDateTime> at;
        if (!icaltime_is_null_time(trigger.time)) {
            at = localOf(trigger.time, isHandsetZone(tzidOf(tp)));
        } else {
            icalparameter *rel = icalproperty_get_first_parameter(tp, ICAL_RELATED_PARAMETER);
            const bool fromEnd = rel && icalparameter_get_related(rel) == ICAL_RELATED_END;
            const QDateTime base = fromEnd && instanceEnd ? *instanceEnd : *start;
            at = base.addSecs(icaldurationtype_as_int(trigger.duration));
        }
        if (!at || !inRange(*at))
            continue;
        if (alarmTaken) {
            ++s.alarmsLeftOut;
            continue;
        }
        QString message;
        if (icalproperty *d = icalcomponent_get_first_property(a, ICAL_DESCRIPTION_PROPERTY))
            message = textOf(icalproperty_get_description(d), d, fallback);
        alarm = local14(*at) + u';' + message;
        alarmTaken = true;
    }
    set(e, DAlarm, QStringLiteral("DALARM"), alarm, QpParams);
    // The handset's own alarm moment is the same moment.
    set(e, ShAlarm, QStringLiteral("X-JPGSH-ALARM"), alarm.left(14));
    if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY)) {
        const int priority = icalproperty_get_priority(p);
        set(e, Priority, QStringLiteral("PRIORITY"),
            priority >= 1 && priority <= 4 ? QStringLiteral("1")
                                           : priority >= 6 && priority <= 9 ? QStringLiteral("2") : QStringLiteral("0"));
    }
    if (todo) {
        if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY)) {
            set(e, Status, QStringLiteral("STATUS"),
                icalproperty_get_status(p) == ICAL_STATUS_COMPLETED ? QStringLiteral("COMPLETED")
                                                                    : QStringLiteral("NEEDS ACTION"));
        }
    }
    return s;
}

// What a calendar program reading `c` would find: `c` written out and
// parsed again (the parser trims and normalises some values).
Standard readStandardAsWritten(icalcomponent *c)
{
    char *text = icalcomponent_as_ical_string_r(c);
    ComponentPtr parsed(text ? icalparser_parse_string(text) : nullptr);
    free(text);
    if (!parsed)
        return Standard{};
    return readStandard(parsed.get());
}

// Whether the texts of an entry go through writing and parsing unchanged,
// so that its standard reading needs no round trip: no spaces or tabs at
// either end (parsers trim them), no control characters and no "\\".
bool plainTexts(const ScheduleEntry &e)
{
    const QString &alarm = e[DAlarmValue];
    const QString message = alarm.mid(alarm.indexOf(u';') + 1);
    for (const QString &text : {e[SummaryValue], e[DescriptionValue], message}) {
        if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
            return false;
        for (QChar c : text) {
            if (c.unicode() < 0x20 || c == u'\\')
                return false;
        }
    }
    return true;
}

// ---- carried handset texts ---------------------------------------------------

// Carried texts travel with a few characters written as "%" and two hex
// digits, because iCalendar parsers change them: "%" itself, the "," that
// splits a value, "\\", the quote and "^" of parameter values, control
// characters (CR, LF, TAB, ...) and spaces at either end (which parsers
// trim). Everything else, Japanese text included, stays as it is.
QString escapeCarried(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype first = [&] {
        qsizetype i = 0;
        while (i < text.size() && text[i] == u' ')
            ++i;
        return i;
    }();
    qsizetype last = text.size();
    while (last > first && text[last - 1] == u' ')
        --last;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool edgeSpace = c == u' ' && (i < first || i >= last);
        if (edgeSpace || c < 0x20 || c == 0x7f || c == u'%' || c == u',' || c == u'\\' || c == u'"' || c == u'^')
            out += QLatin1Char('%') + QString::number(int(c), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            out += QChar(c);
    }
    return out;
}

QString unescapeCarried(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size()) {
            bool ok = false;
            const int code = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok && code >= 0) {
                out += QChar(char16_t(code));
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// One carried text: `xname` is the whole property name.
void addCarried(icalcomponent *c, const QString &xname, const QString &params, const QString &value, bool kept)
{
    // An empty value is marked, since parsers drop properties without one.
    const QByteArray v = value.isEmpty() ? QByteArray("-") : utf8(escapeCarried(value));
    icalproperty *p = icalproperty_new_x(v.constData());
    icalproperty_set_x_name(p, utf8(xname).constData());
    const auto addParameter = [p](const char *name, const QByteArray &text) {
        icalparameter *a = icalparameter_new_x(text.constData());
        icalparameter_set_xname(a, name);
        icalproperty_add_parameter(p, a);
    };
    if (!params.isEmpty())
        addParameter(ParamsParam, utf8(escapeCarried(params)));
    if (kept)
        addParameter(KeptParam, QByteArrayLiteral("TRUE"));
    if (value.isEmpty())
        addParameter(EmptyParam, QByteArrayLiteral("TRUE"));
    icalcomponent_add_property(c, p);
}

bool samePosition(const ScheduleEntry &a, const ScheduleEntry &b, int p)
{
    return a[nameSlot(p)] == b[nameSlot(p)] && a[paramsSlot(p)] == b[paramsSlot(p)] && a[valueSlot(p)] == b[valueSlot(p)];
}

// The X-SKEDRA properties of an entry: what its standard reading `s` lacks.
void addCarriedProperties(icalcomponent *c, const ScheduleEntry &e, const ScheduleEntry &s)
{
    // Always present: it also marks the component as one Skedra wrote.
    addCarried(c, QLatin1String(ComponentCarried), QString(), e[ComponentName], false);
    for (int p = 0; p < Component; ++p) {
        const bool kept = vcs::isKeptAsRead(e, p);
        if (!kept && samePosition(e, s, p))
            continue;
        if (e[nameSlot(p)].isEmpty()) {
            addCarried(c, QLatin1String(AbsentName), QString(), s[nameSlot(p)], false);
        } else {
            addCarried(c, QLatin1String(CarriedPrefix) + e[nameSlot(p)], e[paramsSlot(p)], e[valueSlot(p)], kept);
        }
    }
}

// A short fingerprint of a standard reading: equal fingerprints mean no
// standard property was changed since it was written.
QString fingerprint(const ScheduleEntry &reading)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int p = 0; p < Component; ++p)
        hash.addData(utf8(reading[nameSlot(p)] + u'\x1f' + reading[valueSlot(p)] + u'\x1e'));
    return QString::fromLatin1(hash.result().toHex().left(16));
}

struct CarriedItem {
    int position = -1;
    QString name, params, value;
    bool kept = false;
};

struct Carried {
    bool any = false;
    std::optional<QString> component;
    QString standard;  // fingerprint of the standard reading when written
    std::vector<CarriedItem> items;
    std::vector<int> absent;
};

// The unescaped text of an X- property's value.
QString valueText(icalproperty *p)
{
    icalvalue *v = icalproperty_get_value(p);
    if (!v)
        return QString();
    switch (icalvalue_isa(v)) {
    case ICAL_TEXT_VALUE: return fromUtf8(icalvalue_get_text(v));
    case ICAL_X_VALUE: return fromUtf8(icalvalue_get_x(v));
    default: return fromUtf8(icalproperty_get_value_as_string(p));
    }
}

// The X-SKEDRA- parameters of a carried property, read in one pass.
struct CarriedParams {
    QString params;
    bool kept = false;
    bool empty = false;
};

CarriedParams carriedParams(icalproperty *p)
{
    CarriedParams out;
    for (icalparameter *a = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); a;
         a = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
        const char *name = icalparameter_get_xname(a);
        const char *value = icalparameter_get_xvalue(a);
        if (!name || !value)
            continue;
        if (qstrcmp(name, ParamsParam) == 0)
            out.params = unescapeCarried(fromUtf8(value));
        else if (qstrcmp(name, KeptParam) == 0)
            out.kept = qstrcmp(value, "TRUE") == 0;
        else if (qstrcmp(name, EmptyParam) == 0)
            out.empty = qstrcmp(value, "TRUE") == 0;
    }
    return out;
}

Carried readCarried(icalcomponent *c)
{
    Carried k;
    const QLatin1String prefix(CarriedPrefix);
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const QString xname = fromUtf8(icalproperty_get_x_name(p));
        if (!xname.startsWith(prefix))
            continue;
        const CarriedParams params = carriedParams(p);
        const QString value = params.empty ? QString() : unescapeCarried(valueText(p));
        if (xname == QLatin1String(AbsentName)) {
            if (const vcs::PropertyRule *rule = vcs::findRule(value)) {
                k.absent.push_back(rule->position);
                k.any = true;
            }
            continue;
        }
        if (xname == QLatin1String(StandardCarried)) {
            k.standard = value;
            continue;
        }
        if (xname == QLatin1String(ComponentCarried)) {
            k.component = value;
            k.any = true;
            continue;
        }
        const QString name = xname.mid(prefix.size());
        const vcs::PropertyRule *rule = vcs::findRule(name);
        if (!rule)
            continue;
        CarriedItem item;
        item.position = rule->position;
        item.name = vcs::ruleName(*rule);
        item.params = params.params;
        item.value = value;
        item.kept = params.kept;
        k.items.push_back(item);
        k.any = true;
    }
    return k;
}

// ---- one component into an entry ---------------------------------------------

struct Converted {
    std::optional<ScheduleEntry> entry;
    bool droppedRule = false;
    bool locationLeftOut = false;
    int alarmsLeftOut = 0;
};

// One text of an imported entry made fit for the handset as far as it can
// be: letters with a Latin base that the handset's character set lacks
// become ASCII (Sjis::foldLatin). Returns whether saving will cut it to
// `limit` bytes, and adds to `unwritable` the characters of what is saved
// that will be written as "?".
bool fitText(QString &text, int limit, int &unwritable)
{
    int replaced = 0;
    qsizetype bytes = Sjis::encode(text, &replaced).size();
    if (replaced > 0) {
        text = Sjis::foldLatin(text);
        bytes = Sjis::encode(text, &replaced).size();
    }
    const bool cut = bytes > limit;
    if (cut)
        Sjis::encode(TruncateBytes(text, limit), &replaced);
    unwritable += replaced;
    return cut;
}

// The summary, description and alarm message of an imported entry made fit
// for the handset; what saving will still cut or write as "?" is counted in
// `result`.
void fitTexts(ScheduleEntry &e, ImportResult &result)
{
    result.cutSummaries += fitText(e[SummaryValue], vcs::SummaryBytes, result.unwritableCharacters);
    result.cutDescriptions += fitText(e[DescriptionValue], vcs::DescriptionBytes, result.unwritableCharacters);
    QString &alarm = e[DAlarmValue];
    if (alarm.size() > 14 && alarm[14] == u';') {
        QString message = alarm.mid(15);
        fitText(message, vcs::AlarmMessageBytes, result.unwritableCharacters);
        if (QStringView(alarm).mid(15) != message)
            alarm = alarm.left(15) + message;
    }
}

// A component Skedra wrote: the carried record, with the standard values a
// calendar program changed since. `ruleFromFile` tells whether the repeat
// is the file's own reading.
ScheduleEntry rebuilt(const Standard &s, const Carried &k, bool *ruleFromFile)
{
    ScheduleEntry e = s.entry;
    std::array<bool, PositionCount> carried{};
    for (int p : k.absent) {
        set(e, p, QString(), QString());
        carried[size_t(p)] = true;
    }
    for (const CarriedItem &item : k.items) {
        set(e, item.position, item.name, item.value, item.params);
        carried[size_t(item.position)] = true;
    }
    if (k.component)
        e[ComponentName] = *k.component;

    // What the standard properties said when Skedra wrote them: where the
    // fingerprint shows them unchanged, the carried record as it is.
    *ruleFromFile = !carried[RRule];
    if (!k.standard.isEmpty() && k.standard == fingerprint(s.entry)) {
        for (const CarriedItem &item : k.items) {
            if (item.kept)
                vcs::setKeptAsRead(e, item.position, true);
        }
        return e;
    }
    ComponentPtr again(standardComponent(e, nullptr));
    const ScheduleEntry then = (plainTexts(e) ? readStandard(again.get()) : readStandardAsWritten(again.get())).entry;
    const ScheduleEntry &now = s.entry;
    for (int p = 0; p < Component; ++p) {
        if (!carried[size_t(p)])
            continue;
        if (now[nameSlot(p)].isEmpty() == then[nameSlot(p)].isEmpty() && now[valueSlot(p)] == then[valueSlot(p)])
            continue;
        // Changed in a calendar program: the file's value. An entry without
        // the handset's own alarm moment (older models) stays without it.
        if (e[nameSlot(p)].isEmpty()) {
            if (p == ShAlarm)
                continue;
            e[nameSlot(p)] = now[nameSlot(p)];
            e[paramsSlot(p)] = now[paramsSlot(p)];
        }
        e[valueSlot(p)] = now[valueSlot(p)];
        if (p == RRule)
            *ruleFromFile = true;
    }
    for (const CarriedItem &item : k.items) {
        if (item.kept && e[valueSlot(item.position)] == item.value)
            vcs::setKeptAsRead(e, item.position, true);
    }
    return e;
}

// A component from another program: a new entry as the add command makes it,
// with what the file says.
ScheduleEntry fresh(const Standard &s, const NewEntryAt &newEntry)
{
    const ScheduleEntry &std = s.entry;
    ScheduleEntry e = newEntry(std[DtStartValue]);
    if (s.hasCategory) {
        set(e, Categories, QString(), QString());
        set(e, ShCategories, QString(), QString());
    }
    for (int p = 0; p < Component; ++p) {
        // The handset's own alarm moment only where the model has it.
        if (std[nameSlot(p)].isEmpty() || (p == ShAlarm && e[ShAlarmName].isEmpty()))
            continue;
        set(e, p, std[nameSlot(p)], std[valueSlot(p)],
            e[nameSlot(p)].isEmpty() ? std[paramsSlot(p)] : e[paramsSlot(p)]);
    }
    e[ComponentName] = std[ComponentName];
    if (std[ComponentName] == u"VTODO" && e[DtEndName] == u"DTEND")
        e[DtEndName] = QStringLiteral("COMPLETED");
    return e;
}

Converted convert(icalcomponent *c, const NewEntryAt &newEntry, Fallback fallback, bool changedOccurrences)
{
    Converted out;
    const Standard s = readStandard(c, fallback, changedOccurrences);
    out.droppedRule = s.droppedRule;
    out.locationLeftOut = s.locationLeftOut;
    out.alarmsLeftOut = s.alarmsLeftOut;
    const Carried k = readCarried(c);
    if (k.any) {
        bool ruleFromFile = false;
        ScheduleEntry e = rebuilt(s, k, &ruleFromFile);
        out.droppedRule = s.droppedRule && ruleFromFile;
        if (e.exists())
            out.entry = e;
        return out;
    }
    if (!s.hasStart)
        return out;
    out.entry = fresh(s, newEntry);
    return out;
}

// The calendars of a parse: one, several under an XROOT, or bare components.
std::vector<icalcomponent *> containersOf(icalcomponent *root)
{
    std::vector<icalcomponent *> out;
    const icalcomponent_kind kind = icalcomponent_isa(root);
    if (kind == ICAL_XROOT_COMPONENT) {
        for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT))
            out.push_back(c);
    } else {
        out.push_back(root);
    }
    return out;
}

// An iCalendar object at the start, and no vCalendar 1.0 (which opens as
// a handset file instead).
bool looksLikeICalendar(const QByteArray &bytes)
{
    static const QRegularExpression version1(QStringLiteral("(^|[\r\n])VERSION:1\\.0[\r\n]"));
    if (QString::fromLatin1(bytes.left(64 * 1024)).contains(version1))
        return false;
    qsizetype from = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (from < bytes.size() && (bytes[from] == '\r' || bytes[from] == '\n' || bytes[from] == ' ' || bytes[from] == '\t'))
        ++from;
    const QByteArray head = bytes.mid(from, 16).toUpper();
    return head.startsWith("BEGIN:VCALENDAR") || head.startsWith("BEGIN:VEVENT") || head.startsWith("BEGIN:VTODO");
}

// The deepest nesting of components (BEGIN ... END) in the file. Lines are
// unfolded as libical unfolds them, as far as the first characters of each
// line; a lone CR also ends a line here, which can only find more BEGINs.
// libical frees a parse by recursion, one level per component, so a file
// nesting hundreds of thousands of components would overflow the stack.
int componentDepth(const QByteArray &bytes)
{
    char start[6];  // the first characters of the unfolded line
    qsizetype kept = 0;
    const auto named = [&](const char *name) {
        const qsizetype n = qsizetype(qstrlen(name));
        return kept > n && qstrnicmp(start, name, size_t(n)) == 0 && (start[n] == ':' || start[n] == ';');
    };
    int depth = 0;
    int deepest = 0;
    const auto endLine = [&] {
        if (named("BEGIN"))
            deepest = std::max(deepest, ++depth);
        else if (named("END") && depth > 0)
            --depth;
        kept = 0;
    };
    bool lineStart = true;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            lineStart = true;
            continue;
        }
        if (lineStart) {
            lineStart = false;
            if (c == ' ' || c == '\t')
                continue;  // a fold: the line goes on after this character
            endLine();
        }
        if (kept < qsizetype(sizeof start))
            start[kept++] = c;
    }
    endLine();
    return deepest;
}

// Deeper than any calendar program nests (VCALENDAR, VEVENT, VALARM).
constexpr int MaxComponentDepth = 64;

void quietLibical() { icalerror_set_errors_are_fatal(0); }

// What is written to stderr while it lives, caught in a file instead.
class StderrCatcher {
public:
    StderrCatcher()
    {
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_saved = m_file ? ::dup(STDERR_FILENO) : -1;
        if (m_saved >= 0 && ::dup2(::fileno(m_file), STDERR_FILENO) < 0) {
            ::close(m_saved);
            m_saved = -1;
        }
    }
    ~StderrCatcher()
    {
        restore();
        if (m_file)
            std::fclose(m_file);
    }
    StderrCatcher(const StderrCatcher &) = delete;
    StderrCatcher &operator=(const StderrCatcher &) = delete;

    // The lines written so far; stderr is its own again.
    QStringList lines()
    {
        restore();
        if (!m_file)
            return {};
        QByteArray caught(64 * 1024, Qt::Uninitialized);
        std::rewind(m_file);
        caught.truncate(qsizetype(std::fread(caught.data(), 1, size_t(caught.size()), m_file)));
        QStringList out;
        for (const QString &line : QString::fromUtf8(caught).split(u'\n', Qt::SkipEmptyParts))
            out.append(line.trimmed());
        return out;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    std::FILE *m_file = nullptr;
    int m_saved = -1;
};

// The warnings libical's parser wrote into the parse (X-LIC-ERROR), in
// file order.
QStringList parserWarnings(icalcomponent *c)
{
    QStringList out;
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY))
        out.append(fromUtf8(icalproperty_get_xlicerror(p)));
    for (icalcomponent *sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
         sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        out += parserWarnings(sub);
    return out;
}

} // namespace

ExportResult exportEntries(const ScheduleList &list, HexCoding &coder, int first, int last)
{
    quietLibical();
    ExportResult result;
    ComponentPtr cal(icalcomponent_new_vcalendar());
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Skedra//Skedra 1.0//JA"));
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
    bool zoneUsed = false;
    const icaltimetype stamp = icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
    std::vector<icalcomponent *> events;
    QHash<QByteArray, int> sameAs;  // entries written alike so far
    for (int i = std::max(1, first); i <= std::min(MaxEntries, last); ++i) {
        const ScheduleEntry &e = list[i - 1];
        if (!e.exists())
            break;
        QString note;
        icalcomponent *c = standardComponent(e, &note);
        const Standard reading = plainTexts(e) ? readStandard(c) : readStandardAsWritten(c);
        addCarriedProperties(c, e, reading.entry);
        addCarried(c, QLatin1String(StandardCarried), QString(), fingerprint(reading.entry), false);
        if (!note.isEmpty()) {
            icalcomponent_add_property(c, icalproperty_new_comment(utf8(note).constData()));
            ++result.rulesNotAgreeing;
        }
        if (icalproperty *start = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY))
            zoneUsed = zoneUsed || isHandsetZone(tzidOf(start));
        const QByteArray key = QCryptographicHash::hash(renderVcsEntry(e, coder), QCryptographicHash::Sha1).toHex().left(32);
        const int ordinal = ++sameAs[key];
        const QByteArray uid = key + (ordinal > 1 ? '-' + QByteArray::number(ordinal) : QByteArray()) + "@skedra";
        icalcomponent_add_property(c, icalproperty_new_uid(uid.constData()));
        icalcomponent_add_property(c, icalproperty_new_dtstamp(stamp));
        events.push_back(c);
        ++result.entries;
    }
    if (zoneUsed)
        icalcomponent_add_component(cal.get(), icalparser_parse_string(HandsetZoneText));
    for (icalcomponent *c : events)
        icalcomponent_add_component(cal.get(), c);
    char *text = icalcomponent_as_ical_string_r(cal.get());
    result.bytes = QByteArray(text);
    free(text);
    return result;
}

ImportResult importIcs(ScheduleList &list, const QByteArray &bytes, const NewEntryAt &newEntry,
                       const QString &fileName)
{
    quietLibical();
    ImportResult result;
    if (bytes.size() > MaxIcsBytes) {
        result.messages.append(storeMessage(StoreCode::TooLarge, fileName));
        return result;
    }
    if (!looksLikeICalendar(bytes)) {
        result.messages.append(storeMessage(StoreCode::NotICalendar, fileName));
        return result;
    }
    if (componentDepth(bytes) > MaxComponentDepth) {
        result.messages.append(storeMessage(StoreCode::BrokenICalendar, fileName));
        return result;
    }
    const int count = list.count();
    if (count >= MaxEntries) {
        result.messages.append(storeMessage(StoreCode::ListFull, fileName));
        return result;
    }
    QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    // libical prints a few warnings of its own on stderr: they go into the
    // note with the ones it writes into the file's components.
    StderrCatcher libicalWarnings;
    ComponentPtr root(icalparser_parse_string(text.constData()));
    if (!root) {
        result.messages.append(storeMessage(StoreCode::BrokenICalendar, fileName));
        return result;
    }
    const Fallback fallback = fallbackOf(text);

    // The top-level components of every calendar in the file, and the UIDs
    // of the repeats there (components that are no single changed occurrence).
    std::vector<icalcomponent *> parts;
    for (icalcomponent *container : containersOf(root.get())) {
        if (icalcomponent_isa(container) == ICAL_VCALENDAR_COMPONENT) {
            for (icalcomponent *c = icalcomponent_get_first_component(container, ICAL_ANY_COMPONENT); c;
                 c = icalcomponent_get_next_component(container, ICAL_ANY_COMPONENT))
                parts.push_back(c);
        } else {
            parts.push_back(container);
        }
    }
    QSet<QByteArray> series;
    for (icalcomponent *c : parts) {
        const icalcomponent_kind k = icalcomponent_isa(c);
        if ((k == ICAL_VEVENT_COMPONENT || k == ICAL_VTODO_COMPONENT)
            && !icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY) && icalcomponent_get_uid(c))
            series.insert(QByteArray(icalcomponent_get_uid(c)));
    }
    // The repeats of which the file changes single occurrences.
    QSet<QByteArray> changed;
    for (icalcomponent *c : parts) {
        if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY) && icalcomponent_get_uid(c)
            && series.contains(QByteArray(icalcomponent_get_uid(c))))
            changed.insert(QByteArray(icalcomponent_get_uid(c)));
    }

    std::vector<ScheduleEntry> entries;
    int seen = 0;  // events and to-dos met so far
    bool full = false;
    {
        for (icalcomponent *c : parts) {
            const icalcomponent_kind k = icalcomponent_isa(c);
            if (k == ICAL_VTIMEZONE_COMPONENT || full)
                continue;
            if (k != ICAL_VEVENT_COMPONENT && k != ICAL_VTODO_COMPONENT) {
                ++result.skipped;
                continue;
            }
            ++seen;
            // One changed occurrence of a repeat in the file: the repeat is
            // taken as its first occurrence (a handset repeat has no changed
            // occurrences), so the change is not a new entry. Without its
            // repeat it is an event of its own.
            if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY)
                && series.contains(QByteArray(icalcomponent_get_uid(c)))) {
                ++result.skipped;
                continue;
            }
            if (count + int(entries.size()) >= MaxEntries) {
                result.messages.append(storeMessage(StoreCode::TooManyObjects, fileName, seen));
                full = true;
                continue;
            }
            const char *uid = icalcomponent_get_uid(c);
            Converted converted = convert(c, newEntry, fallback, uid && changed.contains(QByteArray(uid)));
            if (!converted.entry) {
                ++result.skipped;
                continue;
            }
            result.droppedRules += converted.droppedRule;
            result.locationsLeftOut += converted.locationLeftOut;
            result.alarmsLeftOut += converted.alarmsLeftOut;
            fitTexts(*converted.entry, result);
            entries.push_back(*converted.entry);
        }
    }
    result.warnings = parserWarnings(root.get()) + libicalWarnings.lines();
    if (entries.empty()) {
        result.messages.append(storeMessage(StoreCode::NoObjects, fileName));
        return result;
    }
    result.read = true;
    result.firstEntry = count + 1;
    for (const ScheduleEntry &e : entries)
        list[count + result.added++] = e;
    return result;
}

QString ImportResult::noteText() const
{
    // One line for each count that is not 0: the text around the number.
    const struct {
        qsizetype count;
        const char16_t *before, *after;
    } lines[] = {
        {droppedRules, u"携帯電話で表せない繰り返し", u"件は、最初の1回だけを読み込みました。"},
        {skipped, u"予定・ToDo以外の要素や開始日時のない要素など", u"件は読み込みませんでした。"},
        {locationsLeftOut, u"場所", u"件は、内容に入りきらないため読み込みませんでした。"},
        {alarmsLeftOut, u"2つ目からのアラーム", u"件は、携帯電話のアラームが1つのため読み込みませんでした。"},
        {cutSummaries, u"件名", u"件は携帯電話の長さ（全角8文字）を超えるため、保存するときに切り詰められます。"},
        {cutDescriptions, u"内容", u"件は携帯電話の長さ（全角64文字）を超えるため、保存するときに切り詰められます。"},
        {unwritableCharacters, u"Shift_JISで表せない文字", u"文字は、保存するときに「?」になります。"},
    };
    QString text;
    for (const auto &line : lines) {
        if (line.count > 0)
            text += u'\n' + QString::fromUtf16(line.before) + QString::number(line.count) + QString::fromUtf16(line.after);
    }
    if (!warnings.isEmpty())
        text += QStringLiteral("\nファイルの書式の誤り") + QString::number(warnings.size())
            + QStringLiteral("件を読み飛ばしました（最初の誤り：") + warnings.first() + QStringLiteral("）。");
    if (text.isEmpty())
        return QString();
    return QString::number(added) + QStringLiteral("件の予定を読み込みました。") + text + QStringLiteral("　　");
}

QString importNoteTitle() { return QStringLiteral("iCalendar形式の読み込み"); }

} // namespace skedra::ics
