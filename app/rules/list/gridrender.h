// How the schedule table is shown in the list grid: the header of each
// model, one grid row per entry (category and stamp names from
// categories.h), sorting by a column and the count panel. Widget-free.
#pragma once

#include "listgrid.h"
#include "schedule.h"

#include <QString>

namespace skedra {

// Header format string of the list grid for a handset model: the "ｽﾀﾝﾌﾟ"
// form for 601SH to 604SH, the "ｶﾃｺﾞﾘ" form for every other model.
QString headerFormatFor(const QString &modelCode);
// True for 601SH to 604SH.
bool isVModel(const QString &modelCode);

// Columns shown centred (the others are left aligned).
bool isCentredColumn(int col);

// Default column widths in twips (columns 0 to 10).
int defaultColumnWidthTwips(int col);

// "@@@@/@@/@@ @@:@@:@@" applied to a 14-digit date-time: characters fill the
// placeholders from the right, missing ones show as spaces.
QString maskDateTime(const QString &value);

// Writes columns 1 to 10 of `cells` from one entry. A value the column does
// not know (component, category or stamp, priority) leaves that cell as it
// was.
void renderRow(const ScheduleEntry &entry, ListGrid::RowTexts &cells);

// Sets CategoryCode of one entry from its category properties; an unknown
// category or stamp leaves the code as it was.
void deriveCategoryCode(ScheduleEntry &entry);

// Rewrites every data row from the table and derives each entry's
// CategoryCode; an empty list (entry 0 without a start value) is left alone.
// Never changes the number of rows.
void Grid_refresh(ScheduleList &list, ListGrid &grid);

// After a read: the grid gets one row per entry (a blank row for an empty
// list) and is rendered. `replace` clears the old rows first, as reading into
// an empty list does.
void fitGridToList(ScheduleList &list, ListGrid &grid, bool replace);

// Slot each grid column sorts by; -1 for column 0.
int sortSlotOfColumn(int col);

// Header click on column `col` (1 to 10): toggles its sort state, sorts the
// table by the column's stored value (case-insensitive text; equal keys keep
// their order), moves the "▲ " / "▼ " mark, renders the grid and puts row 1
// at the top as the current row. Column 0 has no key and does nothing.
// Returns true when it sorted.
bool sortByColumn(ScheduleList &list, ListGrid &grid, int col);

// Removes "▲ " and "▼ " from header cells `fromCol` to 10.
void removeSortMarks(ListGrid &grid, int fromCol = 0);

// The sort state of every column and the mark its header shows (0 none, 1
// "▲ ", 2 "▼ "). The two can differ: a read removes the marks and keeps the
// state.
struct SortMarks {
    std::array<int, GridColumns> state{};
    std::array<int, GridColumns> shown{};
    bool operator==(const SortMarks &) const = default;
};
SortMarks sortMarksOf(const ListGrid &grid);
void setSortMarks(ListGrid &grid, const SortMarks &marks);

// The header text of a column without its sort mark.
QString headerCaption(const ListGrid &grid, int col);

// Text of status panel 1: "全 n 件", or empty for an empty list.
QString countPanelText(const ListGrid &grid);

} // namespace skedra
