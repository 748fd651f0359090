#include "attributes.h"
#include "entrydefaults.h"
#include "settings.h"
#include "tempsettings.h"
#include "testentries.h"

#include <gtest/gtest.h>

using namespace skedra;
using skedra::test::makeEntry;

namespace {

class DefaultsTest : public test::TempSettingsTest {
protected:
    // Takes the defaults from `entry` placed on grid row 1.
    EntryDefaults fromEntry(const ScheduleEntry &entry, EntryDefaults start = {})
    {
        ScheduleList list;
        list[0] = entry;
        SettingsStore store;
        bool stored = false;
        EXPECT_TRUE(SetDefaultsFromEntry(start, store, list, 1, &stored));
        EXPECT_TRUE(stored);
        return start;
    }
};

ScheduleEntry withAlarm(const QString &start, const QString &alarm)
{
    ScheduleEntry e = makeEntry(start);
    e[DAlarmValue] = alarm;
    e[SndValue] = QStringLiteral("0;12");
    e[CmbltNoValue] = QStringLiteral("ON2;0;5");
    e[VivValue] = QStringLiteral("ON");
    e[VolValue] = QStringLiteral("3");
    e[SecValue] = QStringLiteral("30");
    return e;
}

} // namespace

TEST_F(DefaultsTest, StampFromCategoryOrStamp)
{
    const struct {
        int code;
        const char *stamp;
    } cases[] = {{5, "5"}, {24, "24"}, {59, "59"}, {0, "0"}, {1, "1"}, {7, "7"}};
    for (const auto &c : cases) {
        ScheduleEntry e = makeEntry();
        setEntryCategory(e, c.code);
        EXPECT_EQ(fromEntry(e).Stamp, QString::fromLatin1(c.stamp)) << c.code;
    }
    ScheduleEntry meeting = makeEntry();
    meeting[CategoriesValue] = QStringLiteral("MEETING");
    EXPECT_EQ(fromEntry(meeting).Stamp, QStringLiteral("5"));

    // Unknown texts keep the previous default.
    EntryDefaults start;
    start.Stamp = QStringLiteral("12");
    ScheduleEntry odd = makeEntry();
    odd[CategoriesValue] = QStringLiteral("ANNIVERSARY");
    EXPECT_EQ(fromEntry(odd, start).Stamp, QStringLiteral("12"));
    odd = makeEntry();
    odd[ShCategoriesName] = QStringLiteral("X-JPGSH-CATEGORIES");
    odd[ShCategoriesValue] = QStringLiteral("54");
    EXPECT_EQ(fromEntry(odd, start).Stamp, QStringLiteral("12"));
}

TEST_F(DefaultsTest, AlarmOffsetInMinutes)
{
    EXPECT_EQ(fromEntry(withAlarm("20240401090000", "20240401093000;")).ArarmDate, QStringLiteral("30"));
    EXPECT_EQ(fromEntry(withAlarm("20240401120000", "20240401115000;会議")).ArarmDate, QStringLiteral("-10"));
    // Across midnight, a month end and a leap day.
    EXPECT_EQ(fromEntry(withAlarm("20240301000000", "20240228235000;")).ArarmDate,
              QString::number(-(24 * 60 + 10)));
    // Minute boundaries crossed, seconds ignored.
    EXPECT_EQ(fromEntry(withAlarm("20240401090059", "20240401090100;")).ArarmDate, QStringLiteral("1"));

    const EntryDefaults d = fromEntry(withAlarm("20240401090000", "20240401093000;資料;持参"));
    EXPECT_EQ(d.ArarmOnOff, QStringLiteral("ON"));
    EXPECT_EQ(d.ArarmMes, QStringLiteral("資料;持参"));
    EXPECT_EQ(d.Snd, QStringLiteral("0;12"));
    EXPECT_EQ(d.Cmblt, QStringLiteral("ON2;0;5"));
    EXPECT_EQ(d.Vol, QStringLiteral("3"));
    EXPECT_EQ(d.Snooze, QStringLiteral("OFF;PT5M"));
    EXPECT_EQ(d.PreArarm, QStringLiteral("OFF"));
}

TEST_F(DefaultsTest, EntryWithoutAlarmResetsRingKeys)
{
    EntryDefaults start;
    start.ArarmOnOff = QStringLiteral("ON");
    start.ArarmDate = QStringLiteral("-15");
    start.ArarmMes = QStringLiteral("old");
    const EntryDefaults d = fromEntry(withAlarm("20240401090000", "00000000000000;"), start);
    EXPECT_EQ(d.ArarmOnOff, QStringLiteral("OFF"));
    EXPECT_EQ(d.ArarmDate, QStringLiteral("0"));
    EXPECT_TRUE(d.ArarmMes.isEmpty());
    EXPECT_EQ(d.Snd, QStringLiteral("0;0"));
    EXPECT_EQ(d.Cmblt, QStringLiteral("ON1;0;3"));
    EXPECT_EQ(d.Vol, QStringLiteral("5"));

    // An alarm moment that cannot be read is no alarm either.
    for (const char *alarm : {"00000000000000;メモ", "", "2024040109;", "20241301090000;"})
        EXPECT_EQ(fromEntry(withAlarm("20240401090000", alarm)).ArarmOnOff, QStringLiteral("OFF")) << alarm;
}

TEST_F(DefaultsTest, EmptyPriorityStaysEmptyUntilRestart)
{
    ScheduleEntry e = makeEntry();
    e[PriorityName] = QStringLiteral("PRIORITY");
    e[NoAutoDelValue].clear();
    e[NoDispDefWinValue].clear();
    e[ClassValue] = QStringLiteral("PRIVATE");
    e[TelValue] = QStringLiteral("0312345678");
    const EntryDefaults d = fromEntry(e);
    EXPECT_TRUE(d.Priority.isEmpty());
    EXPECT_EQ(d.Del, QStringLiteral("OFF"));
    EXPECT_EQ(d.Disp, QStringLiteral("ON"));
    EXPECT_EQ(d.Class, QStringLiteral("PRIVATE"));

    SettingsStore store;
    EXPECT_TRUE(store.text("Init", "Priority").isEmpty());
    const EntryDefaults restarted = SettingsStore().entryDefaults();
    EXPECT_EQ(restarted.Priority, QStringLiteral("0"));
    EXPECT_EQ(restarted.Tel, QStringLiteral("0312345678"));
    EXPECT_EQ(restarted.Class, QStringLiteral("PRIVATE"));
}

TEST_F(DefaultsTest, RowWithoutEntryDoesNothing)
{
    ScheduleList list;
    SettingsStore store;
    EntryDefaults d;
    d.Stamp = QStringLiteral("9");
    EXPECT_FALSE(SetDefaultsFromEntry(d, store, list, 1));
    EXPECT_FALSE(SetDefaultsFromEntry(d, store, list, 0));
    EXPECT_FALSE(SetDefaultsFromEntry(d, store, list, 501));
    EXPECT_EQ(d.Stamp, QStringLiteral("9"));
    EXPECT_TRUE(store.text("Init", "Stamp").isEmpty());
}

TEST_F(DefaultsTest, ClearThenRestartReadsBuiltInValues)
{
    EntryDefaults d = fromEntry(withAlarm("20240401090000", "20240401093000;x"));
    ASSERT_NE(d, EntryDefaults());
    SettingsStore store;
    EXPECT_TRUE(ClearDefaults(d, store));
    EXPECT_EQ(d, EntryDefaults());
    EXPECT_EQ(SettingsStore().entryDefaults(), EntryDefaults());
    EXPECT_EQ(store.text("Init", "Cmblt"), QStringLiteral("ON1;0;3"));
    EXPECT_EQ(store.text("Init", "Snooze"), QStringLiteral("OFF;PT5M"));
}
