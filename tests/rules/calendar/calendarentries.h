// Entries for the calendar tests: only the texts the calendar reads.
#pragma once

#include "schedule.h"

#include <QString>

namespace skedra::test {

struct EntryTexts {
    QString start{};  // DtStartValue
    QString end{};    // DtEndValue
    QString rule{};   // RRuleValue
    QString yearly{}; // YearlyValue
    QString summary = QStringLiteral("予定");
    QString category{}; // CategoriesValue
};

inline ScheduleEntry calendarEntry(const EntryTexts &t)
{
    ScheduleEntry e;
    e[DtStartName] = QStringLiteral("DTSTART");
    e[DtStartValue] = t.start;
    e[DtEndName] = QStringLiteral("DTEND");
    e[DtEndValue] = t.end;
    e[RRuleName] = QStringLiteral("RRULE");
    e[RRuleValue] = t.rule;
    e[YearlyName] = QStringLiteral("X-JPGSH-YEARLY");
    e[YearlyValue] = t.yearly;
    e[SummaryName] = QStringLiteral("SUMMARY");
    e[SummaryValue] = t.summary;
    e[CategoriesName] = QStringLiteral("CATEGORIES");
    e[CategoriesValue] = t.category;
    e[ComponentName] = QStringLiteral("VEVENT");
    return e;
}

} // namespace skedra::test
