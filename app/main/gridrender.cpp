#include "gridrender.h"

#include "sjis.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace skedra {

namespace {

const QString AscMark = QStringLiteral("▲ ");
const QString DescMark = QStringLiteral("▼ ");

// Names of codes 00 to 59: no category, six categories, 53 stamps.
const std::array<const char16_t *, CategoryCodeCount> CategoryNames = {
    u"選択なし", u"個人予定", u"休日", u"旅行", u"仕事", u"ミーティング", u"クラブ・サークル",
    u"記念日", u"連絡", u"デート", u"ドライブ", u"買い物", u"食事", u"宴会", u"カラオケ",
    u"出張", u"病院", u"趣味", u"スポーツ", u"鑑賞", u"お金", u"結婚式", u"温泉", u"スノボ",
    u"映画", u"テレビ", u"野球", u"サッカー", u"パソコン", u"遊園地", u"笑顔", u"疲労",
    u"泣き顔", u"危険", u"犬", u"猫", u"花１", u"花２", u"プレゼント", u"休み", u"発表",
    u"締切り", u"海外", u"登山", u"海水浴", u"キャンプ", u"動物園", u"水族館", u"花火",
    u"お祭り", u"運動会", u"ゴルフ", u"スキー", u"プール", u"トレーニング", u"コンサート",
    u"喫茶", u"図書館", u"美容院", u"注射",
};

const std::array<const char *, 6> CategoryValues = {
    "PERSONAL", "HOLIDAY", "TRAVEL", "BUSINESS", "MEETING", "CLUB",
};

constexpr std::array<int, GridColumns> DefaultWidths = {
    300, 800, 2050, 2050, 2000, 2250, 1000, 1000, 1400, 800, 900,
};

constexpr std::array<int, GridColumns> SortSlots = {
    -1, ComponentName, SummaryValue, DtStartValue, DtEndValue, DescriptionValue,
    DAlarmValue, ClassValue, CategoryCode, PriorityValue, StatusValue,
};

} // namespace

bool isVModel(const QString &modelCode)
{
    return modelCode == QLatin1String("601SH") || modelCode == QLatin1String("602SH")
        || modelCode == QLatin1String("603SH") || modelCode == QLatin1String("604SH");
}

QString headerFormatFor(const QString &modelCode)
{
    if (isVModel(modelCode))
        return QStringLiteral("|<種別|<件名|<開始日時|<終了日時|<内容|<ｱﾗｰﾑ|<ｼｰｸﾚｯﾄ|<ｽﾀﾝﾌﾟ|<優先度|<状態");
    return QStringLiteral("|<種別|<件名|<開始日時|<終了日時|<内容|<ｱﾗｰﾑ|<ｼｰｸﾚｯﾄ|<ｶﾃｺﾞﾘ|<優先度|<状態");
}

bool isCentredColumn(int col)
{
    return col == 0 || col == 1 || col == 6 || col == 7;
}

int defaultColumnWidthTwips(int col)
{
    if (col < 0 || col >= GridColumns)
        return 0;
    return DefaultWidths[static_cast<size_t>(col)];
}

QString categoryName(int code)
{
    if (code < 0 || code >= CategoryCodeCount)
        return QString();
    return QString::fromUtf16(CategoryNames[static_cast<size_t>(code)]);
}

int categoryCodeOfCategories(const QString &categoriesValue)
{
    for (size_t i = 0; i < CategoryValues.size(); ++i) {
        if (categoriesValue == QLatin1String(CategoryValues[i]))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int categoryCodeOfStamp(const QString &stampValue)
{
    // Exactly the texts "1" to "53": no signs, blanks or leading zeros.
    if (stampValue.isEmpty() || stampValue.size() > 2 || stampValue[0] == QLatin1Char('0'))
        return 0;
    for (QChar ch : stampValue) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return 0;
    }
    const int n = stampValue.toInt();
    return n >= 1 && n <= 53 ? n + 6 : 0;
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

    if (!e[CategoriesValue].isEmpty()) {
        if (const int code = categoryCodeOfCategories(e[CategoriesValue]))
            cells[8] = categoryName(code);
    } else if (!e[ShCategoriesName].isEmpty()) {
        if (const int code = categoryCodeOfStamp(e[ShCategoriesValue]))
            cells[8] = categoryName(code);
    } else {
        cells[8] = categoryName(0);
    }

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
    if (!e[CategoriesValue].isEmpty()) {
        if (const int code = categoryCodeOfCategories(e[CategoriesValue]))
            e[CategoryCode] = ZeroPad(code, 2);
    } else if (!e[ShCategoriesName].isEmpty()) {
        if (const int code = categoryCodeOfStamp(e[ShCategoriesValue]))
            e[CategoryCode] = ZeroPad(code, 2);
    } else {
        e[CategoryCode] = QStringLiteral("00");
    }
}

void Grid_refresh(ScheduleList &list, ListGrid &grid)
{
    if (list.at(0, DtStartValue).isEmpty())
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

    std::vector<ScheduleEntry> entries;
    entries.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        entries.push_back(std::move(list[i]));
    std::stable_sort(entries.begin(), entries.end(),
                     [slot, ascending](const ScheduleEntry &a, const ScheduleEntry &b) {
                         const int c = QString::compare(a[slot], b[slot], Qt::CaseInsensitive);
                         return ascending ? c < 0 : c > 0;
                     });
    for (int i = 0; i < n; ++i)
        list[i] = std::move(entries[static_cast<size_t>(i)]);

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
