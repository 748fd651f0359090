// Small builders of schedule entries for the main-window tests.
#pragma once

#include "gridrender.h"
#include "listgrid.h"
#include "schedule.h"
#include "session.h"

#include <QString>

#include <ostream>

// Test failures show texts as texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace skedra::test {

// An event with a start, a summary and the values that render plainly.
inline ScheduleEntry entry(const QString &summary, const QString &start = QStringLiteral("20240101120000"))
{
    ScheduleEntry e;
    e[DtStartName] = QStringLiteral("DTSTART");
    e[DtStartValue] = start;
    e[DtEndName] = QStringLiteral("DTEND");
    e[SummaryName] = QStringLiteral("SUMMARY");
    e[SummaryValue] = summary;
    e[DAlarmName] = QStringLiteral("DALARM");
    e[DAlarmValue] = QStringLiteral("00000000000000;");
    e[ClassName] = QStringLiteral("CLASS");
    e[ClassValue] = QStringLiteral("PUBLIC");
    e[PriorityName] = QStringLiteral("PRIORITY");
    e[PriorityValue] = QStringLiteral("0");
    e[StatusName] = QStringLiteral("STATUS");
    e[StatusValue] = QStringLiteral("NEEDS ACTION");
    e[ComponentName] = QStringLiteral("VEVENT");
    return e;
}

// Fills the list with entries "1" to "n" and gives the grid one row each.
inline void fill(SessionState &state, ListGrid &grid, int n)
{
    state.ScheduleList.clear();
    for (int i = 0; i < n; ++i)
        state.ScheduleList[i] = entry(QString::number(i + 1),
                                      QStringLiteral("202401%1").arg(i + 1, 2, 10, QLatin1Char('0'))
                                          + QStringLiteral("120000"));
    fitGridToList(state.ScheduleList, grid, true);
}

// Summaries of the list in order.
inline QStringList summaries(const ScheduleList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.at(i, SummaryValue));
    return out;
}

// Column 2 of every data row.
inline QStringList column(const ListGrid &grid, int col)
{
    QStringList out;
    for (int r = 1; r < grid.rows(); ++r)
        out.append(grid.text(r, col));
    return out;
}

} // namespace skedra::test
