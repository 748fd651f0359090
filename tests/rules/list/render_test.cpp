// How entries become grid rows, the header of each model, the count panel
// and sorting by a column.
#include "gridrender.h"
#include "listgrid.h"
#include "test_entries.h"

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

ListGrid::RowTexts render(const ScheduleEntry &e, ListGrid::RowTexts cells = {})
{
    renderRow(e, cells);
    return cells;
}

} // namespace

TEST(GridRender, HeaderByModel)
{
    ListGrid grid;
    grid.setFormatString(headerFormatFor(QStringLiteral("SH53")));
    EXPECT_EQ(grid.text(0, 0), QString());
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("種別"));
    EXPECT_EQ(grid.text(0, 3), QStringLiteral("開始日時"));
    EXPECT_EQ(grid.text(0, 8), QStringLiteral("ｶﾃｺﾞﾘ"));
    EXPECT_EQ(grid.text(0, 10), QStringLiteral("状態"));
    for (const char *m : {"601SH", "602SH", "603SH", "604SH"}) {
        grid.setFormatString(headerFormatFor(QLatin1String(m)));
        EXPECT_EQ(grid.text(0, 8), QStringLiteral("ｽﾀﾝﾌﾟ")) << m;
    }
    for (const char *m : {"SH51", "SH52", "", "XYZ"}) {
        grid.setFormatString(headerFormatFor(QLatin1String(m)));
        EXPECT_EQ(grid.text(0, 8), QStringLiteral("ｶﾃｺﾞﾘ")) << m;
    }
}

TEST(GridRender, DateMaskFillsFromTheRight)
{
    EXPECT_EQ(maskDateTime(QStringLiteral("20240315093000")), QStringLiteral("2024/03/15 09:30:00"));
    EXPECT_EQ(maskDateTime(QString()), QStringLiteral("    /  /     :  :  "));
    EXPECT_EQ(maskDateTime(QStringLiteral("12")), QStringLiteral("    /  /     :  :12"));
    EXPECT_EQ(maskDateTime(QStringLiteral("X20240315093000")), QStringLiteral("X2024/03/15 09:30:00"));
}

TEST(GridRender, ColumnRules)
{
    ScheduleEntry e = entry(QStringLiteral("会議"), QStringLiteral("20240315093000"));
    e[DescriptionValue] = QStringLiteral("内容です");
    e[DtEndValue] = QStringLiteral("20240315103000");
    auto cells = render(e);
    EXPECT_EQ(cells[1], QStringLiteral("ｲﾍﾞﾝﾄ"));
    EXPECT_EQ(cells[2], QStringLiteral("会議"));
    EXPECT_EQ(cells[3], QStringLiteral("2024/03/15 09:30:00"));
    EXPECT_EQ(cells[4], QStringLiteral("2024/03/15 10:30:00"));
    EXPECT_EQ(cells[5], QStringLiteral("内容です"));
    EXPECT_EQ(cells[6], QString());
    EXPECT_EQ(cells[7], QString());
    EXPECT_EQ(cells[8], QStringLiteral("選択なし"));
    EXPECT_EQ(cells[9], QStringLiteral("未設定"));
    EXPECT_EQ(cells[10], QStringLiteral("予定"));

    e[ComponentName] = QStringLiteral("VTODO");
    e[ClassValue] = QStringLiteral("PRIVATE");
    e[PriorityValue] = QStringLiteral("1");
    e[StatusValue] = QStringLiteral("COMPLETED");
    cells = render(e);
    EXPECT_EQ(cells[1], QStringLiteral("ｱｸｼｮﾝ"));
    EXPECT_EQ(cells[7], QStringLiteral("ON"));
    EXPECT_EQ(cells[9], QStringLiteral("高"));
    EXPECT_EQ(cells[10], QStringLiteral("完了"));
    e[PriorityValue] = QStringLiteral("2");
    EXPECT_EQ(render(e)[9], QStringLiteral("低"));
    e[ClassValue] = QStringLiteral("private");  // exact text only
    EXPECT_EQ(render(e)[7], QString());
}

TEST(GridRender, AlarmIsOnUnlessExactlyAllZero)
{
    ScheduleEntry e = entry(QStringLiteral("a"));
    for (const char *v : {"", "00000000000000", "00000000000000; ", "20240101110000;起きる"}) {
        e[DAlarmValue] = QLatin1String(v);
        EXPECT_EQ(render(e)[6], QStringLiteral("ON")) << v;
    }
    e[DAlarmValue] = QStringLiteral("00000000000000;");
    EXPECT_EQ(render(e)[6], QString());
}

TEST(GridRender, UnknownValuesLeaveTheCellAsItWas)
{
    ScheduleEntry e = entry(QStringLiteral("a"));
    e[ComponentName] = QStringLiteral("VJOURNAL");
    e[PriorityValue] = QStringLiteral("3");
    e[CategoriesName] = QStringLiteral("CATEGORIES");
    e[CategoriesValue] = QStringLiteral("SPORTS");
    ListGrid::RowTexts old;
    old[1] = QStringLiteral("old1");
    old[8] = QStringLiteral("old8");
    old[9] = QStringLiteral("old9");
    auto cells = render(e, old);
    EXPECT_EQ(cells[1], QStringLiteral("old1"));
    EXPECT_EQ(cells[8], QStringLiteral("old8"));
    EXPECT_EQ(cells[9], QStringLiteral("old9"));
    EXPECT_EQ(cells[2], QStringLiteral("a"));  // the rest is rewritten
}

TEST(GridRender, CategoriesAndStamps)
{
    ScheduleEntry e = entry(QStringLiteral("a"));
    e[CategoriesName] = QStringLiteral("CATEGORIES");
    e[CategoriesValue] = QStringLiteral("MEETING");
    // A category wins over a stamp.
    e[ShCategoriesName] = QStringLiteral("X-JPGSH-CATEGORIES");
    e[ShCategoriesValue] = QStringLiteral("18");
    EXPECT_EQ(render(e)[8], QStringLiteral("ミーティング"));
    deriveCategoryCode(e);
    EXPECT_EQ(e[CategoryCode], QStringLiteral("05"));

    e[CategoriesValue].clear();
    EXPECT_EQ(render(e)[8], QStringLiteral("映画"));
    deriveCategoryCode(e);
    EXPECT_EQ(e[CategoryCode], QStringLiteral("24"));
    e[ShCategoriesValue] = QStringLiteral("1");
    EXPECT_EQ(render(e)[8], QStringLiteral("記念日"));
    e[ShCategoriesValue] = QStringLiteral("53");
    EXPECT_EQ(render(e)[8], QStringLiteral("注射"));
    deriveCategoryCode(e);
    EXPECT_EQ(e[CategoryCode], QStringLiteral("59"));

    // Unknown stamps keep both the cell and the code.
    for (const char *v : {"54", "0", "01", "", "x"}) {
        e[ShCategoriesValue] = QLatin1String(v);
        ListGrid::RowTexts old;
        old[8] = QStringLiteral("前の値");
        EXPECT_EQ(render(e, old)[8], QStringLiteral("前の値")) << v;
        deriveCategoryCode(e);
        EXPECT_EQ(e[CategoryCode], QStringLiteral("59")) << v;
    }
    // Neither a category nor a stamp name: code 00.
    e[ShCategoriesName].clear();
    EXPECT_EQ(render(e)[8], QStringLiteral("選択なし"));
    deriveCategoryCode(e);
    EXPECT_EQ(e[CategoryCode], QStringLiteral("00"));
}

TEST(GridRender, RefreshLeavesAnEmptyListAlone)
{
    SessionState s;
    ListGrid grid;
    grid.setText(1, 2, QStringLiteral("stale"));
    // Entry 0 without a start name: the list is empty, whatever it holds.
    s.ScheduleList[0] = entry(QStringLiteral("x"));
    s.ScheduleList[0][DtStartName].clear();
    Grid_refresh(s.ScheduleList, grid);
    EXPECT_EQ(grid.text(1, 2), QStringLiteral("stale"));
    EXPECT_EQ(grid.rows(), 2);
}

TEST(GridRender, CountPanel)
{
    SessionState s;
    ListGrid grid;
    EXPECT_EQ(countPanelText(grid), QString());
    fill(s, grid, 1);
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 1 件"));
    fill(s, grid, 12);
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 12 件"));
    fill(s, grid, 0);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(countPanelText(grid), QString());
}

class GridSort : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.setFormatString(headerFormatFor(QStringLiteral("SH53")));
        // Starts chosen so that text order of the shown form and of the stored
        // form differ: none here; dates compare as 14 digits.
        add(QStringLiteral("b"), QStringLiteral("20240301090000"), QStringLiteral("2"), "HOLIDAY");
        add(QStringLiteral("A"), QStringLiteral("20231231235900"), QStringLiteral("1"), "CLUB");
        add(QStringLiteral("c"), QStringLiteral("20240301090000"), QStringLiteral("0"), "PERSONAL");
        add(QStringLiteral("a"), QStringLiteral("20240101000000"), QStringLiteral("1"), nullptr);
        fitGridToList(s.ScheduleList, grid, true);
    }
    void add(const QString &summary, const QString &start, const QString &priority, const char *cat)
    {
        ScheduleEntry e = entry(summary, start);
        e[PriorityValue] = priority;
        if (cat) {
            e[CategoriesName] = QStringLiteral("CATEGORIES");
            e[CategoriesValue] = QLatin1String(cat);
        }
        s.ScheduleList[s.ScheduleList.count()] = e;
    }
    SessionState s;
    ListGrid grid;
};

TEST_F(GridSort, AscendingThenDescendingWithArrows)
{
    ASSERT_TRUE(sortByColumn(s.ScheduleList, grid, 2));
    // Case-insensitive and stable: "A" stays before "a".
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"A", "a", "b", "c"}));
    EXPECT_EQ(column(grid, 2), QStringList({"A", "a", "b", "c"}));
    EXPECT_EQ(grid.text(0, 2), QStringLiteral("▲ 件名"));

    sortByColumn(s.ScheduleList, grid, 2);
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"c", "b", "A", "a"}));
    EXPECT_EQ(grid.text(0, 2), QStringLiteral("▼ 件名"));

    sortByColumn(s.ScheduleList, grid, 2);
    EXPECT_EQ(grid.text(0, 2), QStringLiteral("▲ 件名"));

    // Another column starts ascending and takes the mark away from the first.
    sortByColumn(s.ScheduleList, grid, 9);
    EXPECT_EQ(grid.text(0, 2), QStringLiteral("件名"));
    EXPECT_EQ(grid.text(0, 9), QStringLiteral("▲ 優先度"));
    EXPECT_EQ(grid.sortState[2], 0);
    EXPECT_EQ(grid.sortState[9], 1);
    // By the stored "0"/"1"/"2", not by 未設定/高/低; equal keys keep order.
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"c", "A", "a", "b"}));
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.rowSel(), 1);
    EXPECT_EQ(grid.topRow(), 1);
}

TEST_F(GridSort, StartByStoredValueCategoryByCode)
{
    sortByColumn(s.ScheduleList, grid, 3);
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"A", "a", "b", "c"}));
    EXPECT_EQ(column(grid, 3).first(), QStringLiteral("2023/12/31 23:59:00"));
    sortByColumn(s.ScheduleList, grid, 3);
    // Descending, and b stays before c (equal starts keep their order).
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"b", "c", "a", "A"}));

    // Codes: none 00, PERSONAL 01, HOLIDAY 02, CLUB 06 (names would sort
    // differently).
    sortByColumn(s.ScheduleList, grid, 8);
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"a", "c", "b", "A"}));
    EXPECT_EQ(column(grid, 8), QStringList({"選択なし", "個人予定", "休日", "クラブ・サークル"}));
}

// Case-insensitive text as on a Japanese desktop: Latin first, kana in
// reading order with half- and full-width forms together, then kanji;
// equal keys keep their order.
TEST(GridSortJapanese, SummariesInReadingOrder)
{
    const QStringList shuffled{"会議", "ｻｰｸﾙ練習", "さくら", "abd", "いちご", "花見", "サークル", "Abc", "ｱｲｽ", "ABD"};
    SessionState s;
    ListGrid grid;
    grid.setFormatString(headerFormatFor(QStringLiteral("SH53")));
    for (int i = 0; i < shuffled.size(); ++i)
        s.ScheduleList[i] = entry(shuffled[i], QStringLiteral("20240301090000"));
    fitGridToList(s.ScheduleList, grid, true);
    sortByColumn(s.ScheduleList, grid, 2);
    EXPECT_EQ(summaries(s.ScheduleList),
              QStringList({"Abc", "abd", "ABD", "ｱｲｽ", "いちご", "ｻｰｸﾙ練習", "サークル", "さくら", "花見", "会議"}));
}

TEST_F(GridSort, ColumnZeroHasNoKey)
{
    const auto before = summaries(s.ScheduleList);
    EXPECT_FALSE(sortByColumn(s.ScheduleList, grid, 0));
    EXPECT_EQ(summaries(s.ScheduleList), before);
    EXPECT_EQ(grid.text(0, 0), QString());
}

TEST(ListGridState, NeverFewerThanTwoRows)
{
    ListGrid grid;
    EXPECT_FALSE(grid.removeRow(1));
    grid.setDataRows(0);
    EXPECT_EQ(grid.rows(), 2);
    grid.setDataRows(5);
    grid.setRow(5);
    grid.setRowSel(2);
    EXPECT_EQ(grid.bandFirst(), 2);
    EXPECT_EQ(grid.bandLast(), 5);
    grid.setDataRows(3);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(fitRowsFor(3000, 255), 7);   // 3000 / 268 = 11.19 - 4
    EXPECT_EQ(fitRowsFor(500, 255), -3);   // Int rounds down
}
