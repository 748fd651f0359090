// The month grid's model: where each day sits, what its cell says and how it
// is coloured, which cell is selected, and the steps between months.
#include "calendarentries.h"
#include "monthmodel.h"

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::calendar;
using namespace skedra::test;

namespace {

ScheduleList listOf(std::initializer_list<EntryTexts> entries)
{
    ScheduleList list;
    int i = 0;
    for (const EntryTexts &e : entries)
        list[i++] = calendarEntry(e);
    return list;
}

MonthModel monthOf(const ScheduleList &list, QDate shown, QDate today = QDate(2000, 1, 1),
                   const QString &reference = {}, GridCell selected = {})
{
    return buildMonth(list, shown, today, reference, selected);
}

TEST(MonthModel, DaysSitAtTheirPositions)
{
    struct Case { int year, month, day; GridCell cell; };
    const Case cases[] = {
        {2023, 10, 1, {0, 1}},  // the month starts on a Sunday
        {2023, 10, 31, {2, 5}},
        {2022, 10, 1, {6, 1}},  // a 31-day month starting on a Saturday
        {2022, 10, 30, {0, 6}},
        {2022, 10, 31, {1, 6}},
        {2024, 2, 29, {4, 5}},
    };
    const ScheduleList empty;
    for (const Case &c : cases) {
        const MonthModel month = monthOf(empty, QDate(c.year, c.month, 15));
        const MonthCell &cell = month.cell(c.cell);
        EXPECT_EQ(cell.day, c.day) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(cell.text, QString::number(c.day));
        EXPECT_EQ(month.DayDates[size_t(c.day)], QDate(c.year, c.month, c.day).toString(u"yyyyMMdd"));
    }
    const MonthModel february = monthOf(empty, QDate(2023, 2, 1));
    EXPECT_TRUE(february.DayDates[29].isEmpty());
    EXPECT_EQ(february.caption, u"2023年02月"_qs);
}

TEST(MonthModel, CellsListTheDaysEntriesInListOrder)
{
    const ScheduleList list = listOf({
        {u"20240415100000"_qs, {}, {}, {}, u"会議"_qs},
        {u"20240410070000"_qs, {}, u"D1 #0"_qs, {}, u"散歩"_qs},
        {u"20240429000000"_qs, {}, {}, {}, u"昭和の日"_qs, u"HOLIDAY"_qs},
        {u"20240415180000"_qs, u"20240416120000"_qs, {}, {}, u"旅行"_qs},
    });
    const MonthModel april = monthOf(list, QDate(2024, 4, 1), QDate(2024, 4, 15), u"20240415"_qs);
    const MonthCell &fifteenth = april.cell({1, 3});
    EXPECT_EQ(fifteenth.text, u"15\r 会議\r 散歩\r 旅行"_qs);
    EXPECT_EQ(april.DayEntries[15], (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(april.cell({2, 2}).text, u"9"_qs);
    EXPECT_TRUE(april.DayEntries[9].empty());

    const std::optional<DaySelection> chosen = selectCell(april, {1, 3});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->day, 15);
    EXPECT_EQ(chosen->referenceDate, u"20240415"_qs);
    EXPECT_EQ(chosen->listed, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(april.SelectedCell, (GridCell{1, 3}));
}

TEST(MonthModel, ACellShowsWholeLinesAndCountsTheRest)
{
    const QStringList three = {u"15"_qs, u" 会議"_qs, u" 散歩"_qs, u" 旅行"_qs};
    struct Case { int fit; QStringList lines; };
    const Case cases[] = {
        {5, three},
        {4, three},
        {3, {u"15"_qs, u" 会議"_qs, u" …他2件"_qs}},
        {2, {u"15"_qs, u" …他3件"_qs}},
        {1, {u"15"_qs}},
        {0, {u"15"_qs}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cellLines(three, c.fit), c.lines) << c.fit << " lines fit";
    EXPECT_EQ(cellLines({u"9"_qs}, 0), QStringList{u"9"_qs}) << "a day without entries";
}

TEST(MonthModel, CellColours)
{
    const ScheduleList list = listOf({
        {u"20240429000000"_qs, {}, {}, {}, u"昭和の日"_qs, u"HOLIDAY"_qs},
    });
    struct Case { const char *what; QDate today; int day; Rgb background; };
    const Case cases[] = {
        {"Sunday", QDate(2024, 4, 1), 7, {255, 236, 227}},
        {"Monday to Friday", QDate(2024, 4, 1), 10, {255, 255, 249}},
        {"Saturday", QDate(2024, 4, 1), 13, {234, 234, 255}},
        {"today over the weekday colour", QDate(2024, 4, 13), 13, {238, 255, 249}},
        {"a holiday on a Monday", QDate(2024, 4, 1), 29, {255, 236, 227}},
        {"a holiday over today", QDate(2024, 4, 29), 29, {255, 236, 227}},
    };
    for (const Case &c : cases) {
        const MonthModel april = monthOf(list, QDate(2024, 4, 1), c.today);
        const GridCell at = cellOfDay(2, c.day); // April 2024 starts on a Monday
        EXPECT_EQ(april.cell(at).background, c.background) << c.what;
    }
    const MonthModel april = monthOf(list, QDate(2024, 4, 1));
    EXPECT_EQ(april.cell({0, 1}).day, 0);
    EXPECT_EQ(april.cell({0, 1}).background, std::nullopt) << "outside the month";
    EXPECT_EQ(april.cells[0][0].text, u"Sun"_qs);
    EXPECT_EQ(april.cells[0][0].foreground, (Rgb{255, 0, 0}));
    EXPECT_EQ(april.cells[0][6].text, u"Sat"_qs);
    EXPECT_EQ(april.cells[0][6].foreground, (Rgb{0, 0, 255}));
    EXPECT_EQ(april.cells[0][3].foreground, std::nullopt);
}

TEST(MonthModel, StepsKeepTheDayOrTakeTheMonthsLast)
{
    struct Case { QDate from; MonthStep step; QDate to; };
    const Case cases[] = {
        {QDate(2024, 1, 15), MonthStep::MonthForward, QDate(2024, 2, 15)},
        {QDate(2024, 1, 31), MonthStep::MonthForward, QDate(2024, 2, 29)},
        {QDate(2023, 3, 31), MonthStep::MonthBack, QDate(2023, 2, 28)},
        {QDate(2024, 12, 31), MonthStep::MonthForward, QDate(2025, 1, 31)},
        {QDate(2024, 1, 10), MonthStep::MonthBack, QDate(2023, 12, 10)},
        {QDate(2024, 2, 29), MonthStep::YearForward, QDate(2025, 2, 28)},
        {QDate(2024, 2, 29), MonthStep::YearBack, QDate(2023, 2, 28)},
        {QDate(2024, 5, 3), MonthStep::YearBack, QDate(2023, 5, 3)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(stepMonth(c.from, c.step), c.to) << qPrintable(c.from.toString(Qt::ISODate));
}

TEST(MonthModel, SelectionAfterAStepFromThe31st)
{
    struct Case { int year; GridCell january31; int februaryDay; };
    const Case cases[] = {
        {2025, {5, 5}, 28}, // the cell holds 28 February
        {2026, {6, 5}, 0},  // the cell is empty: the day list stays
    };
    const ScheduleList empty;
    for (const Case &c : cases) {
        const QDate january(c.year, 1, 31);
        const MonthModel jan = monthOf(empty, january, january);
        EXPECT_EQ(jan.SelectedCell, c.january31);
        EXPECT_EQ(jan.ReferenceDate, january.toString(u"yyyyMMdd")) << "empty means today";
        const MonthModel feb = monthOf(empty, stepMonth(january, MonthStep::MonthForward), january,
                                       jan.ReferenceDate, jan.SelectedCell);
        EXPECT_EQ(feb.SelectedCell, c.january31) << c.year;
        const std::optional<DaySelection> chosen = selectCell(feb, feb.SelectedCell);
        EXPECT_EQ(chosen ? chosen->day : 0, c.februaryDay) << c.year;
    }
}

// A step to a month without the selected day keeps an empty cell selected
// and the day list on the old day. Deleting from that list must delete the
// entry a row shows, also after an earlier delete moved the later entries
// up.
TEST(MonthModel, DayListRowsStandForTheirEntriesAfterAStepAndDeletes)
{
    struct Road { const char *what; QDate from; MonthStep step; QString listedDay; };
    const Road roads[] = {
        {"forward from 31 January", QDate(2026, 1, 31), MonthStep::MonthForward, u"20260131"_qs},
        {"back from 31 March", QDate(2026, 3, 31), MonthStep::MonthBack, u"20260331"_qs},
    };
    for (const Road &road : roads) {
        ScheduleList list = listOf({
            {road.listedDay + u"090000"_qs, {}, {}, {}, u"A"_qs},
            {road.listedDay + u"100000"_qs, {}, {}, {}, u"B"_qs},
            {u"20260305090000"_qs, {}, {}, {}, u"C"_qs},
        });
        const MonthModel before = monthOf(list, road.from, road.from);
        DayList shown = dayListFor(before, list, before.SelectedCell, {});
        ASSERT_EQ(shown, (DayList{road.listedDay, {1, 2}})) << road.what;

        const QDate february = stepMonth(road.from, road.step);
        auto rebuild = [&] {
            const MonthModel month = monthOf(list, february, road.from, before.ReferenceDate, before.SelectedCell);
            EXPECT_EQ(month.cell(month.SelectedCell).day, 0) << road.what << ": the kept cell is empty";
            shown = dayListFor(month, list, month.SelectedCell, shown);
        };
        rebuild();
        EXPECT_EQ(shown, (DayList{road.listedDay, {1, 2}})) << road.what << ": the list keeps the old day";

        list.removeAt(shown.entries[0] - 1); // the row showing A
        rebuild();
        ASSERT_EQ(shown.entries.size(), 1u) << road.what;
        EXPECT_EQ(list.at(shown.entries[0] - 1, SummaryValue), u"B"_qs) << road.what;

        list.removeAt(shown.entries[0] - 1); // the row showing B
        rebuild();
        EXPECT_TRUE(shown.entries.empty()) << road.what;
        EXPECT_EQ(list.count(), 1) << road.what;
        EXPECT_EQ(list.at(0, SummaryValue), u"C"_qs) << road.what;
    }
}

TEST(MonthModel, ADayKeepsFiftyEntriesAndListsFortyNine)
{
    ScheduleList list;
    for (int i = 0; i < 60; ++i)
        list[i] = calendarEntry({u"20240415100000"_qs, {}, {}, {}, QString::number(i + 1)});
    const MonthModel april = monthOf(list, QDate(2024, 4, 1));
    EXPECT_EQ(april.cell({1, 3}).text.count(u'\r'), 60) << "the cell shows every entry";
    EXPECT_EQ(april.DayEntries[15].size(), 50u);
    EXPECT_EQ(selectCell(april, {1, 3})->listed.size(), 49u);
}

TEST(MonthModel, AddOnADayStartsFromThatDay)
{
    EXPECT_EQ(referenceDateOf(QDate(2024, 4, 20), 15), u"2024/04/15"_qs);
    EXPECT_EQ(referenceDateTimeOf(QDate(2024, 4, 20), 5, QTime(9, 7, 3)), u"2024/04/05 09:07:03"_qs);
}

} // namespace
