// One month of the calendar as its month grid shows it, built from the
// schedule table, the month on display, today and the selected day; the
// steps between months; what a click on a day selects. The calendar window
// only paints what this says.
#pragma once

#include "schedule.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <array>
#include <optional>
#include <vector>

namespace skedra::calendar {

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb &) const = default;
};

// Backgrounds of the day cells.
inline constexpr Rgb SundayColour{255, 236, 227};
inline constexpr Rgb WeekdayColour{255, 255, 249};  // Monday to Friday
inline constexpr Rgb SaturdayColour{234, 234, 255};
inline constexpr Rgb TodayColour{238, 255, 249};    // over the weekday colour
inline constexpr Rgb HolidayColour = SundayColour;  // over both
// Texts of the weekday names "Sun" and "Sat".
inline constexpr Rgb SundayNameColour{255, 0, 0};
inline constexpr Rgb SaturdayNameColour{0, 0, 255};

constexpr int MonthColumns = 7; // Sunday first
constexpr int MonthRows = 7;    // row 0 holds the weekday names, rows 1-6 the weeks
constexpr int DayEntryLimit = 50; // entry numbers kept per day
constexpr int DayListLimit = 49;  // rows the day list shows at most

// The entry of a "HOLIDAY" category makes its day a holiday.
inline const QString HolidayCategory = QStringLiteral("HOLIDAY");

// A cell of the month grid.
struct GridCell {
    int column = 0;
    int row = 1;
    bool operator==(const GridCell &) const = default;
};

// Day `day` of a month whose first day has weekday `firstWeekday` (1 Sunday
// to 7 Saturday): position p = F + d + 5, column p mod 7, row p div 7.
GridCell cellOfDay(int firstWeekday, int day);

struct MonthCell {
    int day = 0;                    // 0: outside the month (or the name row)
    QString text;                   // the day number, then "\r " + summary per entry
    std::optional<Rgb> background;  // none: the grid's own
    std::optional<Rgb> foreground;  // none: the grid's own
    bool holiday = false;           // a "HOLIDAY" entry falls on the day
};

struct MonthModel {
    QDate shownMonth;
    QString caption; // "YYYY年MM月"
    std::array<std::array<MonthCell, MonthColumns>, MonthRows> cells; // [row][column]
    std::array<QString, 32> DayDates;             // [1..31]: "YYYYMMDD"; unused days empty
    std::array<std::vector<int>, 32> DayEntries;  // [1..31]: 1-based entry numbers in list order
    GridCell SelectedCell;
    QString ReferenceDate; // as given, or today as "YYYYMMDD" when it was empty

    const MonthCell &cell(GridCell c) const { return cells[size_t(c.row)][size_t(c.column)]; }
};

// Builds the month that holds `shownMonth` (sDisp). The day whose last two
// date digits equal those of `referenceDate` (today when it is empty)
// becomes the selected cell; when the month has no such day `selectedCell`
// is kept. A cell lists every entry that falls on its day; DayEntries keeps
// the first DayEntryLimit of them.
MonthModel buildMonth(const ScheduleList &list, QDate shownMonth, QDate today,
                      const QString &referenceDate, GridCell selectedCell);

// The lines a day cell shows when `fit` lines fit in it: all of `lines`
// (the day number, then one line per entry) when they fit; otherwise the
// day number, as many entry lines as leave room for one more, and
// " …他n件" for the n entries left out. The day number is always shown.
QStringList cellLines(const QStringList &lines, int fit);

// What selecting a day cell chooses (MSFlexGrid1_Click).
struct DaySelection {
    GridCell cell;
    int day;
    QString referenceDate;    // the day's "YYYYMMDD"
    std::vector<int> listed;  // the day list's entry numbers, at most DayListLimit
};

// Nothing when the cell lies outside the month (or outside the day rows):
// the previous selection stays.
std::optional<DaySelection> selectCell(const MonthModel &month, GridCell cell);

// What the day list shows: the day it lists and the entries its rows stand
// for, one a row in list order, at most DayListLimit.
struct DayList {
    QString date;              // "YYYYMMDD"; empty until a day was listed
    std::vector<int> entries;  // 1-based entry numbers
    bool operator==(const DayList &) const = default;
};

// The day list after a click on `cell` (MSFlexGrid1_Click): the cell's day
// when the cell lies in the month; otherwise the day `shown` lists, read
// afresh from `list`, so that after a change to the list (a delete moves
// the later entries up) every row still stands for the entry it shows.
DayList dayListFor(const MonthModel &month, const ScheduleList &list, GridCell cell, const DayList &shown);

enum class MonthStep { YearBack, MonthBack, MonthForward, YearForward };

// The day of the month is kept, or the target month's last day taken when it
// has no such day.
QDate stepMonth(QDate shownMonth, MonthStep step);

// The reference texts a new entry on `day` of the shown month starts from:
// "YYYY/MM/DD" and "YYYY/MM/DD hh:mm:ss".
QString referenceDateOf(QDate shownMonth, int day);
QString referenceDateTimeOf(QDate shownMonth, int day, QTime now);

} // namespace skedra::calendar
