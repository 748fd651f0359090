#include "search.h"

#include "gridrender.h"

namespace skedra {

std::vector<int> findRows(const ListGrid &grid, int column, const QString &text, FindMatch match)
{
    std::vector<int> rows;
    if (text.isEmpty() || column < 0 || column >= GridColumns)
        return rows;
    const QString wanted = text.toUpper();
    for (int r = 1; r <= grid.lastRow() && int(rows.size()) < MaxFoundRows; ++r) {
        const QString cell = grid.text(r, column).toUpper();
        const bool hit = match == FindMatch::Whole ? cell == wanted : cell.contains(wanted);
        if (hit)
            rows.push_back(r);
    }
    return rows;
}

QString findCaption(int column)
{
    switch (column) {
    case 2: return QStringLiteral("件名で検索");
    case 3: return QStringLiteral("開始日時で検索");
    case 4: return QStringLiteral("終了日時で検索");
    case 5: return QStringLiteral("内容で検索");
    default: return QStringLiteral("検索");
    }
}

bool findUsesInputMethod(int column)
{
    return column == 2 || column == 5;
}

std::array<QString, 4> foundRowTexts(const ScheduleEntry &entry)
{
    return {entry[SummaryValue], maskDateTime(entry[DtStartValue]), maskDateTime(entry[DtEndValue]),
            entry[DescriptionValue]};
}

QString foundCountText(int count)
{
    return QString::number(count) + QStringLiteral(" 件見つかりました｡");
}

std::vector<EntryKey> foundEntries(const ScheduleList &list, const std::vector<int> &rows)
{
    std::vector<EntryKey> entries;
    entries.reserve(rows.size());
    for (int row : rows)
        entries.push_back(list.keyAt(row - 1));
    return entries;
}

bool showFoundEntry(const ScheduleList &list, ListGrid &grid, EntryKey entry)
{
    const int row = list.indexOf(entry) + 1;
    if (row < 1 || row > grid.lastRow())
        return false;
    grid.setRow(row);
    grid.setTopRow(row);
    return true;
}

} // namespace skedra
