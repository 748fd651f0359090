// Write -> read gives the table back (up to the documented changes), and
// read -> write -> read -> write gives the same bytes.
#include "tablemaker.h"
#include "vcstestutil.h"

#include <QDateTime>

using namespace skedra;
using namespace skedra::test;

namespace {

void clearPosition(ScheduleEntry &e, int position)
{
    e[nameSlot(position)].clear();
    e[paramsSlot(position)].clear();
    e[valueSlot(position)].clear();
}

QString withoutSeconds(const QString &dateTime)
{
    return dateTime.size() == 14 ? dateTime.left(12) + "00" : dateTime;
}

// What reading the written entry gives: the documented changes.
ScheduleEntry expectedAfterReading(ScheduleEntry e)
{
    e[DtStartValue] = withoutSeconds(e[DtStartValue]);
    e[DtEndValue] = withoutSeconds(e[DtEndValue]);
    e[ShAlarmValue] = withoutSeconds(e[ShAlarmValue]);
    e[SummaryValue] = TruncateBytes(e[SummaryValue], 16);
    e[DescriptionValue] = TruncateBytes(e[DescriptionValue], 128);
    const QString alarm = e[DAlarmValue];
    e[DAlarmValue] = withoutSeconds(alarm.section(';', 0, 0)) + ";" + TruncateBytes(alarm.section(';', 1), 120);
    if (e[NoAutoDelValue] == u"OFF")
        clearPosition(e, NoAutoDel);
    if (e[PreAlarmValue] == u"OFF")
        clearPosition(e, PreAlarm);
    if (e[CalColorName].isEmpty() || e[CalColorValue].isEmpty())
        clearPosition(e, CalColor);
    if (e[NoDispDefWinValue] != u"OFF")
        clearPosition(e, NoDispDefWin);
    if (e[AttachValue].isEmpty())
        clearPosition(e, Attach);
    else
        e[AttachParams] = TableMaker::vcsAttachParams();
    e[CategoryCode].clear();
    return e;
}

class VcsRoundTrip : public VcsTest {};

TEST_F(VcsRoundTrip, WrittenTablesReadBackAsTheyWere)
{
    for (quint32 seed = 1; seed <= 8; ++seed) {
        TableMaker maker(seed);
        const int n = 1 + maker.below(60);
        for (int i = 0; i < n; ++i)
            state.ScheduleList[i] = maker.entry();
        SessionState expected;
        for (int i = 0; i < n; ++i)
            expected.ScheduleList[i] = expectedAfterReading(state.ScheduleList[i]);

        state.FirstIndex = 1;
        state.LastIndex = MaxEntries;
        const QByteArray first = renderVcsData(state);
        const ReadResult r = read(first);
        EXPECT_TRUE(r.messages.isEmpty()) << "seed " << seed << ": " << r.messages.value(0).text().toStdString();
        ASSERT_EQ(state.ScheduleList.count(), n) << "seed " << seed;
        for (int i = 0; i < n; ++i) {
            for (int slot = 0; slot < SlotCount; ++slot) {
                EXPECT_EQ(state.ScheduleList.at(i, slot), expected.ScheduleList.at(i, slot))
                    << "seed " << seed << " entry " << i << " slot " << slot;
            }
        }
        // Once normalised, a table goes round unchanged, byte for byte.
        const QByteArray second = renderVcsData(state);
        read(second);
        EXPECT_EQ(renderVcsData(state), second) << "seed " << seed;
        state.clearList();
    }
}

TEST_F(VcsRoundTrip, AlarmTimesOfOneEntryStayEqual)
{
    TableMaker maker(99);
    ScheduleEntry e = maker.entry();
    e[ShAlarmName] = "X-JPGSH-ALARM";
    e[ShAlarmValue] = "20051231235900";
    e[DAlarmValue] = "20051231235900;";
    state.ScheduleList[0] = e;
    state.FirstIndex = 1;
    state.LastIndex = 1;
    read(renderVcsData(state));
    EXPECT_EQ(at(0, ShAlarmValue), "20051231235900");
    EXPECT_EQ(at(0, DAlarmValue), "20051231235900;");
}

} // namespace
