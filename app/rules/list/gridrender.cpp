#include "gridrender.h"

#include "categories.h"
#include "models.h"
#include "settings.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace skedra {

namespace {

const QString AscMark = QStringLiteral("▲ ");
const QString DescMark = QStringLiteral("▼ ");

constexpr std::array<int, GridColumns> SortSlots = {
    -1, ComponentName, SummaryValue, DtStartValue, DtEndValue, DescriptionValue,
    DAlarmValue, ClassValue, CategoryCode, PriorityValue, StatusValue,
};

} // namespace

bool isVModel(const QString &modelCode)
{
    const ModelProfile *profile = findModelProfile(modelCode);
    return profile && profile->isV();
}

QString headerFormatFor(const QString &modelCode)
{
    return modelProfileOrDefault(modelCode).headerFormat();
}

bool isCentredColumn(int col)
{
    return col == 0 || col == 1 || col == 6 || col == 7;
}

int defaultColumnWidthTwips(int col)
{
    if (col < 0 || col >= GridColumns)
        return 0;
    return SettingsStore::defaultColumnWidths()[static_cast<size_t>(col)];
}

QString maskDateTime(const QString &value)
{
    static const QString mask = QStringLiteral("@@@@/@@/@@ @@:@@:@@");
    QString out = mask;
    int src = value.size() - 1;
    for (int i = out.size() - 1; i >= 0; --i) {
        if (out[i] != QLatin1Char('@'))
            continue;
        out[i] = src >= 0 ? value[src--] : QLatin1Char(' ');
    }
    // Characters beyond the 14 placeholders stand in front.
    if (src >= 0)
        out.prepend(value.left(src + 1));
    return out;
}

void renderRow(const ScheduleEntry &e, ListGrid::RowTexts &cells)
{
    const QString &component = e[ComponentName];
    if (component == QLatin1String("VEVENT"))
        cells[1] = QStringLiteral("ｲﾍﾞﾝﾄ");
    else if (component == QLatin1String("VTODO"))
        cells[1] = QStringLiteral("ｱｸｼｮﾝ");

    cells[2] = e[SummaryValue];
    cells[3] = maskDateTime(e[DtStartValue]);
    cells[4] = maskDateTime(e[DtEndValue]);
    cells[5] = e[DescriptionValue];
    cells[6] = e[DAlarmValue] == QLatin1String("00000000000000;") ? QString()
                                                                   : QStringLiteral("ON");
    cells[7] = e[ClassValue] == QLatin1String("PRIVATE") ? QStringLiteral("ON") : QString();

    if (const std::optional<int> code = categories::codeOfEntry(e))
        cells[8] = categories::name(*code);

    const QString &priority = e[PriorityValue];
    if (priority == QLatin1String("0"))
        cells[9] = QStringLiteral("未設定");
    else if (priority == QLatin1String("1"))
        cells[9] = QStringLiteral("高");
    else if (priority == QLatin1String("2"))
        cells[9] = QStringLiteral("低");

    cells[10] = e[StatusValue] == QLatin1String("COMPLETED") ? QStringLiteral("完了")
                                                              : QStringLiteral("予定");
}

void deriveCategoryCode(ScheduleEntry &e)
{
    if (const std::optional<int> code = categories::codeOfEntry(e))
        e[CategoryCode] = categories::codeText(*code);
}

void Grid_refresh(ScheduleList &list, ListGrid &grid)
{
    if (list.isEmpty())
        return;
    const int n = list.count();
    for (int i = 0; i < n; ++i)
        deriveCategoryCode(list[i]);
    ListGrid::RowTexts cells;
    for (int r = 1; r < grid.rows() && r <= MaxEntries; ++r) {
        cells = grid.rowTexts(r);
        renderRow(list[r - 1], cells);
        for (int c = 1; c < GridColumns; ++c)
            grid.setText(r, c, cells[static_cast<size_t>(c)]);
    }
}

void fitGridToList(ScheduleList &list, ListGrid &grid, bool replace)
{
    const int n = list.count();
    if (replace || n == 0)
        grid.clearToBlank();
    grid.setDataRows(n);
    Grid_refresh(list, grid);
}

int sortSlotOfColumn(int col)
{
    if (col < 0 || col >= GridColumns)
        return -1;
    return SortSlots[static_cast<size_t>(col)];
}

void removeSortMarks(ListGrid &grid, int fromCol)
{
    for (int c = std::max(fromCol, 0); c < GridColumns; ++c) {
        QString t = grid.text(0, c);
        t.remove(AscMark);
        t.remove(DescMark);
        grid.setText(0, c, t);
    }
}

SortMarks sortMarksOf(const ListGrid &grid)
{
    SortMarks marks;
    marks.state = grid.sortState;
    for (int c = 0; c < GridColumns; ++c) {
        const QString &t = grid.text(0, c);
        marks.shown[size_t(c)] = t.startsWith(AscMark) ? 1 : t.startsWith(DescMark) ? 2 : 0;
    }
    return marks;
}

void setSortMarks(ListGrid &grid, const SortMarks &marks)
{
    grid.sortState = marks.state;
    removeSortMarks(grid);
    for (int c = 0; c < GridColumns; ++c) {
        const int shown = marks.shown[size_t(c)];
        if (shown != 0)
            grid.setText(0, c, (shown == 1 ? AscMark : DescMark) + grid.text(0, c));
    }
}

QString headerCaption(const ListGrid &grid, int col)
{
    QString t = grid.text(0, col);
    t.remove(AscMark);
    t.remove(DescMark);
    return t;
}

bool sortByColumn(ScheduleList &list, ListGrid &grid, int col)
{
    const int slot = sortSlotOfColumn(col);
    if (slot < 0)
        return false;

    const bool ascending = grid.sortState[static_cast<size_t>(col)] != 1;
    grid.sortState.fill(0);
    grid.sortState[static_cast<size_t>(col)] = ascending ? 1 : 2;

    // The key of CategoryCode must be current before it is compared.
    const int n = list.count();
    for (int i = 0; i < n; ++i)
        deriveCategoryCode(list[i]);

    // Case-insensitive text as a Japanese desktop compares it: kana in
    // reading order with their half- and full-width forms together. Equal
    // keys keep their order.
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(n));
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        keys.push_back(collator.sortKey(list[i][slot]));
        order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&keys, ascending](int a, int b) {
        const int c = keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]);
        return ascending ? c < 0 : c > 0;
    });
    // The entries move as a whole, so whatever follows one (a find hit)
    // follows it to its new row.
    list.reorder(order);

    removeSortMarks(grid);
    grid.setText(0, col, (ascending ? AscMark : DescMark) + grid.text(0, col));

    Grid_refresh(list, grid);
    grid.setTopRow(1);
    grid.setRow(1);
    return true;
}

QString countPanelText(const ListGrid &grid)
{
    if (grid.rows() == 2 && grid.text(1, 1).isEmpty())
        return QString();
    return QStringLiteral("全 %1 件").arg(grid.dataRows());
}

} // namespace skedra
