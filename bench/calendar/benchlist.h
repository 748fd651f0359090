// The benchmarks' list: 500 entries, a third of them repeating (daily,
// weekly, monthly, yearly; some without an end, some with a count and no
// end), the others single or a few days long.
#pragma once

#include "occurrence.h"
#include "schedule.h"

#include <QDate>

namespace skedra::calendar::bench {

inline QString dayIn2024(int k, const QString &time)
{
    return dateText(QDate(2024, 1, 1).addDays(k % 366)) + time;
}

inline const ScheduleList &fullList()
{
    static const ScheduleList list = [] {
        ScheduleList l;
        for (int i = 0; i < MaxEntries; ++i) {
            ScheduleEntry &e = l[i];
            const int k = (i * 7919) % MaxEntries;
            const QString start = dayIn2024(k, QStringLiteral("093000"));
            e[DtStartName] = QStringLiteral("DTSTART");
            e[DtStartValue] = start;
            e[DtEndName] = QStringLiteral("DTEND");
            e[SummaryName] = QStringLiteral("SUMMARY");
            e[SummaryValue] = QStringLiteral("予定%1番 打合せ").arg(k);
            e[CategoriesName] = QStringLiteral("CATEGORIES");
            e[CategoriesValue] = k % 40 ? QStringLiteral("BUSINESS") : QStringLiteral("HOLIDAY");
            e[RRuleName] = QStringLiteral("RRULE");
            e[YearlyName] = QStringLiteral("X-JPGSH-YEARLY");
            e[ComponentName] = QStringLiteral("VEVENT");
            const int count = (k / 3) % 3 == 0 ? 0 : k % 20 + 1; // a third without an end
            const bool endless = count > 0 && k % 2;              // counted, but no end written
            switch (i % 3 ? -1 : (i / 3) % 4) {
            case 0: e[RRuleValue] = QStringLiteral("D1 #%1").arg(count); break;
            case 1: e[RRuleValue] = QStringLiteral("W1 MO #%1").arg(count); break;
            case 2: e[RRuleValue] = QStringLiteral("MP1 %1 #%2").arg(start.mid(6, 2)).arg(count); break;
            case 3: e[YearlyValue] = start.mid(4, 4); break;
            default: e[DtEndValue] = dayIn2024(k + k % 3, QStringLiteral("100000")); break;
            }
            if (!e[RRuleValue].isEmpty() && count > 0 && !endless)
                e[DtEndValue] = dayIn2024(k + count, QStringLiteral("100000"));
        }
        return l;
    }();
    return list;
}

} // namespace skedra::calendar::bench
