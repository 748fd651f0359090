// Finding entries of the main list by the text one of its columns shows:
// summary (column 2), start (3), end (4) or description (5). The search
// reads the grid's cells, so dates are found as the list lays them out
// ("2003/06/01 10:00:00"), and it ignores case on both sides.
#pragma once

#include "listgrid.h"
#include "schedule.h"

#include <QString>

#include <array>
#include <vector>

namespace skedra {

// At most this many hits are kept (one per entry of a full list).
constexpr int MaxFoundRows = 500;

enum class FindMatch {
    Partial,  // the text occurs anywhere in the cell
    Whole,    // the cell is the text
};

// Grid rows (1-based, ascending) whose column `column` matches `text`. An
// empty text finds nothing.
std::vector<int> findRows(const ListGrid &grid, int column, const QString &text, FindMatch match);

// Caption of the find dialog for a column: "件名で検索" for 2, ... "検索" for
// any other column.
QString findCaption(int column);

// Whether typing in the find dialog goes through the input method: on for
// the text columns (summary, description), off for the dates.
bool findUsesInputMethod(int column);

// The four texts a hit shows in the results list: summary, start, end
// (through the list's date mask) and description.
std::array<QString, 4> foundRowTexts(const ScheduleEntry &entry);

// The results label: "3 件見つかりました｡".
QString foundCountText(int count);

// The entries of the rows a search found. A hit stands for its entry from
// then on, wherever sorting, moving, adding or deleting take it.
std::vector<EntryKey> foundEntries(const ScheduleList &list, const std::vector<int> &rows);

// Moves the list to the entry of a hit: the entry's row becomes the current
// row and the top row, the selection that one row. A hit whose entry was
// deleted since changes nothing and gives false.
bool showFoundEntry(const ScheduleList &list, ListGrid &grid, EntryKey entry);

} // namespace skedra
