// Small builders for schedule entries used by the rule tests.
#pragma once

#include "schedule.h"
#include "session.h"

#include <QString>

namespace skedra::test {

// An event as the reader leaves it: start, summary, class, alarm off.
inline ScheduleEntry makeEntry(const QString &start = QStringLiteral("20240401090000"),
                               const QString &summary = QStringLiteral("会議"))
{
    ScheduleEntry e;
    e[DtStartName] = QStringLiteral("DTSTART");
    e[DtStartValue] = start;
    e[SummaryName] = QStringLiteral("SUMMARY");
    e[SummaryValue] = summary;
    e[DAlarmName] = QStringLiteral("DALARM");
    e[DAlarmValue] = QStringLiteral("00000000000000;");
    e[ComponentName] = QStringLiteral("VEVENT");
    return e;
}

// Fills the session with `count` entries, summaries "1", "2", ...
inline void fillList(SessionState &session, int count)
{
    for (int i = 0; i < count; ++i)
        session.ScheduleList[i] = makeEntry(QStringLiteral("20240401090000"), QString::number(i + 1));
}

} // namespace skedra::test
