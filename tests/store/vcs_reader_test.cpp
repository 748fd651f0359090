// The .vcs reader: property mapping, conversions, limits and bad input.
#include "vcstestutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>

using namespace skedra;
using namespace skedra::test;

namespace {

QStringList objects(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines += object({QStringLiteral("DTSTART:20050101T000000Z"), QStringLiteral("SUMMARY:") + QString::number(i)});
    return lines;
}

class VcsReader : public VcsTest {};

TEST_F(VcsReader, FiveHundredObjectsFillTheListWithoutWarning)
{
    const ReadResult r = read(objects(500));
    EXPECT_TRUE(r.read);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(state.ScheduleList.count(), 500);
    EXPECT_EQ(at(499, SummaryValue), "499");
}

TEST_F(VcsReader, The501stObjectStopsReadingWithItsNumber)
{
    const ReadResult r = read(objects(501));
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::TooManyObjects);
    EXPECT_EQ(r.messages[0].text(), "500件を超えたため、501件目で読み込みを終了しました。　　　");
    EXPECT_EQ(r.messages[0].title(), "警告");
    EXPECT_EQ(state.ScheduleList.count(), 500);
    EXPECT_EQ(at(499, SummaryValue), "499");
}

TEST_F(VcsReader, AddModeAppendsAndStopsAtTheLimit)
{
    read(objects(498));
    state.Dirty = QStringLiteral("1");
    const ReadResult r = read(objects(5), QStringLiteral("add"));
    EXPECT_EQ(r.firstEntry, 499);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].number, 3);  // the third object of the file was not read
    EXPECT_EQ(state.ScheduleList.count(), 500);
    EXPECT_EQ(at(497, SummaryValue), "497");
    EXPECT_EQ(at(498, SummaryValue), "0");
    EXPECT_EQ(at(499, SummaryValue), "1");
    EXPECT_EQ(state.Dirty, "1");  // the caller marks an appended list

    const ReadResult full = read(objects(1), QStringLiteral("add"));
    EXPECT_FALSE(full.read);
    ASSERT_EQ(full.messages.size(), 1);
    EXPECT_EQ(full.messages[0].text(), "これ以上追加できません！　　　");
    EXPECT_EQ(at(499, SummaryValue), "1");
}

TEST_F(VcsReader, NotAVCalendarFile)
{
    read(objects(2));
    for (const QByteArray &bytes : {QByteArray(), QByteArray("\r\nBEGIN:VCALENDAR\r\n"),
                                    QByteArray("BEGIN:VCARD\r\n"), QByteArray("BEGIN:VCALENDAR \r\n"),
                                    QByteArray("VCALENDAR\r\n")}) {
        const ReadResult add = read(bytes, QStringLiteral("add"));
        EXPECT_FALSE(add.read);
        ASSERT_EQ(add.messages.size(), 1);
        EXPECT_EQ(add.messages[0].code, StoreCode::NotVCalendar);
        EXPECT_EQ(add.messages[0].text(), "vCalendarファイルではないようです．．．　　");
        EXPECT_EQ(state.ScheduleList.count(), 2) << "add mode keeps the list";
    }
    state.Dirty = QStringLiteral("1");
    EXPECT_FALSE(read(QByteArray("BEGIN:VCARD\r\n")).read);
    EXPECT_EQ(state.ScheduleList.count(), 0) << "new mode has emptied the list";
    EXPECT_EQ(state.Dirty, "0");
    // Only the field after the first ":" counts.
    EXPECT_TRUE(read(QByteArray("X:VCALENDAR:Y\r\n")).read);
}

TEST_F(VcsReader, DateTimesComeInNineHoursLater)
{
    read(object({"DTSTART:20050301T030000Z", "DTEND:20051231T200059Z", "X-JPGSH-ALARM:20050301T025900Z",
                 "DALARM:20050301T025900Z;"})
         + object({"DUE:20050301T030000", "COMPLETED:"}, "VTODO"));
    EXPECT_EQ(at(0, DtStartValue), "20050301120000");
    EXPECT_EQ(at(0, DtEndValue), "20060101050000");  // over the year end, seconds dropped
    EXPECT_EQ(at(0, ShAlarmValue), "20050301115900");
    EXPECT_EQ(at(0, DAlarmValue), "20050301115900;");
    EXPECT_EQ(at(1, DtStartName), "DUE");
    EXPECT_EQ(at(1, DtStartValue), "20050301030000");  // no "Z": local already
    EXPECT_EQ(at(1, DtEndName), "COMPLETED");
    EXPECT_TRUE(at(1, DtEndValue).isEmpty());
    EXPECT_EQ(at(1, ComponentName), "VTODO");
}

TEST_F(VcsReader, AllZeroAlarmsMeanNoAlarm)
{
    read(object({"DTSTART:20050301T030000Z",
                 "DALARM;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:00000000T000000Z;" + coded("伝言"),
                 "X-JPGSH-ALARM:00000000T000000Z"}));
    EXPECT_EQ(at(0, DAlarmValue), "00000000000000;");
    EXPECT_EQ(at(0, DAlarmParams), "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
    EXPECT_EQ(at(0, ShAlarmValue), "00000000000000");
}

TEST_F(VcsReader, AlarmMessageIsTheSecondFieldDecoded)
{
    const QString c = coded("打合せの準備");
    read(object({"DTSTART:20050301T030000Z", "DALARM:20050301T020000Z;" + c.left(12) + "=", c.mid(12) + ";PT5M;2"}));
    EXPECT_EQ(at(0, DAlarmValue), "20050301110000;打合せの準備");
}

TEST_F(VcsReader, SoftLineBreaksJoinValuesOverSeveralLines)
{
    const QString c = coded("今日の会議室");
    read(object({"DTSTART:20050301T030000Z", "SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:" + c.left(7) + "=",
                 c.mid(7, 11) + "=", c.mid(18), "DESCRIPTION:" + coded("説明") + "=", " " + coded("続き")}));
    EXPECT_EQ(at(0, SummaryValue), "今日の会議室");
    EXPECT_EQ(at(0, SummaryParams), "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
    // The next line is taken whole: its leading space is data.
    EXPECT_EQ(at(0, DescriptionValue), "説明 続き");
}

TEST_F(VcsReader, FromTakesOneContinuationWithoutItsFirstSpace)
{
    const QString c = coded("山田太郎");
    read(object({"DTSTART:20050301T030000Z", "X-JPG-FROM:" + c.left(12) + "=", c.mid(12, 6) + " " + c.mid(18)})
         + object({"DTSTART:20050301T030000Z", "X-JPG-FROM:" + c.left(12) + "=", c.mid(12) + "=",
                   "X-JPG-SERIAL:12=34"}));
    EXPECT_EQ(at(0, JpgFromValue), "山田太郎");
    // No second continuation: the line after it is a property of its own.
    EXPECT_EQ(at(1, JpgFromValue), c + "=");
    EXPECT_EQ(at(1, JpgSerialValue), "12=34");
}

TEST_F(VcsReader, PropertiesTakenAsReadAndRenamesIgnored)
{
    read(object({"DTSTART:20050301T030000Z", "CLASS:PRIVATE", "CATEGORIES:MEETING", "RRULE:W1 MO #5",
                 "PRIORITY:1", "STATUS:NEEDS ACTION", "X-JPGSH-TEL:09012345678", "X-JPGSH-VOL:5",
                 "X-JPGSH-VIV:ON", "X-JPGSH-SEC:15", "X-JPGSH-YEARLY:0503", "X-JPGSH-CMBLT-NO:ON1;0;3",
                 "X-JPGSH-NOAUTODEL:ON", "X-JPGSH-CALCOLOR:PINK", "X-JPGSH-PREALARM:ON;PT10M",
                 "X-JPGSH-SNOOZE:ON;PT5M", "X-JPGSH-CATEGORIES:18", "summary:lower", "Summary:mixed",
                 "X-UNKNOWN:1", "LOCATION:here"}));
    EXPECT_EQ(at(0, ClassValue), "PRIVATE");
    EXPECT_EQ(at(0, CategoriesValue), "MEETING");
    EXPECT_EQ(at(0, RRuleValue), "W1 MO #5");
    EXPECT_EQ(at(0, PriorityValue), "1");
    EXPECT_EQ(at(0, StatusValue), "NEEDS ACTION");
    EXPECT_EQ(at(0, TelValue), "09012345678");
    EXPECT_EQ(at(0, VolValue), "5");
    EXPECT_EQ(at(0, VivValue), "ON");
    EXPECT_EQ(at(0, SecValue), "15");
    EXPECT_EQ(at(0, YearlyValue), "0503");
    EXPECT_EQ(at(0, CmbltNoValue), "ON1;0;3");
    EXPECT_EQ(at(0, NoAutoDelValue), "ON");
    EXPECT_EQ(at(0, CalColorValue), "PINK");
    EXPECT_EQ(at(0, PreAlarmValue), "ON;PT10M");
    EXPECT_EQ(at(0, SnoozeValue), "ON;PT5M");
    EXPECT_EQ(at(0, ShCategoriesValue), "18");
    EXPECT_TRUE(at(0, SummaryName).isEmpty()) << "lower- and mixed-case names are not properties";
    EXPECT_TRUE(at(0, 27).isEmpty());
    EXPECT_TRUE(at(0, 28).isEmpty());
}

TEST_F(VcsReader, NoDispDefWinIsHeldInTheOppositeSense)
{
    read(object({"DTSTART:20050301T030000Z", "X-JPGSH-NODISPDEFWIN:ON"})
         + object({"DTSTART:20050301T030000Z", "X-JPGSH-NODISPDEFWIN:OFF"}) + object({"DTSTART:20050301T030000Z"}));
    EXPECT_EQ(at(0, NoDispDefWinValue), "OFF");
    EXPECT_EQ(at(1, NoDispDefWinValue), "OFF");
    EXPECT_TRUE(at(2, NoDispDefWinName).isEmpty());
}

TEST_F(VcsReader, AttachmentAndSoundLoseTheirHiddenEnding)
{
    read(object({"DTSTART:20050301T030000Z", "X-JPGSH-ATTACH;CHARSET=X:VALUE=URL:file=",
                 "://" + coded("写真.jpg.___"), "X-JPGSH-SND;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:"
                 + coded("1;melody.mid.___"), "X-JPGSH-CATEGORIES:3"}));
    EXPECT_EQ(at(0, AttachParams), "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=");
    EXPECT_EQ(at(0, AttachValue), "写真.jpg");
    EXPECT_EQ(at(0, SndValue), "1;melody.mid");
    EXPECT_EQ(at(0, ShCategoriesValue), "3");
}

TEST_F(VcsReader, OneLineAttachmentLeavesTheNextPropertyAlone)
{
    read(object({"DTSTART:20050301T030000Z", "X-JPGSH-ATTACH:VALUE=URL:file://" + coded("a.jpg"),
                 "X-JPGSH-CATEGORIES:3"}));
    EXPECT_EQ(at(0, AttachValue), "a.jpg");
    EXPECT_EQ(at(0, ShCategoriesValue), "3");
}

// Desktop programs write many events and to-dos in one calendar object;
// each is an entry of its own. Handset files hold one per object, and what
// follows its END line in the object still belongs to it.
TEST_F(VcsReader, EachEventOrToDoOfAnObjectIsAnEntry)
{
    QStringList many{"BEGIN:VCALENDAR", "VERSION:1.0"};
    for (int i = 0; i < 501; ++i)
        many += QStringList{"BEGIN:VEVENT", "DTSTART:20050301T030000Z", "SUMMARY:" + QString::number(i), "END:VEVENT"};
    many += "END:VCALENDAR";
    struct Case {
        const char *what;
        QStringList lines;
        QStringList summaries;  // of the entries read
        QString component0;
        QString message;        // the reader's message, if any
    };
    const QList<Case> cases{
        {"an event and a to-do in one object",
         QStringList{"BEGIN:VCALENDAR", "BEGIN:VEVENT", "DTSTART:20050301T030000Z", "SUMMARY:a", "END:VEVENT",
                     "BEGIN:VTODO", "DUE:20050302T030000Z", "SUMMARY:b", "CLASS:PRIVATE", "END:VTODO", "END:VCALENDAR"}
             + object({"DTSTART:20050302T030000Z", "SUMMARY:c"}),
         {"a", "b", "c"}, "VEVENT", {}},
        {"a property after the component's end stays with it",
         QStringList{"BEGIN:VCALENDAR", "BEGIN:VEVENT", "DTSTART:20050301T030000Z", "SUMMARY:a", "END:VEVENT",
                     "SUMMARY:b", "END:VCALENDAR"},
         {"b"}, "VEVENT", {}},
        {"the 500 entries' limit counts entries, not objects", many, {}, "VEVENT",
         "500件を超えたため、501件目で読み込みを終了しました。　　　"},
    };
    for (const Case &c : cases) {
        QList<QPair<int, int>> progress;
        state.OpenMode = QStringLiteral("new");
        const ReadResult r = readVcsData(state, vcsBytes(c.lines), QStringLiteral("test.vcs"),
                                         [&](int seen, int total) { progress.append({seen, total}); });
        if (c.summaries.isEmpty()) {
            EXPECT_EQ(state.ScheduleList.count(), 500) << c.what;
            EXPECT_EQ(at(499, SummaryValue), "499") << c.what;
        } else {
            QStringList read;
            for (int i = 0; i < state.ScheduleList.count(); ++i)
                read.append(at(i, SummaryValue));
            EXPECT_EQ(read, c.summaries) << c.what;
        }
        EXPECT_EQ(at(0, ComponentName), c.component0) << c.what;
        EXPECT_EQ(r.messages.isEmpty() ? QString() : r.messages[0].text(), c.message) << c.what;
        // The loading notice counts entries too.
        ASSERT_FALSE(progress.isEmpty()) << c.what;
        EXPECT_EQ(progress.last().second, c.summaries.isEmpty() ? 501 : int(c.summaries.size())) << c.what;
    }
    EXPECT_EQ(at(1, ComponentName), "VEVENT");
}

// A value that declares CHARSET=UTF-8 (quoted-printable or 8-bit) reads as
// UTF-8; it is held as Shift_JIS, the set the writer writes it in.
TEST_F(VcsReader, ValuesInUtf8ReadAsUtf8)
{
    QByteArray bytes = vcsBytes(object({"DTSTART:20050301T030000Z",
                                        "SUMMARY;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:m=C3=B6chen =E4=BC=9A=E8=AD=B0"}));
    bytes.replace("END:VEVENT", "DESCRIPTION;CHARSET=utf-8:\xe4\xbc\x9a\xe8\xad\xb0 caf\xc3\xa9\r\nEND:VEVENT");
    const ReadResult r = read(bytes);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(at(0, SummaryValue), "möchen 会議");
    EXPECT_EQ(at(0, SummaryParams), "ENCODING=QUOTED-PRINTABLE;CHARSET=SHIFT_JIS");
    EXPECT_EQ(at(0, DescriptionValue), "会議 café");
    EXPECT_EQ(at(0, DescriptionParams), "CHARSET=SHIFT_JIS");
}

TEST_F(VcsReader, SummaryHistoryCollectsDistinctSummariesFromTheStart)
{
    state.SummaryHistory[0] = "old0";
    state.SummaryHistory[3] = "old3";
    read(object({"DTSTART:20050301T030000Z", "SUMMARY:a"}) + object({"DTSTART:20050301T030000Z", "SUMMARY:b"})
         + object({"DTSTART:20050301T030000Z", "SUMMARY:a"}));
    EXPECT_EQ(state.SummaryHistory[0], "a");
    EXPECT_EQ(state.SummaryHistory[1], "b");
    EXPECT_TRUE(state.SummaryHistory[2].isEmpty());
    EXPECT_EQ(state.SummaryHistory[3], "old3");
}

TEST_F(VcsReader, ProgressIsReportedPerObject)
{
    QList<QPair<int, int>> calls;
    state.OpenMode = "new";
    readVcsData(state, vcsBytes(objects(3)), QString(), [&](int seen, int total) { calls.append({seen, total}); });
    EXPECT_EQ(calls, (QList<QPair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(VcsReader, LinesEndWithCrLfLfOrALoneCr)
{
    const QStringList lines = object({"DTSTART:20050301T030000Z", "SUMMARY:a"})
                              + object({"DTSTART:20050302T030000Z", "SUMMARY:b"});
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"CR LF", vcsBytes(lines)},
        {"LF", lines.join('\n').toLatin1()},
        {"CR", lines.join('\r').toLatin1() + '\r'},
        {"CR LF first, then CR", lines[0].toLatin1() + "\r\n" + lines.mid(1).join('\r').toLatin1()},
        {"mixed", lines.mid(0, 4).join("\r\n").toLatin1() + '\n' + lines.mid(4).join('\r').toLatin1()},
    };
    for (const auto &f : files) {
        const ReadResult r = read(f.bytes);
        EXPECT_TRUE(r.read) << f.name;
        EXPECT_TRUE(r.messages.isEmpty()) << f.name;
        EXPECT_EQ(state.ScheduleList.count(), 2) << f.name;
        EXPECT_EQ(at(0, SummaryValue), "a") << f.name;
        EXPECT_EQ(at(1, DtStartValue), "20050302120000") << f.name;
    }
}

TEST_F(VcsReader, AFileWithoutCalendarObjectsSaysSo)
{
    const QByteArray files[] = {
        "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nEND:VCALENDAR\r\n",
        "BEGIN:VCALENDAR\r\n",
        "X:VCALENDAR\r\nnothing else",
    };
    for (const QByteArray &bytes : files) {
        read(object({"DTSTART:20050301T030000Z"}));
        const ReadResult r = read(bytes);
        EXPECT_TRUE(r.read) << bytes.constData();
        ASSERT_EQ(r.messages.size(), 1) << bytes.constData();
        EXPECT_EQ(r.messages[0].text(), "test.vcsには読み込める予定がありませんでした。　　");
        EXPECT_EQ(r.messages[0].title(), "警告");
        EXPECT_TRUE(state.ScheduleList.isEmpty());
    }
}

TEST_F(VcsReader, ObjectWithoutStartKeepsItsPlaceAndTheEntriesAfterIt)
{
    const ReadResult r = read(object({"DTSTART:20050301T030000Z"})
                              + object({"SUMMARY:no due date", "PRIORITY:1"}, "VTODO")
                              + QStringList{"BEGIN:VCALENDAR", "END:VCALENDAR"}
                              + object({"DTSTART:20050303T030000Z"}));
    EXPECT_EQ(state.ScheduleList.count(), 3);
    EXPECT_EQ(at(1, DtStartName), "DUE");
    EXPECT_TRUE(at(1, DtStartValue).isEmpty());
    EXPECT_EQ(at(1, SummaryValue), "no due date");
    EXPECT_EQ(at(2, DtStartValue), "20050303120000");  // the empty object took no entry
    const StoreMessage *m = findMessage(r.messages, StoreCode::MissingStart);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->number, 1);
    EXPECT_EQ(m->line, 7);  // the BEGIN:VCALENDAR of that object
}

TEST_F(VcsReader, FileEndingInsideAnObjectKeepsIt)
{
    read(QStringList{"BEGIN:VCALENDAR", "BEGIN:VEVENT", "DTSTART:20050301T030000Z", "SUMMARY:cut"});
    EXPECT_EQ(state.ScheduleList.count(), 1);
    EXPECT_EQ(at(0, SummaryValue), "cut");
}

// Values that do not convert are kept as they came and counted once.
struct BadValueCase {
    const char *line;
    int slot;
    const char *held;
};

TEST_F(VcsReader, UnconvertibleValuesAreKeptAndReported)
{
    const BadValueCase cases[] = {
        {"DTSTART:", DtStartValue, ""},
        {"DTSTART:20050301", DtStartValue, "20050301"},
        {"DTSTART:2005-03-01T03:00:00Z", DtStartValue, "2005-03-01T03:00:00Z"},
        {"DTSTART:20050230T030000Z", DtStartValue, "20050230T030000Z"},
        {"DTSTART:20050301T250000Z", DtStartValue, "20050301T250000Z"},
        {"DTSTART:99991231T200000Z", DtStartValue, "99991231T200000Z"},
        {"DTSTART:200503011T030000Z", DtStartValue, "200503011T030000Z"},
        {"DTEND:20050301T0300Z", DtEndValue, "20050301T0300Z"},
        {"X-JPGSH-ALARM:tomorrow", ShAlarmValue, "tomorrow"},
        {"DALARM:soon;PT5M;2;=82=A0", DAlarmValue, "soon;PT5M;2;=82=A0"},
        {"SUMMARY:=8", SummaryValue, "=8"},
        {"SUMMARY:=ZZ=82=A0", SummaryValue, "=ZZ=82=A0"},
        {"DESCRIPTION:=FF=FF", DescriptionValue, "=FF=FF"},
    };
    for (const BadValueCase &c : cases) {
        const ReadResult r = read(object({QString::fromLatin1(c.line), "CLASS:kept"}));
        EXPECT_TRUE(r.read) << c.line;
        EXPECT_EQ(at(0, c.slot), QString::fromLatin1(c.held)) << c.line;
        const StoreMessage *m = findMessage(r.messages, StoreCode::BadValues);
        ASSERT_TRUE(m) << c.line;
        EXPECT_EQ(m->number, 1) << c.line;
        EXPECT_EQ(m->line, 4) << c.line;
        EXPECT_EQ(m->title(), "警告");
        EXPECT_TRUE(m->text().contains("4行目")) << qPrintable(m->text());
        EXPECT_EQ(at(0, ClassValue), "kept") << c.line;
    }
}

TEST_F(VcsReader, AlarmWithoutSemicolonHasAnEmptyMessage)
{
    const ReadResult r = read(object({"DTSTART:20050301T030000Z", "DALARM:20050301T020000Z"}));
    EXPECT_EQ(at(0, DAlarmValue), "20050301110000;");
    EXPECT_TRUE(r.messages.isEmpty());
    read(object({"DTSTART:20050301T030000Z", "DALARM:00000000T000000Z"}));
    EXPECT_EQ(at(0, DAlarmValue), "00000000000000;");
}

TEST_F(VcsReader, BreaksAtTheEndOfTheFileEndTheValue)
{
    for (const char *last : {"SUMMARY:=82=A0=", "X-JPGSH-ATTACH;A=B:VALUE=URL:file=", "X-JPG-FROM:=82=A0="}) {
        const ReadResult r = read(QStringList{"BEGIN:VCALENDAR", "BEGIN:VEVENT", "DTSTART:20050301T030000Z",
                                              QString::fromLatin1(last)});
        EXPECT_TRUE(r.read) << last;
        EXPECT_EQ(state.ScheduleList.count(), 1) << last;
    }
    EXPECT_EQ(at(0, JpgFromValue), "あ");
}

TEST_F(VcsReader, BytesThatAreNotShiftJisAreReportedAndTheRestIsRead)
{
    const QByteArray bytes = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20050301T030000Z\r\nLOCATION:\x80\r\n"
                             "SUMMARY:caf\xc3\xa9\xfd\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const ReadResult r = read(bytes);
    EXPECT_EQ(state.ScheduleList.count(), 1);
    EXPECT_TRUE(at(0, SummaryValue).startsWith("caf"));
    const StoreMessage *m = findMessage(r.messages, StoreCode::NotShiftJis);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->line, 4);
    EXPECT_EQ(m->number, 2);
}

TEST_F(VcsReader, GarbageAndHugeLinesNeitherCrashNorHang)
{
    QByteArray garbage("BEGIN:VCALENDAR\r\n");
    for (int i = 0; i < 200000; ++i)
        garbage += char((i * 7919) % 256);
    EXPECT_TRUE(read(garbage).read);

    QByteArray longLine = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20050301T030000Z\r\nSUMMARY:";
    longLine += QByteArray(4 * 1024 * 1024, 'x');
    longLine += "\r\nDESCRIPTION:";
    for (int i = 0; i < 100000; ++i)
        longLine += "=82=A0=\r\n";
    longLine += "=82=A0\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(read(longLine).read);
    EXPECT_EQ(at(0, SummaryValue).size(), 4 * 1024 * 1024);
    EXPECT_EQ(at(0, DescriptionValue).size(), 100001);
    EXPECT_LT(timer.elapsed(), 20000) << "a join must not be quadratic";
}

TEST_F(VcsReader, OpenFailsWithoutTouchingTheList)
{
    read(objects(2));
    state.OpenFileName = QStringLiteral("/nonexistent/x.vcs");
    state.OpenMode = QStringLiteral("new");
    const ReadResult r = proc_open(state);
    EXPECT_FALSE(r.read);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::OpenFailed);
    EXPECT_EQ(state.ScheduleList.count(), 2);
}

TEST_F(VcsReader, MissingCoderRefusesWithoutTouchingTheList)
{
    read(objects(2));
    state.HexCoder.reset();
    const ReadResult r = read(objects(1));
    EXPECT_FALSE(r.read);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::CoderMissing);
    EXPECT_EQ(state.ScheduleList.count(), 2);
}

// Files other programs wrote: each reads without crash or hang, and every
// calendar object that names a start reaches the list.
class VcsCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(VcsCorpus, ReadsEveryObject)
{
    SessionState state;
    setUpCoder(state);
    state.OpenFileName = QStringLiteral(SKEDRA_SHARED_DIR "/testdata/vcal-corpus/") + QString::fromStdString(GetParam());
    QFile f(state.OpenFileName);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const ReadResult r = proc_open(state);
    ASSERT_TRUE(r.read) << (r.messages.isEmpty() ? "" : qPrintable(r.messages[0].text()));
    // One entry at most for each calendar object, or for each event or to-do
    // in it when it holds several.
    int items = 0, inObject = 0;
    for (QByteArray line : bytes.split('\n')) {
        line = line.trimmed();
        if (line == "BEGIN:VCALENDAR") {
            ++items;
            inObject = 0;
        } else if ((line == "BEGIN:VEVENT" || line == "BEGIN:VTODO") && ++inObject > 1) {
            ++items;
        }
    }
    const int entries = state.ScheduleList.count();
    EXPECT_LE(entries, items);
    EXPECT_GE(entries, 1);
    for (int i = 0; i < entries; ++i)
        EXPECT_FALSE(state.ScheduleList.at(i, DtStartName).isEmpty());
    // Writing the list and reading it back keeps every entry.
    state.SaveFileName.clear();
    state.FirstIndex = 1;
    state.LastIndex = MaxEntries;
    const QByteArray once = renderVcsData(state);
    state.OpenMode = QStringLiteral("new");
    readVcsData(state, once);
    EXPECT_EQ(state.ScheduleList.count(), entries);
    EXPECT_EQ(renderVcsData(state), once);
}

std::vector<std::string> corpusFiles()
{
    std::vector<std::string> names;
    for (const QString &name :
         QDir(QStringLiteral(SKEDRA_SHARED_DIR "/testdata/vcal-corpus")).entryList({"*.vcs"}, QDir::Files))
        names.push_back(name.toStdString());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Files, VcsCorpus, ::testing::ValuesIn(corpusFiles()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             QString name = QString::fromStdString(info.param);
                             name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
                             return name.toStdString();
                         });

} // namespace
