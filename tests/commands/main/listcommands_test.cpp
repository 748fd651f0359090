// Delete, move, select all, delete completed, header clicks and the edit
// hand-off, on the table and the grid together.
#include "listcommands.h"
#include "scripted_dialogs.h"
#include "test_entries.h"

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class ListCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { grid.setFormatString(headerFormatFor(s.ModelCode)); }
    void select(int row, int rowSel)
    {
        grid.setRow(row);
        grid.setRowSel(rowSel);
    }
    // Grid rows must always match the entries they show.
    void expectGridMatchesList()
    {
        const int n = s.ScheduleList.count();
        ASSERT_EQ(grid.rows(), std::max(n, 1) + 1);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(grid.text(i + 1, 2), s.ScheduleList.at(i, SummaryValue)) << i;
    }

    SessionState s;
    ListGrid grid;
    ScriptedDialogs dialogs;
    RecordingHooks hooks;
    ListHistory history{s, grid, hooks};
    ListCommands cmd{s, grid, dialogs, hooks, history};
};

} // namespace

TEST_F(ListCommandsTest, DeleteRowsThreeToFiveOfTen)
{
    fill(s, grid, 10);
    select(5, 3);  // selected upwards
    dialogs.answers = {Answer::Yes};
    cmd.deleteRows();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("確認"));
    EXPECT_EQ(dialogs.last().text, QStringLiteral("削除してよろしいですか？　　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNo);

    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(grid.rows(), 8);
    expectGridMatchesList();
    EXPECT_EQ(grid.row(), 3);
    EXPECT_TRUE(grid.singleRowSelected());
    EXPECT_TRUE(s.isDirty());
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 7 件"));
    EXPECT_GE(hooks.countPanelUpdates, 1);
}

TEST_F(ListCommandsTest, DeleteAtTheEndMovesToTheLastRow)
{
    fill(s, grid, 6);
    grid.setTopRow(4);
    select(5, 6);
    dialogs.answers = {Answer::Yes};
    cmd.deleteRows();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.rowSel(), 4);
    EXPECT_EQ(grid.topRow(), 4);
    expectGridMatchesList();
}

TEST_F(ListCommandsTest, DeleteTheOnlyEntryLeavesOneBlankRow)
{
    fill(s, grid, 1);
    dialogs.answers = {Answer::Yes};
    cmd.deleteRows();
    EXPECT_EQ(s.ScheduleList.count(), 0);
    EXPECT_EQ(grid.rows(), 2);
    for (int c = 1; c < GridColumns; ++c)
        EXPECT_TRUE(grid.text(1, c).isEmpty()) << c;
    EXPECT_EQ(countPanelText(grid), QString());

    // On the empty list nothing is asked.
    dialogs.messages.clear();
    cmd.deleteRows();
    cmd.deleteCompleted();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ListCommandsTest, DeleteAnsweredNoChangesNothing)
{
    fill(s, grid, 3);
    select(2, 2);
    dialogs.answers = {Answer::No};
    cmd.deleteRows();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3"}));
    EXPECT_FALSE(s.isDirty());
    expectGridMatchesList();
}

TEST_F(ListCommandsTest, MoveUpRowsTwoToThree)
{
    fill(s, grid, 3);
    select(2, 3);
    cmd.moveUp();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"2", "3", "1"}));
    expectGridMatchesList();
    EXPECT_EQ(grid.bandFirst(), 1);
    EXPECT_EQ(grid.bandLast(), 2);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.rowSel(), 2);
    EXPECT_TRUE(s.isDirty());

    // At the top: nothing moves, but the list counts as changed.
    s.Dirty = QStringLiteral("0");
    cmd.moveUp();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"2", "3", "1"}));
    EXPECT_TRUE(s.isDirty());
}

TEST_F(ListCommandsTest, MoveDownAndBack)
{
    fill(s, grid, 5);
    select(3, 2);
    cmd.moveDown();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "4", "2", "3", "5"}));
    expectGridMatchesList();
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.rowSel(), 3);
    cmd.moveDown();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "4", "5", "2", "3"}));
    cmd.moveDown();  // touches the last row: no change
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "4", "5", "2", "3"}));
    cmd.moveUp();
    cmd.moveUp();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3", "4", "5"}));
    expectGridMatchesList();
}

TEST_F(ListCommandsTest, MoveKeepsTheBandInView)
{
    fill(s, grid, 30);
    grid.setFitRows(5);
    grid.setTopRow(1);
    select(6, 6);
    cmd.moveDown();  // row 7 lies beyond 1 + 5: scroll one row
    EXPECT_EQ(grid.topRow(), 2);
    cmd.moveDown();
    EXPECT_EQ(grid.topRow(), 3);

    grid.setTopRow(10);
    select(10, 11);
    cmd.moveUp();  // the band's first row would leave the view
    EXPECT_EQ(grid.row(), 9);
    EXPECT_LE(grid.topRow(), 9);
    grid.setTopRow(3);
    select(12, 12);
    cmd.moveUp();  // top + 1 < first: the view follows by one row
    EXPECT_EQ(grid.topRow(), 2);
}

TEST_F(ListCommandsTest, SelectAllDoesNotMarkChanged)
{
    fill(s, grid, 4);
    select(2, 2);
    cmd.selectAll();
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.rowSel(), 4);
    EXPECT_FALSE(s.isDirty());
}

TEST_F(ListCommandsTest, DeleteCompleted)
{
    fill(s, grid, 5);
    s.ScheduleList.at(1, StatusValue) = QStringLiteral("COMPLETED");
    s.ScheduleList.at(3, StatusValue) = QStringLiteral("COMPLETED");
    s.ScheduleList.at(4, StatusValue) = QStringLiteral("completed");  // not the exact text
    dialogs.answers = {Answer::Yes};
    cmd.deleteCompleted();
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("状態が『完了』の予定を全て削除します。　　　\nよろしいですか？"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "3", "5"}));
    expectGridMatchesList();
    EXPECT_TRUE(s.isDirty());
}

TEST_F(ListCommandsTest, DeleteCompletedCanEmptyTheList)
{
    fill(s, grid, 3);
    for (int i = 0; i < 3; ++i)
        s.ScheduleList.at(i, StatusValue) = QStringLiteral("COMPLETED");
    dialogs.answers = {Answer::Yes};
    cmd.deleteCompleted();
    EXPECT_EQ(s.ScheduleList.count(), 0);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_TRUE(grid.text(1, 2).isEmpty());
    EXPECT_EQ(countPanelText(grid), QString());
}

TEST_F(ListCommandsTest, HeaderClickMarksChangedAndSorts)
{
    fill(s, grid, 3);
    EXPECT_TRUE(cmd.headerClick(3));
    EXPECT_TRUE(s.isDirty());
    EXPECT_EQ(hooks.busyOn, 1);
    EXPECT_EQ(hooks.busyOff, 1);
    EXPECT_TRUE(cmd.headerClick(3));
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"3", "2", "1"}));
    s.Dirty = QStringLiteral("0");
    EXPECT_FALSE(cmd.headerClick(0));
    EXPECT_FALSE(s.isDirty());
}

TEST_F(ListCommandsTest, EditHandOffAddsMissingHandsetProperties)
{
    fill(s, grid, 3);
    s.ScheduleList.at(1, NoAutoDelName) = QStringLiteral("X-JPGSH-NOAUTODEL");
    s.ScheduleList.at(1, NoAutoDelValue) = QStringLiteral("ON");
    select(2, 2);
    s.ModelCode = QStringLiteral("603SH");
    const ScheduleEntry before = s.ScheduleList[1];
    EXPECT_FALSE(cmd.editRow(QDateTime::currentDateTime()));  // no editor yet
    EXPECT_EQ(s.EditIndex, 2);
    EXPECT_EQ(s.EditMode, QStringLiteral("edit"));
    const ScheduleEntry &w = s.WorkEntry;
    EXPECT_EQ(w[SummaryValue], QStringLiteral("2"));
    EXPECT_EQ(w[CmbltNoName], QStringLiteral("X-JPGSH-CMBLT-NO"));
    EXPECT_EQ(w[CmbltNoValue], QStringLiteral("ON1;0;3"));
    EXPECT_EQ(w[ShAlarmValue], QStringLiteral("00000000000000"));
    EXPECT_EQ(w[NoAutoDelValue], QStringLiteral("ON"));  // present: kept
    EXPECT_EQ(w[NoDispDefWinValue], QStringLiteral("ON"));
    EXPECT_EQ(w[CalColorName], QStringLiteral("X-JPGSH-CALCOLOR"));
    EXPECT_EQ(w[PreAlarmValue], QStringLiteral("OFF"));
    EXPECT_EQ(w[SnoozeValue], QStringLiteral("OFF;PT5M"));
    EXPECT_EQ(w[AttachName], QStringLiteral("X-JPGSH-ATTACH"));
    EXPECT_EQ(w[AttachParams], QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file="));
    EXPECT_EQ(s.ScheduleList[1], before);  // the list itself is untouched
    EXPECT_FALSE(s.isDirty());

    s.ModelCode = QStringLiteral("SH51");
    cmd.prepareEdit(QDateTime::currentDateTime());
    EXPECT_TRUE(s.WorkEntry[CmbltNoName].isEmpty());
    EXPECT_TRUE(s.WorkEntry[ShAlarmName].isEmpty());
}

TEST_F(ListCommandsTest, EditOnAnEmptyListStartsFromANewEntry)
{
    s.ModelCode = QStringLiteral("SH53");
    cmd.prepareEdit(QDateTime(QDate(2024, 5, 6), QTime(23, 50, 30)));
    EXPECT_EQ(s.EditIndex, 1);
    EXPECT_EQ(s.EditMode, QStringLiteral("edit"));
    EXPECT_EQ(s.WorkEntry[DtStartName], QStringLiteral("DTSTART"));
    EXPECT_EQ(s.WorkEntry[DtStartValue], QStringLiteral("20240507000000"));
    EXPECT_EQ(s.WorkEntry[ComponentName], QStringLiteral("VEVENT"));
    EXPECT_EQ(s.WorkEntry[DAlarmValue], QStringLiteral("00000000000000;"));
    EXPECT_TRUE(s.WorkEntry[ShAlarmName].isEmpty());  // J model

    int calls = 0;
    cmd.editorHook = [&](SessionState &st) {
        ++calls;
        st.ScheduleList[st.EditIndex - 1] = st.WorkEntry;
        st.markDirty();
    };
    EXPECT_TRUE(cmd.editRow(QDateTime::currentDateTime()));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(grid.text(1, 1), QStringLiteral("ｲﾍﾞﾝﾄ"));
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 1 件"));
}

TEST(NewEntry, StartMomentRoundsUpToQuarterHours)
{
    const QDate d(2024, 12, 31);
    EXPECT_EQ(startMoment(QDateTime(d, QTime(10, 0, 30))), QStringLiteral("20241231100000"));
    EXPECT_EQ(startMoment(QDateTime(d, QTime(10, 1))), QStringLiteral("20241231101500"));
    EXPECT_EQ(startMoment(QDateTime(d, QTime(10, 15))), QStringLiteral("20241231101500"));
    EXPECT_EQ(startMoment(QDateTime(d, QTime(10, 31))), QStringLiteral("20241231104500"));
    EXPECT_EQ(startMoment(QDateTime(d, QTime(10, 46))), QStringLiteral("20241231110000"));
    EXPECT_EQ(startMoment(QDateTime(d, QTime(23, 50))), QStringLiteral("20250101000000"));
}

TEST(NewEntry, AlarmFromDefaults)
{
    EntryDefaults d;
    d.ArarmOnOff = QStringLiteral("ON");
    d.ArarmDate = QStringLiteral("-10");
    d.ArarmMes = QStringLiteral("出発");
    d.Stamp = QStringLiteral("18");
    const QDateTime ref(QDate(2024, 3, 1), QTime(12, 0));
    ScheduleEntry v = makeNewEntry(QStringLiteral("601SH"), d, ref);
    EXPECT_EQ(v[DAlarmValue], QStringLiteral("20240301115000;出発"));
    EXPECT_EQ(v[ShAlarmValue], QStringLiteral("20240301115000"));
    EXPECT_EQ(v[ShCategoriesValue], QStringLiteral("12"));
    EXPECT_EQ(v[SndParams], QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE"));
    ScheduleEntry j = makeNewEntry(QStringLiteral("SH52"), d, ref);
    EXPECT_TRUE(j[ShCategoriesName].isEmpty());  // stamps are for V models only
    EXPECT_TRUE(j[SndParams].isEmpty());
    EXPECT_EQ(j[CmbltNoValue], QStringLiteral("ON1;0;3"));
}
