// Add and copy-add: the refusal at 500, the blank row of an empty list, the
// start of a new entry against a fixed clock, a copy of the current row, and
// the grid after the editor stored or was cancelled.
#include "addcommands.h"
#include "newentry.h"
#include "scoped_timezone.h"
#include "scripted_dialogs.h"
#include "test_entries.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class AddCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.ModelCode = QStringLiteral("603SH");
        // The editor stand-in stores WorkEntry as it is, or cancels.
        list.editorHook = [this](SessionState &st) {
            ++editorRuns;
            modeSeen = st.EditMode;
            if (store) {
                st.ScheduleList[st.EditIndex - 1] = st.WorkEntry;
                st.markDirty();
            }
        };
    }
    static QDateTime at(const char *text)
    {
        return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    }

    SessionState s;
    ListGrid grid;
    ScriptedDialogs dialogs;
    RecordingHooks hooks;
    ListHistory history{s, grid, hooks};
    ListCommands list{s, grid, dialogs, hooks, history};
    AddCommands add{s, grid, dialogs, hooks, list};
    int editorRuns = 0;
    bool store = true;
    QString modeSeen;
};

} // namespace

TEST_F(AddCommandsTest, NewEntryStartsAtTheNextQuarterHour)
{
    const std::pair<const char *, const char *> cases[] = {
        {"2005/03/10 10:00:30", "20050310100000"}, {"2005/03/10 10:01:00", "20050310101500"},
        {"2005/03/10 10:46:00", "20050310110000"}, {"2005/03/10 23:50:00", "20050311000000"},
        {"2005/12/31 23:59:59", "20060101000000"},
    };
    for (const auto &[now, start] : cases) {
        SCOPED_TRACE(now);
        fill(s, grid, 2);
        add.add(at(now));
        EXPECT_EQ(s.ReferenceDateTime, QString::fromLatin1(now));
        EXPECT_EQ(s.ReferenceDate, QString::fromLatin1(now).left(10));
        EXPECT_EQ(s.ScheduleList.at(2, DtStartValue), QString::fromLatin1(start));
        EXPECT_EQ(modeSeen, QStringLiteral("add"));
        EXPECT_EQ(s.ScheduleList.at(2, ShAlarmName), QStringLiteral("X-JPGSH-ALARM"));
    }
}

TEST_F(AddCommandsTest, AddAppendsARowOnlyWhenTheEditorStored)
{
    fill(s, grid, 3);
    grid.setRow(2);
    store = false;
    add.add(at("2005/03/10 10:00:00"));
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(s.ScheduleList.count(), 3);
    EXPECT_EQ(grid.row(), 2);

    store = true;
    add.add(at("2005/03/10 10:00:00"));
    EXPECT_EQ(s.EditIndex, 4);
    EXPECT_EQ(grid.rows(), 5);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 4 件"));

    // The new last row is scrolled up to the rows that fit (20 here).
    fill(s, grid, 30);
    grid.setTopRow(1);
    add.add(at("2005/03/10 10:00:00"));
    EXPECT_EQ(grid.row(), 31);
    EXPECT_EQ(grid.topRow(), 31 - grid.fitRows());
}

TEST_F(AddCommandsTest, CopyAddTakesTheCurrentRowUnchanged)
{
    fill(s, grid, 5);
    grid.setRow(3);
    const ScheduleEntry source = s.ScheduleList[2];
    add.copyAdd(at("2005/03/10 10:00:00"));
    EXPECT_EQ(s.ReferenceRow, 3);
    EXPECT_EQ(s.EditIndex, 6);
    EXPECT_EQ(s.ScheduleList.at(5, SummaryValue), QStringLiteral("3"));
    EXPECT_EQ(s.ScheduleList.at(5, DtStartValue), source[DtStartValue]);
    EXPECT_EQ(s.ScheduleList.at(5, NoDispDefWinValue), QStringLiteral("ON"));  // added as missing
    EXPECT_EQ(s.ScheduleList[2], source);
    EXPECT_EQ(grid.rows(), 7);
}

TEST_F(AddCommandsTest, EmptyListEditsTheBlankRowAndAFullListRefuses)
{
    // Empty list: the blank row is edited in place, as "edit".
    for (auto command : {&AddCommands::add, &AddCommands::copyAdd}) {
        s.clearList();
        grid.clearToBlank();
        grid.setDataRows(1);
        (add.*command)(at("2005/03/10 10:20:00"));
        EXPECT_EQ(modeSeen, QStringLiteral("edit"));
        EXPECT_EQ(s.EditIndex, 1);
        EXPECT_EQ(s.ScheduleList.at(0, DtStartValue), QStringLiteral("20050310103000"));
        EXPECT_EQ(grid.rows(), 2);
        EXPECT_EQ(countPanelText(grid), QStringLiteral("全 1 件"));
    }

    // 500 entries: both refuse and nothing changes.
    fill(s, grid, MaxEntries);
    s.Dirty = QStringLiteral("0");
    editorRuns = 0;
    for (auto command : {&AddCommands::add, &AddCommands::copyAdd}) {
        dialogs.messages.clear();
        (add.*command)(at("2005/03/10 10:00:00"));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
        EXPECT_EQ(dialogs.last().text, QStringLiteral("これ以上追加できません！　　　"));
        EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    }
    EXPECT_EQ(editorRuns, 0);
    EXPECT_EQ(grid.rows(), MaxEntries + 1);
    EXPECT_FALSE(s.isDirty());
}

// Handset times are plain clock readings: a PC that keeps daylight saving
// changes nothing, not even in the hour its clock skips or repeats.
TEST_F(AddCommandsTest, HandsetTimesIgnoreThePcsDaylightSaving)
{
    const ScopedTimeZone berlin;
    struct Shift {
        const char *from;
        long long minutes;
        const char *to;
    };
    const Shift shifts[] = {
        {"20050327023000", 10, "20050327024000"},    // in the hour Berlin skips
        {"20050327013000", 60, "20050327023000"},    // into it
        {"20050327033000", -90, "20050327020000"},   // back into it
        {"20251026023000", 60, "20251026033000"},    // the hour Berlin repeats
        {"20050310120000", -10, "20050310115000"},
        {"2005032702300", 10, "2005032702300"},      // not 14 digits: as it was
        {"20050230120000", 10, "20050230120000"},    // no such day
    };
    for (const Shift &c : shifts)
        EXPECT_EQ(shiftDateTime14(QString::fromLatin1(c.from), c.minutes), QString::fromLatin1(c.to)) << c.from;

    // The calendar's Add on a day and time the PC's clock skips.
    list.defaults.ArarmOnOff = QStringLiteral("ON");
    list.defaults.ArarmDate = QStringLiteral("10");
    fill(s, grid, 2);
    s.CallerView = QStringLiteral("Calendar");
    s.ReferenceDate = QStringLiteral("2025/03/30");
    s.ReferenceDateTime = QStringLiteral("2025/03/30 02:15:00");
    add.add(QDateTime(QDate(2025, 6, 1), QTime(9, 0), QTimeZone::utc()));
    EXPECT_EQ(s.ScheduleList.at(2, DtStartValue), QStringLiteral("20250330021500"));
    EXPECT_EQ(s.ScheduleList.at(2, DAlarmValue), QStringLiteral("20250330022500;"));
    EXPECT_EQ(s.ScheduleList.at(2, ShAlarmValue), QStringLiteral("20250330022500"));
}
