#include "monthmodel.h"

#include "occurrence.h"

#include <algorithm>

namespace skedra::calendar {

namespace {

const std::array<QString, MonthColumns> WeekdayNames = {
    QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
    QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"),
};

void writeWeekdayNames(MonthModel &month)
{
    for (int column = 0; column < MonthColumns; ++column)
        month.cells[0][size_t(column)].text = WeekdayNames[size_t(column)];
    month.cells[0][0].foreground = SundayNameColour;
    month.cells[0][MonthColumns - 1].foreground = SaturdayNameColour;
}

Rgb dayColour(int column, bool isToday, bool holiday)
{
    if (holiday)
        return HolidayColour;
    if (isToday)
        return TodayColour;
    if (column == 0)
        return SundayColour;
    if (column == MonthColumns - 1)
        return SaturdayColour;
    return WeekdayColour;
}

} // namespace

GridCell cellOfDay(int firstWeekday, int day)
{
    const int p = firstWeekday + day + 5;
    return {p % 7, p / 7};
}

MonthModel buildMonth(const ScheduleList &list, QDate shownMonth, QDate today,
                      const QString &referenceDate, GridCell selectedCell)
{
    MonthModel month;
    month.shownMonth = shownMonth;
    month.SelectedCell = selectedCell;
    month.ReferenceDate = referenceDate.isEmpty() ? dateText(today) : referenceDate;
    month.caption = shownMonth.toString(u"yyyy年MM月");
    writeWeekdayNames(month);

    const QDate first(shownMonth.year(), shownMonth.month(), 1);
    const int firstWeekday = weekdayNumber(first);
    const QString todayText = dateText(today);
    const QStringView selectedDigits = QStringView(month.ReferenceDate).right(2);
    const Occurrences occurrences(list);

    for (int d = 1; d <= first.daysInMonth(); ++d) {
        const GridCell at = cellOfDay(firstWeekday, d);
        MonthCell &cell = month.cells[size_t(at.row)][size_t(at.column)];
        const CalendarDay day = CalendarDay::of(first.addDays(d - 1));
        cell.day = d;
        cell.text = QString::number(d);
        month.DayDates[size_t(d)] = day.date;

        const std::vector<int> numbers = occurrences.entriesOn(day);
        for (int number : numbers) {
            const ScheduleEntry &entry = list[number - 1];
            cell.text += QStringLiteral("\r ") + entry[SummaryValue];
            if (entry[CategoriesValue] == HolidayCategory)
                cell.holiday = true;
        }
        month.DayEntries[size_t(d)].assign(numbers.begin(),
                                           numbers.begin() + std::min<size_t>(numbers.size(), DayEntryLimit));
        cell.background = dayColour(at.column, day.date == todayText, cell.holiday);
        if (QStringView(day.date).right(2) == selectedDigits)
            month.SelectedCell = at;
    }
    return month;
}

QStringList cellLines(const QStringList &lines, int fit)
{
    if (lines.size() <= fit)
        return lines;
    if (fit < 2)
        return lines.mid(0, 1);
    const qsizetype entries = fit - 2;
    QStringList shown = lines.mid(0, 1 + entries);
    shown << QStringLiteral(" …他%1件").arg(lines.size() - 1 - entries);
    return shown;
}

std::optional<DaySelection> selectCell(const MonthModel &month, GridCell cell)
{
    const bool inGrid = cell.row >= 1 && cell.row < MonthRows && cell.column >= 0 && cell.column < MonthColumns;
    const int day = inGrid ? month.cell(cell).day : 0;
    if (day == 0)
        return std::nullopt;
    const std::vector<int> &entries = month.DayEntries[size_t(day)];
    DaySelection selection{cell, day, month.DayDates[size_t(day)], {}};
    selection.listed.assign(entries.begin(), entries.begin() + std::min<size_t>(entries.size(), DayListLimit));
    return selection;
}

DayList dayListFor(const MonthModel &month, const ScheduleList &list, GridCell cell, const DayList &shown)
{
    if (const std::optional<DaySelection> selection = selectCell(month, cell))
        return {selection->referenceDate, selection->listed};
    const QDate day = QDate::fromString(shown.date, u"yyyyMMdd");
    if (!day.isValid())
        return shown;
    std::vector<int> entries = Occurrences(list).entriesOn(CalendarDay::of(day));
    entries.resize(std::min<size_t>(entries.size(), DayListLimit));
    return {shown.date, std::move(entries)};
}

QDate stepMonth(QDate shownMonth, MonthStep step)
{
    // Qt's month and year arithmetic keeps the day or takes the month's last.
    switch (step) {
    case MonthStep::YearBack: return shownMonth.addYears(-1);
    case MonthStep::MonthBack: return shownMonth.addMonths(-1);
    case MonthStep::MonthForward: return shownMonth.addMonths(1);
    case MonthStep::YearForward: return shownMonth.addYears(1);
    }
    return shownMonth;
}

QString referenceDateOf(QDate shownMonth, int day)
{
    return shownMonth.toString(u"yyyy/MM/") + QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
}

QString referenceDateTimeOf(QDate shownMonth, int day, QTime now)
{
    return referenceDateOf(shownMonth, day) + u' ' + now.toString(u"HH:mm:ss");
}

} // namespace skedra::calendar
