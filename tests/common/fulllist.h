// The full list of the benchmarks and the tests that print or show a long
// list: 500 varied entries, events and to-dos, Shift_JIS-coded texts, every
// category form, alarms on a third of them. Entry i has the summary
// "予定<k>番 打合せ" with k = (i * 7919) mod 500, so no two are alike.
#pragma once

#include "schedule.h"

#include <QString>

namespace skedra::test {

inline void fillFullList(ScheduleList &list)
{
    const char *cats[] = {"PERSONAL", "HOLIDAY", "TRAVEL", "BUSINESS", "MEETING", "CLUB", ""};
    for (int i = 0; i < MaxEntries; ++i) {
        ScheduleEntry &e = list[i];
        const int k = (i * 7919) % MaxEntries;
        e[DtStartName] = QStringLiteral("DTSTART");
        // Fourteen digits: "%4" followed by the seconds' "00" (a "%400"
        // would be read as the placeholder %40).
        e[DtStartValue] = QStringLiteral("2024%1%2%3%4")
                              .arg(k % 12 + 1, 2, 10, QLatin1Char('0'))
                              .arg(k % 28 + 1, 2, 10, QLatin1Char('0'))
                              .arg(k % 24, 2, 10, QLatin1Char('0'))
                              .arg(k % 4 * 15, 2, 10, QLatin1Char('0'))
                          + QStringLiteral("00");
        e[DtEndName] = QStringLiteral("DTEND");
        e[SummaryName] = QStringLiteral("SUMMARY");
        e[SummaryParams] = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
        e[SummaryValue] = QStringLiteral("予定%1番 打合せ").arg(k);
        e[DescriptionName] = QStringLiteral("DESCRIPTION");
        e[DescriptionParams] = e[SummaryParams];
        e[DescriptionValue] = QStringLiteral("会議室%1で資料を確認する").arg(k % 9);
        e[ClassName] = QStringLiteral("CLASS");
        e[ClassValue] = k % 5 ? QStringLiteral("PUBLIC") : QStringLiteral("PRIVATE");
        e[CategoriesName] = QStringLiteral("CATEGORIES");
        e[CategoriesValue] = QLatin1String(cats[k % 7]);
        if (e[CategoriesValue].isEmpty()) {
            e[CategoriesName].clear();
            e[ShCategoriesName] = QStringLiteral("X-JPGSH-CATEGORIES");
            e[ShCategoriesValue] = QString::number(k % 53 + 1);
        }
        e[DAlarmName] = QStringLiteral("DALARM");
        e[DAlarmParams] = e[SummaryParams];
        e[DAlarmValue] = k % 3 ? QStringLiteral("00000000000000;") : e[DtStartValue] + QStringLiteral(";出発");
        e[PriorityName] = QStringLiteral("PRIORITY");
        e[PriorityValue] = QString::number(k % 3);
        e[StatusName] = QStringLiteral("STATUS");
        e[StatusValue] = k % 4 ? QStringLiteral("NEEDS ACTION") : QStringLiteral("COMPLETED");
        e[ComponentName] = k % 6 ? QStringLiteral("VEVENT") : QStringLiteral("VTODO");
    }
}

} // namespace skedra::test
