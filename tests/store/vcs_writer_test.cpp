// The .vcs writer: the bytes of each line, omitted lines, byte limits,
// ranges, and saving that never damages the old file.
#include "vcstestutil.h"
#include "../common/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class VcsWriter : public VcsTest {
protected:
    // A 601SH-style entry with every optional handset line switched off.
    void plainEntry(int i, const QString &summary = QStringLiteral("会議"))
    {
        ScheduleEntry &e = state.ScheduleList[i];
        e[ComponentName] = "VEVENT";
        e[DtStartName] = "DTSTART";
        e[DtStartValue] = "20050301120000";
        e[DtEndName] = "DTEND";
        e[SummaryName] = "SUMMARY";
        e[SummaryParams] = "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE";
        e[SummaryValue] = summary;
        e[DAlarmName] = "DALARM";
        e[DAlarmParams] = "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE";
        e[DAlarmValue] = "00000000000000;";
        e[ShAlarmName] = "X-JPGSH-ALARM";
        e[ShAlarmValue] = "00000000000000";
        e[NoAutoDelName] = "X-JPGSH-NOAUTODEL";
        e[NoAutoDelValue] = "OFF";
        e[NoDispDefWinName] = "X-JPGSH-NODISPDEFWIN";
        e[NoDispDefWinValue] = "ON";
        e[CalColorName] = "X-JPGSH-CALCOLOR";
        e[PreAlarmName] = "X-JPGSH-PREALARM";
        e[PreAlarmValue] = "OFF";
        e[AttachName] = "X-JPGSH-ATTACH";
        e[AttachParams] = "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=";
        e[CategoryCode] = "07";
    }
    // The property lines of the one object written.
    QStringList propertyLines()
    {
        QStringList lines = written().split("\r\n");
        EXPECT_EQ(lines.takeLast(), "");
        return lines.mid(3, lines.size() - 5);
    }
    QString valueOf(const QString &name)
    {
        for (const QString &line : propertyLines()) {
            if (line.section(':', 0, 0).section(';', 0, 0) == name)
                return line.section(':', 1);
        }
        return QStringLiteral("<absent>");
    }
};

TEST_F(VcsWriter, OneObjectLineByLine)
{
    plainEntry(0);
    EXPECT_EQ(written(), "BEGIN:VCALENDAR\r\n"
                         "BEGIN:VEVENT\r\n"
                         "VERSION:1.0\r\n"
                         "DTSTART:20050301T030000Z\r\n"
                         "DTEND:\r\n"
                         "SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=89=EF=8B=63\r\n"
                         "DALARM;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:00000000T000000Z;\r\n"
                         "X-JPGSH-ALARM:00000000T000000Z\r\n"
                         "END:VEVENT\r\n"
                         "END:VCALENDAR\r\n");
}

TEST_F(VcsWriter, OptionalHandsetLinesAppearWhenSet)
{
    plainEntry(0);
    ScheduleEntry &e = state.ScheduleList[0];
    e[NoAutoDelValue] = "ON";
    e[NoDispDefWinValue] = "OFF";
    e[CalColorValue] = "PINK";
    e[PreAlarmValue] = "ON;PT10M";
    e[AttachValue] = "写真.jpg";
    e[AttachParams] = "whatever";
    e[DAlarmValue] = "20050301115900;起きて";
    e[ShAlarmValue] = "20050301115900";
    EXPECT_EQ(valueOf("X-JPGSH-NOAUTODEL"), "ON");
    EXPECT_EQ(valueOf("X-JPGSH-NODISPDEFWIN"), "ON");
    EXPECT_EQ(valueOf("X-JPGSH-CALCOLOR"), "PINK");
    EXPECT_EQ(valueOf("X-JPGSH-PREALARM"), "ON;PT10M");
    EXPECT_EQ(valueOf("DALARM"), "20050301T025900Z;" + coded("起きて"));
    EXPECT_EQ(valueOf("X-JPGSH-ALARM"), "20050301T025900Z");
    const QStringList lines = propertyLines();
    const qsizetype attach = lines.indexOf("X-JPGSH-ATTACH;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=");
    ASSERT_GE(attach, 0);
    EXPECT_EQ(lines[attach + 1], "://" + coded("写真.jpg.___"));
}

TEST_F(VcsWriter, SummaryDescriptionAndMessageAreCutInShiftJisBytes)
{
    plainEntry(0, "あいうえおかきくけこ");
    EXPECT_EQ(valueOf("SUMMARY"), coded("あいうえおかきく"));
    plainEntry(0, "aあいうえおかきくけ");
    EXPECT_EQ(valueOf("SUMMARY"), coded("aあいうえおかき "));
    ScheduleEntry &e = state.ScheduleList[0];
    e[DescriptionName] = "DESCRIPTION";
    e[DescriptionValue] = QString(70, u'字');
    EXPECT_EQ(valueOf("DESCRIPTION"), coded(QString(64, u'字')));
    e[DAlarmValue] = "20050301115900;" + QString(61, u'鳴');
    EXPECT_EQ(valueOf("DALARM"), "20050301T025900Z;" + coded(QString(60, u'鳴')));
    e[JpgFromName] = "X-JPG-FROM";
    e[JpgFromValue] = QString(200, u'長');
    EXPECT_EQ(valueOf("X-JPG-FROM"), coded(QString(200, u'長')));
}

TEST_F(VcsWriter, CodedTextIsUpperCaseWithoutPlus)
{
    plainEntry(0, "a b+c");
    const QString v = valueOf("SUMMARY");
    EXPECT_EQ(v, v.toUpper());
    EXPECT_FALSE(v.contains('+'));
    EXPECT_EQ(state.HexCoder->Decode(v), "a b+c");
}

TEST_F(VcsWriter, SoundFileNamesAreCodedWithTheHiddenEnding)
{
    plainEntry(0);
    ScheduleEntry &e = state.ScheduleList[0];
    e[SndName] = "X-JPGSH-SND";
    e[SndParams] = "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE";
    const struct {
        const char *held;
        QString out;
    } rows[] = {
        {"0;3", "0;3"},
        {"2;voice.amr", "2;voice.amr"},
        {"1;melody.mid", coded("1;melody.mid.___")},
        {"1;melody.mmf.HUF", coded("1;melody.mmf.HUF")},
    };
    for (const auto &row : rows) {
        e[SndValue] = row.held;
        EXPECT_EQ(valueOf("X-JPGSH-SND"), row.out) << row.held;
    }
}

TEST_F(VcsWriter, RangesStopAtTheFirstEmptyEntry)
{
    for (int i = 0; i < 4; ++i)
        plainEntry(i, QString::number(i + 1));
    const auto summaries = [&](int first, int last) {
        QStringList out;
        for (const QString &line : written(first, last).split("\r\n")) {
            if (line.startsWith("SUMMARY"))
                out += state.HexCoder->Decode(line.section(':', 1));
        }
        return out;
    };
    EXPECT_EQ(summaries(3, 3), QStringList{"3"});
    EXPECT_EQ(summaries(2, 500), (QStringList{"2", "3", "4"}));
    EXPECT_EQ(summaries(0, 9999), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(summaries(5, 5), QStringList{});
    EXPECT_EQ(summaries(3, 2), QStringList{});
}

TEST_F(VcsWriter, ValuesKeptAsReadAreWrittenAsHeld)
{
    plainEntry(0);
    ScheduleEntry &e = state.ScheduleList[0];
    const struct {
        int slot;
        const char *held;
        const char *name;
        const char *out;
    } rows[] = {
        {DtStartValue, "20050301", "DTSTART", "20050301"},
        {DtStartValue, "", "DTSTART", ""},
        {DtStartValue, "20051345000000", "DTSTART", "20051345000000"},
        {DtStartValue, "00010101030000", "DTSTART", "00010101030000"},  // would fall before year 1
        {DtStartValue, "2005030112000", "DTSTART", "2005030112000"},
        {ShAlarmValue, "tomorrow", "X-JPGSH-ALARM", "tomorrow"},
        {DAlarmValue, "soon;PT5M;2;=82=A0", "DALARM", "soon;PT5M;2;=82=A0"},
        {DAlarmValue, "20050301120000", "DALARM", "20050301T030000Z;"},
    };
    for (const auto &row : rows) {
        e[row.slot] = row.held;
        EXPECT_EQ(valueOf(row.name), row.out) << row.held;
        plainEntry(0);
    }
}

TEST_F(VcsWriter, ComponentAndCategoryCode)
{
    plainEntry(0);
    plainEntry(1);
    state.ScheduleList[0][ComponentName].clear();
    state.ScheduleList[1][ComponentName].clear();
    state.ScheduleList[1][DtStartName] = "DUE";
    const QString out = written();
    EXPECT_TRUE(out.startsWith("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"));
    EXPECT_TRUE(out.contains("BEGIN:VTODO\r\nVERSION:1.0\r\nDUE:"));
    EXPECT_FALSE(out.contains("07"));
    EXPECT_FALSE(out.contains("\r\n\r\n"));
}

TEST_F(VcsWriter, OnlyCharactersWrittenAsQuestionMarksAreCounted)
{
    const struct {
        const char16_t *summary;
        const char16_t *classValue;
        int counted;
        const char *classOut;
    } rows[] = {
        {u"a\U0001F600b", u"\u00e9\u00e8", 3, "CLASS:??\r\n"},
        {u"a\u301Cb", u"", 0, nullptr},                // WAVE DASH goes as FULLWIDTH TILDE
        {u"a\u2212b", u"1\u301C2", 0, "CLASS:1\x81\x60" "2\r\n"},
        {u"\u301C\U0001F600", u"\u2212\u00e9", 2, "CLASS:\x81\x7c?\r\n"},
    };
    for (const auto &row : rows) {
        plainEntry(0, QString::fromUtf16(row.summary));
        state.ScheduleList[0][ClassName] = "CLASS";
        state.ScheduleList[0][ClassValue] = QString::fromUtf16(row.classValue);
        int unencodable = -1;
        state.FirstIndex = 1;
        state.LastIndex = 1;
        const QByteArray bytes = renderVcsData(state, &unencodable);
        EXPECT_EQ(unencodable, row.counted) << QString::fromUtf16(row.summary).toStdString();
        if (row.classOut)
            EXPECT_TRUE(bytes.contains(row.classOut)) << bytes.constData();
    }
    plainEntry(0, QStringLiteral("a\U0001F600b"));
    EXPECT_EQ(valueOf("SUMMARY"), coded("a?b"));
}

TEST_F(VcsWriter, ValuesThatDidNotDecodeGoBackAsRead)
{
    const char *lines[] = {
        "DALARM;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:20050301T025900Z;=6",
        "SUMMARY;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=ZZ=82=A0",
        "DESCRIPTION:a=4",
        "X-JPG-FROM:=G1",
        "X-JPGSH-SND:1;=Q",
        "DALARM:soon;PT5M;2;=82=A0",
        "DTEND:20050301T0300Z",
    };
    for (const char *line : lines) {
        read(object({"DTSTART:20050301T030000Z", QString::fromLatin1(line)}));
        EXPECT_TRUE(propertyLines().contains(QString::fromLatin1(line))) << line << "\n"
                                                                       << written().toStdString();
    }
    // An attachment's second line, also when its "=" escapes are broken.
    const QStringList attach{"X-JPGSH-ATTACH;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=",
                             "://=G0photo.jpg.___"};
    read(object(QStringList{"DTSTART:20050301T030000Z"} + attach));
    EXPECT_TRUE(written().contains(attach.join("\r\n") + "\r\n")) << written().toStdString();

    // Changed by the user since, the text is coded like any other.
    read(object({"DTSTART:20050301T030000Z", "SUMMARY:=ZZ"}));
    state.ScheduleList[0][SummaryValue] = QStringLiteral("会議=1");
    EXPECT_EQ(valueOf("SUMMARY"), coded("会議=1"));
}

class VcsSave : public VcsWriter {
protected:
    void SetUp() override
    {
        VcsWriter::SetUp();
        ASSERT_TRUE(dir.isValid());
        plainEntry(0);
        state.FirstIndex = 1;
        state.LastIndex = MaxEntries;
    }
    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void put(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

TEST_F(VcsSave, ReplacesTheFileWithTheRenderedBytes)
{
    state.SaveFileName = dir.filePath("out.vcs");
    put(state.SaveFileName, QByteArray(10000, 'x'));
    const WriteResult r = proc_write(state);
    EXPECT_TRUE(r.written);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(contents(state.SaveFileName), renderVcsData(state));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.vcs"}) << "no temporary file left";
}

TEST_F(VcsSave, FailuresLeaveWhatWasThereAndSaySo)
{
    // A folder where the file should go.
    state.SaveFileName = dir.filePath("folder");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    WriteResult r = proc_write(state);
    EXPECT_FALSE(r.written);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::WriteFailed);
    EXPECT_EQ(r.messages[0].text(), "データ書き込み中にエラーが発生しました。　　　\n確認してもう一度やり直してください。　　");
    EXPECT_TRUE(QFileInfo(state.SaveFileName).isDir());

    // A path through a regular file.
    put(dir.filePath("plain"), "old");
    state.SaveFileName = dir.filePath("plain/out.vcs");
    r = proc_write(state);
    EXPECT_FALSE(r.written);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::WriteFailed);
    EXPECT_EQ(contents(dir.filePath("plain")), "old");
}

TEST_F(VcsSave, AWriteThatFailsHalfWayKeepsTheOldFile)
{
    // The system refuses to let this process grow any file past 100 bytes.
    for (int i = 1; i < 20; ++i)
        plainEntry(i);
    state.SaveFileName = dir.filePath("old.vcs");
    put(state.SaveFileName, "the old file");
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteResult r = proc_write(state);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(r.written);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::WriteFailed);
    EXPECT_EQ(contents(state.SaveFileName), "the old file");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.vcs"});
}

TEST_F(VcsSave, LinksAreFollowedAndFifosWrittenInPlace)
{
    const QByteArray expected = renderVcsData(state);
    put(dir.filePath("real.vcs"), "old");
    ASSERT_TRUE(QFile::link(dir.filePath("real.vcs"), dir.filePath("link.vcs")));
    state.SaveFileName = dir.filePath("link.vcs");
    EXPECT_TRUE(proc_write(state).written);
    EXPECT_TRUE(QFileInfo(state.SaveFileName).isSymLink()) << "the link stays a link";
    EXPECT_EQ(contents(dir.filePath("real.vcs")), expected);

    const QByteArray fifo = QFile::encodeName(dir.filePath("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile f(QString::fromLocal8Bit(fifo));
        if (f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            received = f.readAll();
    });
    state.SaveFileName = dir.filePath("fifo");
    const WriteResult r = proc_write(state);
    reader.join();
    EXPECT_TRUE(r.written);
    EXPECT_EQ(received, expected);
    EXPECT_FALSE(QFileInfo(state.SaveFileName).isFile()) << "still the FIFO";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System),
              (QStringList{"fifo", "link.vcs", "real.vcs"})) << "no temporary file left";
}

// In a folder where no temporary file can be made, a writable file is
// written in place; otherwise the user hears why it failed.
TEST_F(VcsSave, FolderWithoutRoomForATemporaryFile)
{
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString folder = dir.filePath("ro");
    ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
    put(folder + "/open.vcs", "old");
    put(folder + "/locked.vcs", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(folder + "/open.vcs").constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder + "/locked.vcs").constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    const struct {
        const char *file;
        int outcome;  // 0 written, else 10 + the message's code
        const char *contents;
    } rows[] = {
        {"open.vcs", 0, nullptr},
        {"locked.vcs", 10 + int(StoreCode::WriteInUse), "old"},
        {"new.vcs", 10 + int(StoreCode::WriteInUse), "<unreadable>"},
    };
    const QByteArray expected = renderVcsData(state);
    for (const auto &row : rows) {
        state.SaveFileName = folder + "/" + row.file;
        std::string why;
        const std::optional<int> outcome = wherePermissionsHold(
            [&] {
                const WriteResult r = proc_write(state);
                return r.written ? 0 : r.messages.isEmpty() ? 98 : 10 + int(r.messages[0].code);
            },
            why);
        if (!outcome)
            GTEST_SKIP() << why;
        EXPECT_EQ(*outcome, row.outcome) << row.file;
        EXPECT_EQ(contents(state.SaveFileName), row.contents ? QByteArray(row.contents) : expected) << row.file;
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"locked.vcs", "open.vcs"}));
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST_F(VcsSave, InUseMessageNamesTheFile)
{
    StoreMessage m{StoreCode::WriteInUse, QStringLiteral("C:/x.vcs"), 0, 0};
    EXPECT_EQ(m.text(), "C:/x.vcs" "は他で使用中です。　　　\n確認してもう一度やり直してください。　　");
    EXPECT_EQ(m.title(), "エラー");
    EXPECT_EQ(m.icon(), MessageIcon::Critical);
}

TEST_F(VcsSave, WithoutTheCoderNothingIsWritten)
{
    state.HexCoder.reset();
    state.SaveFileName = dir.filePath("out.vcs");
    const WriteResult r = proc_write(state);
    EXPECT_FALSE(r.written);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.messages[0].code, StoreCode::CoderMissing);
    EXPECT_FALSE(QFile::exists(state.SaveFileName));
}

} // namespace
