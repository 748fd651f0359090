// examples/sample.vcs: a file in the 601SH-604SH dialect, made by building
// the table below and running the writer. The test checks that the committed
// file is exactly what the writer makes of the table and that reading it
// gives the table back. To remake the file after a deliberate change:
//   SKEDRA_WRITE_SAMPLE=1 build/bin/store_vcs_test --gtest_filter='VcsSample.*'
#include "vcstestutil.h"

#include <QFile>

using namespace skedra;
using namespace skedra::test;

namespace {

const QString QP = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
const QString AttachQP = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=");
const QString SamplePath = QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs");

struct Sample {
    bool todo = false;
    QString start, end, summary, description;
    QString cls = "PUBLIC";
    QString category;     // CATEGORIES, or empty
    QString stamp;        // X-JPGSH-CATEGORIES, or empty
    QString alarm;        // DateTime14, or empty for no alarm
    QString message;
    QString rrule, yearly;
    QString priority = "0";
    QString status = "NEEDS ACTION";
    QString tel, snd = "0;0", vol = "5", viv = "OFF", sec = "15", cmblt = "ON1;0;3";
    QString noAutoDel = "OFF", noDispDefWin = "ON", calColor, preAlarm = "OFF", snooze = "OFF;PT5M", attach;
};

// How the add command and the 601SH editor leave an entry.
ScheduleEntry entryOf(const Sample &s)
{
    ScheduleEntry e;
    const auto set = [&e](int position, const QString &name, const QString &value, const QString &params = {}) {
        e[nameSlot(position)] = name;
        e[paramsSlot(position)] = params;
        e[valueSlot(position)] = value;
    };
    e[ComponentName] = s.todo ? "VTODO" : "VEVENT";
    set(DtStart, s.todo ? "DUE" : "DTSTART", s.start);
    set(DtEnd, s.todo ? "COMPLETED" : "DTEND", s.end);
    set(Summary, "SUMMARY", s.summary, QP);
    set(Description, "DESCRIPTION", s.description, QP);
    set(Class, "CLASS", s.cls);
    if (!s.category.isEmpty())
        set(Categories, "CATEGORIES", s.category);
    set(DAlarm, "DALARM", (s.alarm.isEmpty() ? QString("00000000000000") : s.alarm) + ";" + s.message, QP);
    set(RRule, "RRULE", s.rrule);
    set(Priority, "PRIORITY", s.priority);
    set(Status, "STATUS", s.status);
    set(JpgFrom, "X-JPG-FROM", QString(), QP);
    set(JpgSerial, "X-JPG-SERIAL", QString());
    set(Tel, "X-JPGSH-TEL", s.tel);
    set(Snd, "X-JPGSH-SND", s.snd, QP);
    set(Vol, "X-JPGSH-VOL", s.vol);
    set(Viv, "X-JPGSH-VIV", s.viv);
    set(Sec, "X-JPGSH-SEC", s.sec);
    set(Yearly, "X-JPGSH-YEARLY", s.yearly);
    set(CmbltNo, "X-JPGSH-CMBLT-NO", s.cmblt);
    set(ShAlarm, "X-JPGSH-ALARM", s.alarm.isEmpty() ? QString("00000000000000") : s.alarm);
    set(NoAutoDel, "X-JPGSH-NOAUTODEL", s.noAutoDel);
    set(NoDispDefWin, "X-JPGSH-NODISPDEFWIN", s.noDispDefWin);
    set(CalColor, "X-JPGSH-CALCOLOR", s.calColor);
    set(PreAlarm, "X-JPGSH-PREALARM", s.preAlarm);
    set(Snooze, "X-JPGSH-SNOOZE", s.snooze);
    set(Attach, "X-JPGSH-ATTACH", s.attach, AttachQP);
    if (!s.stamp.isEmpty())
        set(ShCategories, "X-JPGSH-CATEGORIES", s.stamp);
    return e;
}

QList<Sample> samples()
{
    QList<Sample> list;
    Sample s;

    s = {};
    s.start = "20050307100000";
    s.end = "20050307113000";
    s.summary = "定例会議";
    s.description = "第３会議室。資料は前日までに共有フォルダへ。";
    s.category = "BUSINESS";
    s.alarm = "20050307095000";
    s.message = "会議室へ移動";
    s.rrule = "W1 MO #0";
    s.snooze = "ON;PT5M";
    s.calColor = "BLUE";
    list << s;

    s = {};
    s.start = "20050503000000";
    s.end = "20050503000000";
    s.summary = "母の誕生日";
    s.description = "プレゼントを忘れずに";
    s.stamp = "1";  // 記念日
    s.yearly = "0503";
    s.calColor = "PINK";
    s.noAutoDel = "ON";
    list << s;

    s = {};
    s.start = "20050401063000";
    s.end = "20050403063000";
    s.summary = "朝のジョギング";
    s.alarm = "20050401062500";
    s.message = "着替えて出発！";
    s.rrule = "D1 #3";
    s.snd = "1;morning.mid";
    s.vol = "3";
    s.viv = "ON";
    s.cmblt = "ON2;4;0";
    s.stamp = "12";  // スポーツ
    list << s;

    s = {};
    s.start = "20050415090000";
    s.end = "20050415090000";
    s.summary = "家賃の振込み";
    s.description = "〇〇銀行　普通口座";
    s.rrule = "MP1 15 #0";
    s.alarm = "20050415090000";
    s.message = "振込み";
    s.preAlarm = "ON;P1D";
    s.noAutoDel = "ON";
    s.category = "PERSONAL";
    list << s;

    s = {};
    s.todo = true;
    s.start = "20050422170000";
    s.summary = "報告書の提出";
    s.description = "月次報告（売上・経費）";
    s.priority = "1";
    s.category = "BUSINESS";
    s.preAlarm = "ON;PT30M";
    s.alarm = "20050422160000";
    s.message = "報告書";
    list << s;

    s = {};
    s.todo = true;
    s.start = "20050310120000";
    s.end = "20050309180000";
    s.summary = "見積書を送る";
    s.priority = "2";
    s.status = "COMPLETED";
    list << s;

    s = {};
    s.start = "20050320130000";
    s.end = "20050320160000";
    s.summary = "花見";
    s.description = "上野公園。写真を添付。";
    s.attach = "写真0001.jpg";
    s.noDispDefWin = "OFF";
    s.stamp = "30";  // 花１
    s.calColor = "GREEN";
    list << s;

    s = {};
    s.start = "20050324153000";
    s.end = "20050324160000";
    s.summary = "歯医者";
    s.cls = "PRIVATE";
    s.alarm = "20050324150000";
    s.message = "診察券を持って";
    s.tel = "0312345678";
    s.snooze = "ON;PT10M";
    s.snd = "3;clinic.amr";
    s.sec = "30";
    s.stamp = "10";  // 病院
    list << s;

    s = {};
    s.start = "20050429000000";
    s.summary = "昭和の日";
    s.category = "HOLIDAY";
    s.calColor = "RED";
    list << s;

    s = {};
    s.start = "20050512100000";
    s.end = "20050512103000";
    s.summary = "予防接種";
    s.stamp = "53";  // 注射
    s.alarm = "20050511200000";
    s.message = "母子手帳と保険証";
    s.preAlarm = "ON;PT2H";
    s.snd = "2;voice001.amr";
    list << s;

    s = {};
    s.start = "20050305190000";
    s.end = "20050305210000";
    s.summary = "ｻｰｸﾙ練習";
    s.description = "体育館Ａ面（ﾗｹｯﾄ持参）";
    s.category = "CLUB";
    s.alarm = "20050305180000";
    s.message = "ﾗｹｯﾄ";
    s.snd = "1;ring.mmf.HUF";
    s.cmblt = "OFF;0;0";
    s.calColor = "PURPLE";
    list << s;

    s = {};
    s.start = "20050318183000";
    s.end = "20050318210000";
    s.summary = "送別会＠新宿";
    s.description = "会費５，０００円。二次会あり～";
    s.category = "MEETING";
    s.alarm = "20050318180000";
    s.message = "集合１８：２０";
    s.snooze = "ON;PT20M";
    s.calColor = "BLACK";
    list << s;

    return list;
}

class VcsSample : public VcsTest {
protected:
    void fill()
    {
        const QList<Sample> all = samples();
        for (int i = 0; i < all.size(); ++i)
            state.ScheduleList[i] = entryOf(all[i]);
        state.FirstIndex = 1;
        state.LastIndex = MaxEntries;
    }
};

TEST_F(VcsSample, FileIsWhatTheWriterMakesOfTheTable)
{
    fill();
    const QByteArray bytes = renderVcsData(state);
    if (qEnvironmentVariableIsSet("SKEDRA_WRITE_SAMPLE")) {
        QFile out(SamplePath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QFile f(SamplePath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
}

TEST_F(VcsSample, ReadingTheFileGivesTheTableBack)
{
    fill();
    SessionState expected;
    for (int i = 0; i < MaxEntries; ++i)
        expected.ScheduleList[i] = state.ScheduleList[i];
    // What the writer leaves out reads back as absent.
    for (int i = 0; i < expected.ScheduleList.count(); ++i) {
        ScheduleEntry &e = expected.ScheduleList[i];
        for (int p : {NoAutoDel, PreAlarm, CalColor, NoDispDefWin, Attach}) {
            const QString &v = e[valueSlot(p)];
            const bool written = p == NoDispDefWin ? v == u"OFF" : p == NoAutoDel || p == PreAlarm ? v != u"OFF"
                                                                                                  : !v.isEmpty();
            if (!written) {
                e[nameSlot(p)].clear();
                e[paramsSlot(p)].clear();
                e[valueSlot(p)].clear();
            }
        }
    }
    state.clearList();
    state.OpenFileName = SamplePath;
    state.OpenMode = "new";
    const ReadResult r = proc_open(state);
    EXPECT_TRUE(r.read);
    EXPECT_TRUE(r.messages.isEmpty());
    ASSERT_EQ(state.ScheduleList.count(), 12);
    for (int i = 0; i < 12; ++i) {
        for (int slot = 0; slot < SlotCount; ++slot)
            EXPECT_EQ(state.ScheduleList.at(i, slot), expected.ScheduleList.at(i, slot)) << i << " " << slot;
    }
}

} // namespace
