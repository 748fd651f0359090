// Which entries fall on a day: every rule checked day by day over six years
// and the last weeks before the calendar's end in 2099.
#include "calendarentries.h"
#include "occurrence.h"

#include <gtest/gtest.h>

#include <functional>

using namespace skedra;
using namespace skedra::calendar;
using namespace skedra::test;

namespace {

struct OccurrenceCase {
    const char *what;
    EntryTexts entry;
    std::function<bool(QDate)> fallsOn;
};

QDate ymd(int y, int m, int d) { return QDate(y, m, d); }
bool between(QDate d, QDate from, QDate to) { return d >= from && d <= to; }
bool isMonday(QDate d) { return d.dayOfWeek() == Qt::Monday; }

TEST(Occurrence, EachRuleFallsOnItsDays)
{
    const QDate end2099 = ymd(2099, 12, 31);
    const OccurrenceCase cases[] = {
        {"no rule, no end: the start day alone", {u"20240410093000"_qs},
         [](QDate d) { return d == ymd(2024, 4, 10); }},
        {"no rule over three days: each of them", {u"20240410093000"_qs, u"20240412100000"_qs},
         [](QDate d) { return between(d, ymd(2024, 4, 10), ymd(2024, 4, 12)); }},
        {"no rule, ending before its start (a to-do completed early): the start day",
         {u"20240410120000"_qs, u"20240409180000"_qs},
         [](QDate d) { return d == ymd(2024, 4, 10); }},
        {"D1 #0 from the 10th: every later day up to 2099-12-31",
         {u"20240410093000"_qs, u"20240410100000"_qs, u"D1 #0"_qs},
         [&](QDate d) { return between(d, ymd(2024, 4, 10), end2099); }},
        {"D1 #0 without an end", {u"20240410093000"_qs, {}, u"D1 #0"_qs},
         [&](QDate d) { return between(d, ymd(2024, 4, 10), end2099); }},
        {"D1 #5 ending on the 14th", {u"20240410093000"_qs, u"20240414100000"_qs, u"D1 #5"_qs},
         [](QDate d) { return between(d, ymd(2024, 4, 10), ymd(2024, 4, 14)); }},
        {"D1 #9 ending on the 14th: the end wins over the count",
         {u"20240410093000"_qs, u"20240414100000"_qs, u"D1 #9"_qs},
         [](QDate d) { return between(d, ymd(2024, 4, 10), ymd(2024, 4, 14)); }},
        {"D1 #5 without an end: five days from the count", {u"20240410093000"_qs, {}, u"D1 #5"_qs},
         [](QDate d) { return between(d, ymd(2024, 4, 10), ymd(2024, 4, 14)); }},
        {"D1 without a count: no end", {u"20240410093000"_qs, {}, u"D1"_qs},
         [&](QDate d) { return between(d, ymd(2024, 4, 10), end2099); }},
        {"W1 MO #0 from a Monday: Mondays only", {u"20240408093000"_qs, {}, u"W1 MO #0"_qs},
         [&](QDate d) { return isMonday(d) && between(d, ymd(2024, 4, 8), end2099); }},
        {"W1 MO #0 from a Wednesday: the Mondays after it", {u"20240410093000"_qs, {}, u"W1 MO #0"_qs},
         [&](QDate d) { return isMonday(d) && between(d, ymd(2024, 4, 15), end2099); }},
        {"W1 MO #3 without an end: three Mondays", {u"20240408093000"_qs, {}, u"W1 MO #3"_qs},
         [](QDate d) { return isMonday(d) && between(d, ymd(2024, 4, 8), ymd(2024, 4, 22)); }},
        {"W1 with an unknown weekday: nowhere", {u"20240408093000"_qs, {}, u"W1 XX #0"_qs},
         [](QDate) { return false; }},
        {"MP1 31 #0: only in months with 31 days", {u"20240131093000"_qs, {}, u"MP1 31 #0"_qs},
         [&](QDate d) { return d.day() == 31 && between(d, ymd(2024, 1, 31), end2099); }},
        {"MP1 5 #0: the day read as two digits", {u"20240105093000"_qs, {}, u"MP1 5 #0"_qs},
         [&](QDate d) { return d.day() == 5 && between(d, ymd(2024, 1, 5), end2099); }},
        {"MP1 15 #3 without an end: three months", {u"20240115093000"_qs, {}, u"MP1 15 #3"_qs},
         [](QDate d) { return d.day() == 15 && between(d, ymd(2024, 1, 15), ymd(2024, 3, 15)); }},
        {"MP1 31 #2 without an end: February has no 31st, the count ends there",
         {u"20240131093000"_qs, {}, u"MP1 31 #2"_qs},
         [](QDate d) { return d == ymd(2024, 1, 31); }},
        {"MD1 15 #0: nowhere", {u"20240115093000"_qs, {}, u"MD1 15 #0"_qs}, [](QDate) { return false; }},
        {"yearly 29 February: leap years only, from its start", {u"20240229093000"_qs, {}, {}, u"0229"_qs},
         [](QDate d) { return d.month() == 2 && d.day() == 29 && d.year() >= 2024; }},
        {"yearly 3 May, not before its start", {u"20250503093000"_qs, {}, {}, u"0503"_qs},
         [](QDate d) { return d.month() == 5 && d.day() == 3 && d.year() >= 2025; }},
        {"yearly with a rule too: the rule is not read", {u"20250503093000"_qs, {}, u"D1 #0"_qs, u"0503"_qs},
         [](QDate d) { return d.month() == 5 && d.day() == 3 && d.year() >= 2025; }},
        {"a start that is no date: nowhere", {u"2024-04-10"_qs}, [](QDate) { return false; }},
    };
    const std::pair<QDate, QDate> windows[] = {{ymd(2023, 1, 1), ymd(2028, 12, 31)},
                                               {ymd(2099, 11, 1), ymd(2100, 3, 31)}};
    for (const OccurrenceCase &c : cases) {
        const Recurrence r = recurrenceOf(calendarEntry(c.entry));
        for (const auto &[from, to] : windows) {
            for (QDate d = from; d <= to; d = d.addDays(1)) {
                if (fallsOn(r, CalendarDay::of(d)) != c.fallsOn(d)) {
                    ADD_FAILURE() << c.what << ": wrong on " << qPrintable(d.toString(Qt::ISODate));
                    break;
                }
            }
        }
    }
}

} // namespace
