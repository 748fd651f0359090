// Which entries fall on a day of the calendar.
//
// Dates are compared as 8-character "YYYYMMDD" texts. An entry falls on a
// day when the day lies between its start date and its last day and its
// repeat rule picks the day:
// - yearly entries (X-JPGSH-YEARLY set): every year on the start's month
//   and day, from the start on, with no end;
// - "MP1 dd #n": the days whose day of the month is dd;
// - "W1 XX #n": the days of the weekday XX ("SU" ... "SA");
// - "D1 #n": every day;
// - no rule: every day from the start to the end (or the start alone, also
//   when the end lies before the start);
// - any other rule: no day at all.
// A repeat with the count #0 runs to 2099-12-31; any other count ends on the
// entry's end date, or, when it has none, where the count ends it.
#pragma once

#include "schedule.h"

#include <QDate>
#include <QString>

#include <vector>

namespace skedra::calendar {

// The last day the calendar shows an unlimited repeat on.
inline const QString EndOfCalendar = QStringLiteral("20991231");

// `date` as "YYYYMMDD".
QString dateText(QDate date);

// Weekday numbers count from Sunday = 1 to Saturday = 7.
int weekdayNumber(QDate date);

enum class Repeat {
    None,      // no rule: every day of its span
    Yearly,    // same month and day every year
    MonthDay,  // "MP1": one day of every month
    Weekday,   // "W1": one weekday of every week
    Daily,     // "D1": every day
    Unknown,   // any other rule: never shown
};

// A repeat rule's count: the third word of "W1" and "MP1" rules, else the
// second, without "#", read as a number (0 when it is not one). 0 means no
// end.
long long repeatCount(const QString &rule);

// The last day of a counted repeat as the editor sets the end from the count:
// start + (count - 1) days, weeks or months (a month without the start's day
// ends on its last day). Never later than EndOfCalendar; empty when `start`
// is not a date or the count is below 1.
QString lastDayFromCount(const QString &start, Repeat repeat, long long count);

// How one entry recurs, read from its texts.
struct Recurrence {
    Repeat repeat = Repeat::None;
    QString start;    // first 8 characters of DtStartValue
    QString lastDay;  // the last day it can fall on; unused for Yearly
    QString monthDay; // MonthDay: the rule's day of the month as two digits
    int weekday = 0;  // Weekday: 1 (Sunday) to 7; 0 for an unknown code
};

Recurrence recurrenceOf(const ScheduleEntry &entry);

// A day of the calendar as the rules look at it.
struct CalendarDay {
    QString date; // "YYYYMMDD"
    int weekday;  // 1 (Sunday) to 7
    static CalendarDay of(QDate date) { return {dateText(date), weekdayNumber(date)}; }
};

bool fallsOn(const Recurrence &recurrence, const CalendarDay &day);

// The entries of a list, read once, asked day by day.
class Occurrences {
public:
    explicit Occurrences(const ScheduleList &list);

    // 1-based numbers of the entries that fall on `day`, in list order.
    std::vector<int> entriesOn(const CalendarDay &day) const;

private:
    std::vector<Recurrence> m_entries; // index i is entry number i + 1
};

} // namespace skedra::calendar
