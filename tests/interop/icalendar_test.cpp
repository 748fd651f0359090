// The iCalendar bridge: lossless round trips, files libical accepts, repeat
// days that calendar programs and our calendar agree on, edits made in a
// calendar program, and imports of files other programs wrote.
#include "icalendar.h"
#include "newentry.h"
#include "occurrence.h"
#include "tablemaker.h"
#include "vcstestutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <set>

extern "C" {
#include <libical/ical.h>
}

using namespace skedra;
using namespace skedra::test;

namespace {

const QString Model = QStringLiteral("603SH");

ics::NewEntryAt addDefaults()
{
    return [](const QString &start) { return makeNewEntryAt(Model, EntryDefaults{}, start); };
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

class Ics : public VcsTest {
protected:
    // The handset files of the round-trip and conformance tests: the sample
    // and generated tables (one of them full), each as the writer writes it.
    QList<QPair<QString, QByteArray>> handsetFiles()
    {
        QList<QPair<QString, QByteArray>> files{
            {QStringLiteral("sample"), fileBytes(QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs"))}};
        for (quint32 seed = 1; seed <= 4; ++seed) {
            TableMaker maker(seed);
            const int n = seed == 1 ? MaxEntries : 1 + maker.below(80);
            state.clearList();
            for (int i = 0; i < n; ++i)
                state.ScheduleList[i] = maker.entry();
            read(renderAll());  // once through the reader: what a handset file holds
            files.append({QStringLiteral("table %1").arg(seed), renderAll()});
        }
        state.clearList();
        return files;
    }
    QByteArray renderAll()
    {
        state.FirstIndex = 1;
        state.LastIndex = MaxEntries;
        return renderVcsData(state);
    }
};

TEST_F(Ics, HandsetFilesComeBackByteForByte)
{
    for (const auto &[name, vcs] : handsetFiles()) {
        read(vcs);
        const ics::ExportResult exported = ics::exportEntries(state.ScheduleList, *state.HexCoder, 1, MaxEntries);
        state.clearList();
        const ics::ImportResult imported = ics::importIcs(state.ScheduleList, exported.bytes, addDefaults());
        EXPECT_TRUE(imported.messages.isEmpty()) << name.toStdString();
        EXPECT_EQ(imported.droppedRules + imported.skipped, 0) << name.toStdString();
        const QStringList back = Sjis::decode(renderAll()).split(QStringLiteral("\r\n"));
        const QStringList original = Sjis::decode(vcs).split(QStringLiteral("\r\n"));
        for (int i = 0; i < std::min(back.size(), original.size()); ++i) {
            if (back[i] != original[i]) {
                ADD_FAILURE() << name.toStdString() << " line " << i << "\n" << back[i].toStdString() << "\n"
                              << original[i].toStdString();
                break;
            }
        }
        EXPECT_TRUE(renderAll() == vcs) << name.toStdString();
    }
}

// libical's X-LIC-ERROR texts anywhere in the component.
std::string errorsIn(icalcomponent *c)
{
    std::string errors;
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY))
        errors += std::string(icalproperty_get_xlicerror(p)) + "\n";
    for (icalcomponent *s = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); s;
         s = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        errors += errorsIn(s);
    return errors;
}

TEST_F(Ics, ExportedFilesPassLibicalsRestrictionCheck)
{
    for (const auto &[name, vcs] : handsetFiles()) {
        read(vcs);
        const QByteArray text = ics::exportEntries(state.ScheduleList, *state.HexCoder, 1, MaxEntries).bytes;
        icalcomponent *cal = icalparser_parse_string(text.constData());
        ASSERT_TRUE(cal) << name.toStdString();
        EXPECT_EQ(errorsIn(cal), "") << name.toStdString() << ": parse";
        EXPECT_EQ(icalrestriction_check(cal), 1) << name.toStdString();
        EXPECT_EQ(errorsIn(cal), "") << name.toStdString() << ": restrictions";
        icalcomponent_free(cal);
    }
}

ScheduleEntry ruleEntry(const QString &start, const QString &rule, const QString &end = QString(),
                        const QString &yearly = QString())
{
    ScheduleEntry e;
    e[ComponentName] = QStringLiteral("VEVENT");
    e[DtStartName] = QStringLiteral("DTSTART");
    e[DtStartValue] = start;
    e[DtEndName] = QStringLiteral("DTEND");
    e[DtEndValue] = end;
    e[RRuleName] = QStringLiteral("RRULE");
    e[RRuleValue] = rule;
    e[YearlyName] = QStringLiteral("X-JPGSH-YEARLY");
    e[YearlyValue] = yearly;
    e[SummaryName] = QStringLiteral("SUMMARY");
    e[SummaryValue] = rule;
    return e;
}

// libical's days of the exported rule, and ours, over two years from the start.
TEST_F(Ics, RepeatDaysAgreeWithTheCalendar)
{
    struct Case {
        ScheduleEntry entry;
        bool agrees;  // false: the export says it cannot, in a COMMENT
    };
    const QList<Case> cases{
        {ruleEntry("20050130100000", "D1 #3"), true},
        {ruleEntry("20050130100000", "D1 #3", "20050205110000"), true},  // the end decides, not the count
        {ruleEntry("20050130100000", "D1 #0"), true},
        {ruleEntry("20050307100000", "W1 MO #5"), true},
        {ruleEntry("20050310100000", "W1 MO #5"), true},  // a Thursday start: first shown on Monday
        {ruleEntry("20050306080000", "W1 SU #0", "20050306093000"), true},  // 08:00 is the day before in UTC
        {ruleEntry("20050131090000", "MP1 31 #4"), true},  // months without a 31st are skipped
        {ruleEntry("20050120120000", "MP1 15 #0"), true},
        {ruleEntry("20050101030000", "MP1 01 #3"), true},
        {ruleEntry("20250201100000", "MP1 30 #0"), true},  // February has no 30th: first shown on 30 March
        {ruleEntry("20250401100000", "MP1 31 #0"), true},  // first shown on 31 May
        {ruleEntry("20250201100000", "MP1 30 #1", "20250220100000"), false},  // ends before any 30th
        {ruleEntry("20040229000000", "", "", "0229"), true},
        {ruleEntry("20050503000000", "", "20050503000000", "0503"), true},
        {ruleEntry("20050310100000", "W1 XX #3"), false},
        {ruleEntry("20050310100000", "YM1 6 #0"), false},
        {ruleEntry("20050310100000", "D1 #3", "20050301100000"), false},
    };
    QList<ScheduleEntry> entries;
    for (const Case &c : cases)
        entries.append(c.entry);
    read(fileBytes(QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs")));
    for (int i = 0; i < state.ScheduleList.count(); ++i)
        entries.append(state.ScheduleList[i]);
    TableMaker maker(7);
    for (int i = 0; i < 60; ++i)
        entries.append(maker.entry());

    ScheduleList list;
    for (int i = 0; i < entries.size(); ++i)
        list[i] = entries[i];
    const QByteArray text = ics::exportEntries(list, *state.HexCoder, 1, MaxEntries).bytes;
    icalcomponent *cal = icalparser_parse_string(text.constData());
    ASSERT_TRUE(cal);
    int i = 0;
    for (icalcomponent *c = icalcomponent_get_first_component(cal, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(cal, ICAL_ANY_COMPONENT)) {
        if (icalcomponent_isa(c) == ICAL_VTIMEZONE_COMPONENT)
            continue;
        const ScheduleEntry &e = entries[i];
        const std::string what = QStringLiteral("entry %1: %2 %3 %4").arg(i).arg(e[DtStartValue], e[RRuleValue], e[YearlyValue]).toStdString();
        const bool commented = icalcomponent_get_first_property(c, ICAL_COMMENT_PROPERTY) != nullptr;
        if (i < cases.size())
            EXPECT_EQ(!commented, cases[i].agrees) << what;
        ++i;
        icalproperty *rrule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
        if (!rrule || commented)
            continue;
        const QDate from = QDate::fromString(e[DtStartValue].left(8), u"yyyyMMdd");
        const QDate to = from.addYears(2);
        std::set<QString> theirs, ours;
        // The start in its zone (the file's VTIMEZONE), as a calendar program
        // takes it.
        const icaltimetype start =
            icalproperty_get_datetime_with_component(icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY), c);
        icalrecur_iterator *it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
        ASSERT_TRUE(it) << what;
        for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t); t = icalrecur_iterator_next(it)) {
            const QDate d(t.year, t.month, t.day);
            if (d > to)
                break;
            theirs.insert(calendar::dateText(d));
        }
        icalrecur_iterator_free(it);
        const calendar::Recurrence r = calendar::recurrenceOf(e);
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            if (calendar::fallsOn(r, calendar::CalendarDay::of(d)))
                ours.insert(calendar::dateText(d));
        }
        EXPECT_EQ(theirs, ours) << what << " " << icalproperty_get_value_as_string(rrule);
    }
    EXPECT_EQ(i, entries.size());
    icalcomponent_free(cal);
}

// The UID of an exported event: made from what the .vcs file holds for the
// entry, so that exporting the same file again updates a calendar program's
// events, and unique within one export.
TEST_F(Ics, UidsFollowTheFileAndDifferWithinAnExport)
{
    const auto uidsOf = [this](const QList<ScheduleEntry> &entries) {
        ScheduleList list;
        for (int i = 0; i < entries.size(); ++i)
            list[i] = entries[i];
        const QByteArray text = ics::exportEntries(list, *state.HexCoder, 1, MaxEntries).bytes;
        QStringList uids;
        for (const QByteArray &line : text.split('\n')) {
            if (line.startsWith("UID:"))
                uids.append(QString::fromLatin1(line.mid(4).trimmed()));
        }
        return uids;
    };
    const ScheduleEntry meeting = ruleEntry("20050307100000", "W1 MO #0");
    ScheduleEntry sorted = meeting;  // as the list shows it: with its category sort key
    sorted[CategoryCode] = QStringLiteral("07");
    ScheduleEntry defaults = meeting;  // a setting the file leaves out when it is off
    defaults[NoAutoDelName] = QStringLiteral("X-JPGSH-NOAUTODEL");
    defaults[NoAutoDelValue] = QStringLiteral("OFF");
    ScheduleEntry moved = meeting;
    moved[DtStartValue] = QStringLiteral("20050314100000");

    struct Case {
        const char *what;
        QList<ScheduleEntry> first, second;  // two exports
        bool sameUids;
    };
    const QList<Case> cases{
        {"the same entry exported twice", {meeting}, {meeting}, true},
        {"the list's sort key is not in the file", {meeting}, {sorted}, true},
        {"a setting written as absent", {meeting}, {defaults}, true},
        {"identical entries in one export get their ordinal, in the same order again", {meeting, meeting},
         {sorted, meeting}, true},
        {"another start", {meeting}, {moved}, false},
    };
    for (const Case &c : cases) {
        const QStringList first = uidsOf(c.first), second = uidsOf(c.second);
        EXPECT_EQ(first == second, c.sameUids) << c.what << ": " << first.join(u' ').toStdString() << " / "
                                               << second.join(u' ').toStdString();
        EXPECT_EQ(QSet<QString>(first.begin(), first.end()).size(), first.size()) << c.what;
    }
}

// Start and end of an exported event or to-do: an end time before the start
// time ends a repeat's occurrences on the next day; a to-do that is still to
// be done gets no completion moment, which calendar programs take as done.
TEST_F(Ics, ExportedTimesAreTheEntrysTimes)
{
    ScheduleEntry openTodo = ruleEntry("20250410090000", "", "20250410235900");
    openTodo[ComponentName] = QStringLiteral("VTODO");
    openTodo[DtStartName] = QStringLiteral("DUE");
    openTodo[DtEndName] = QStringLiteral("COMPLETED");
    openTodo[StatusName] = QStringLiteral("STATUS");
    openTodo[StatusValue] = QStringLiteral("NEEDS ACTION");
    ScheduleEntry doneTodo = openTodo;
    doneTodo[StatusValue] = QStringLiteral("COMPLETED");
    struct Case {
        const char *what;
        ScheduleEntry entry;
        QStringList lines;    // lines the event holds
        QStringList absent;   // names of properties it must not hold
    };
    const QList<Case> cases{
        {"a weekly repeat from 23:00 to 01:00", ruleEntry("20250107230000", "W1 TU #0", "20250107010000"),
         {"DTSTART;TZID=Asia/Tokyo:20250107T230000", "DTEND;TZID=Asia/Tokyo:20250108T010000"}, {}},
        {"a daily repeat from 08:00 to 07:59", ruleEntry("20250107080000", "D1 #3", "20250109075900"),
         {"DTSTART;TZID=Asia/Tokyo:20250107T080000", "DTEND;TZID=Asia/Tokyo:20250108T075900",
          "RRULE:FREQ=DAILY;COUNT=3"}, {}},
        {"a repeat within its day", ruleEntry("20250107100000", "W1 TU #0", "20250107113000"),
         {"DTEND;TZID=Asia/Tokyo:20250107T113000"}, {}},
        {"an event over midnight", ruleEntry("20250107230000", "", "20250108010000"),
         {"DTSTART:20250107T140000Z", "DTEND:20250107T160000Z"}, {}},
        {"a to-do still to be done", openTodo, {"DUE:20250410T000000Z", "STATUS:NEEDS-ACTION"}, {"COMPLETED"}},
        {"a done to-do", doneTodo, {"COMPLETED:20250410T145900Z", "STATUS:COMPLETED"}, {}},
    };
    for (const Case &c : cases) {
        ScheduleList list;
        list[0] = c.entry;
        const QStringList lines = QString::fromUtf8(ics::exportEntries(list, *state.HexCoder, 1, 1).bytes)
                                      .split(QStringLiteral("\r\n"));
        for (const QString &line : c.lines)
            EXPECT_TRUE(lines.contains(line)) << c.what << ": " << line.toStdString() << "\n"
                                              << lines.join(u'\n').toStdString();
        for (const QString &name : c.absent) {
            EXPECT_FALSE(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(name + u':'); }))
                << c.what << ": " << name.toStdString();
        }
        // What was exported comes back as it was.
        ScheduleList back;
        ics::importIcs(back, ics::exportEntries(list, *state.HexCoder, 1, 1).bytes, addDefaults());
        EXPECT_EQ(back[0], c.entry) << c.what;
    }
}

// A Skedra export edited in a calendar program: the edit comes back, the
// handset texts stay.
TEST_F(Ics, EditsMadeElsewhereWinOverCarriedTexts)
{
    read(fileBytes(QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs")));
    const ScheduleEntry original = state.ScheduleList[0];  // 定例会議, Mondays 10:00, alarm 09:50
    const QString exported = QString::fromUtf8(ics::exportEntries(state.ScheduleList, *state.HexCoder, 1, 1).bytes);

    struct Case {
        const char *what;
        QString pattern, replacement;  // a regular expression over the exported text
        QList<QPair<int, QString>> changed;
    };
    const QList<Case> cases{
        {"nothing", QString(), QString(), {}},
        {"summary", QStringLiteral("SUMMARY:定例会議"), QStringLiteral("SUMMARY:定例会議（変更）"),
         {{SummaryValue, QStringLiteral("定例会議（変更）")}}},
        {"start moved a week", QStringLiteral("DTSTART;TZID=Asia/Tokyo:20050307T100000"),
         QStringLiteral("DTSTART;TZID=Asia/Tokyo:20050314T100000"), {{DtStartValue, QStringLiteral("20050314100000")},
          {DtEndValue, QStringLiteral("20050314113000")}}},
        {"repeat made daily", QStringLiteral("RRULE:FREQ=WEEKLY;BYDAY=MO"), QStringLiteral("RRULE:FREQ=DAILY"),
         {{RRuleValue, QStringLiteral("D1 #0")}}},
        {"alarm removed", QStringLiteral("BEGIN:VALARM.*END:VALARM\r\n"), QString(),
         {{DAlarmValue, QStringLiteral("00000000000000;")}, {ShAlarmValue, QStringLiteral("00000000000000")}}},
    };
    for (const Case &c : cases) {
        QString text = exported;
        if (!c.pattern.isEmpty()) {
            const QRegularExpression re(c.pattern, QRegularExpression::DotMatchesEverythingOption);
            ASSERT_TRUE(text.contains(re)) << c.what << "\n" << exported.toStdString();
            text.replace(re, c.replacement);
        }
        ScheduleList list;
        ics::importIcs(list, text.toUtf8(), addDefaults());
        ScheduleEntry expected = original;
        for (const auto &[slot, value] : c.changed)
            expected[slot] = value;
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (slot != CategoryCode && slot != KeptAsRead)
                EXPECT_EQ(list[0][slot], expected[slot]) << c.what << ", slot " << slot;
        }
    }
}

// Files of other programs: how their properties become handset values.
TEST_F(Ics, ForeignPropertiesBecomeHandsetValues)
{
    struct Case {
        const char *what;
        QByteArray lines;  // inside BEGIN:VEVENT / END:VEVENT unless they begin another component
        QList<QPair<int, QString>> expected;
        int dropped;
        QStringList note;  // lines the note after importing holds
    };
    const QByteArray zoneNY =
        "BEGIN:VTIMEZONE\nTZID:America/New_York\nBEGIN:STANDARD\nDTSTART:19701101T020000\n"
        "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nEND:STANDARD\n"
        "BEGIN:DAYLIGHT\nDTSTART:19700308T020000\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nTZOFFSETFROM:-0500\n"
        "TZOFFSETTO:-0400\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
    const QByteArray longText(130, 'x');
    const QList<Case> cases{
        {"UTC start and end, summary", "DTSTART:20050307T010000Z\nDTEND:20050307T023000Z\nSUMMARY:Meeting",
         {{DtStartValue, "20050307100000"}, {DtEndValue, "20050307113000"}, {SummaryValue, "Meeting"},
          {SndValue, "0;0"}, {VolValue, "5"}, {CmbltNoValue, "ON1;0;3"}, {RRuleValue, ""}},
         0},
        {"zone time through its VTIMEZONE (summer time)",
         zoneNY + "BEGIN:VEVENT\nDTSTART;TZID=America/New_York:20050701T200000\nSUMMARY:NY",
         {{DtStartValue, "20050702090000"}},
         0},
        {"all day, two days", "DTSTART;VALUE=DATE:20050401\nDTEND;VALUE=DATE:20050403\nSUMMARY:Trip",
         {{DtStartValue, "20050401000000"}, {DtEndValue, "20050402235900"}},
         0},
        {"weekly on the start's day, counted",
         "DTSTART:20050307T010000Z\nDTEND:20050307T020000Z\nRRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=5",
         {{RRuleValue, "W1 MO #5"}, {DtEndValue, "20050404110000"}},
         0},
        {"monthly on the 31st, counted as calendar programs count",
         "DTSTART:20050131T010000Z\nRRULE:FREQ=MONTHLY;COUNT=3",
         {{RRuleValue, "MP1 31 #3"}, {DtEndValue, "20050531100000"}},
         0},
        {"yearly", "DTSTART;VALUE=DATE:20050503\nRRULE:FREQ=YEARLY",
         {{RRuleValue, ""}, {YearlyValue, "0503"}, {DtEndValue, "20050503235900"}},
         0},
        {"two weekdays: first occurrence only", "DTSTART:20050307T010000Z\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE",
         {{RRuleValue, ""}, {DtStartValue, "20050307100000"}},
         1},
        {"every second week", "DTSTART:20050307T010000Z\nRRULE:FREQ=WEEKLY;INTERVAL=2", {{RRuleValue, ""}}, 1},
        {"an end date: counted as the handset counts", "DTSTART:20050307T010000Z\nRRULE:FREQ=DAILY;UNTIL=20050310T000000Z",
         {{RRuleValue, "D1 #3"}, {DtEndValue, "20050309100000"}},
         0},
        {"weekly at 10:30 New York time across the start of summer time: first occurrence only",
         zoneNY + "BEGIN:VEVENT\nDTSTART;TZID=America/New_York:20250304T103000\nRRULE:FREQ=WEEKLY;COUNT=4",
         {{RRuleValue, ""}, {DtStartValue, "20250305003000"}},
         1},
        {"weekly at 10:30 New York time within winter time", zoneNY + "BEGIN:VEVENT\nDTSTART;TZID=America/New_York:20250107T103000\nRRULE:FREQ=WEEKLY;COUNT=4",
         {{RRuleValue, "W1 WE #4"}, {DtStartValue, "20250108003000"}, {DtEndValue, "20250129003000"}},
         0},
        {"a repeat of which the file changes one occurrence: first occurrence only",
         "UID:s\nDTSTART:20050307T010000Z\nRRULE:FREQ=WEEKLY;COUNT=3\nEND:VEVENT\nBEGIN:VEVENT\nUID:s\n"
         "RECURRENCE-ID:20050314T010000Z\nDTSTART:20050314T030000Z",
         {{RRuleValue, ""}, {DtStartValue, "20050307100000"}},
         1},
        {"an occurrence longer than a day: first occurrence only",
         "DTSTART;VALUE=DATE:20050401\nDTEND;VALUE=DATE:20050403\nRRULE:FREQ=YEARLY",
         {{YearlyValue, ""}, {DtEndValue, "20050402235900"}},
         1},
        {"overnight weekly: the end's time on the last occurrence's day",
         "DTSTART:20050307T140000Z\nDTEND:20050307T160000Z\nRRULE:FREQ=WEEKLY;COUNT=2",
         {{RRuleValue, "W1 MO #2"}, {DtStartValue, "20050307230000"}, {DtEndValue, "20050314010000"}},
         0},
        {"an excluded day", "DTSTART:20050307T010000Z\nRRULE:FREQ=DAILY;COUNT=3\nEXDATE:20050308T010000Z",
         {{RRuleValue, ""}},
         1},
        {"alarm 15 minutes before, priority, class, categories",
         "DTSTART:20050307T010000Z\nPRIORITY:1\nCLASS:CONFIDENTIAL\nCATEGORIES:BUSINESS,記念日\n"
         "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:移動\nTRIGGER:-PT15M\nEND:VALARM",
         {{DAlarmValue, "20050307094500;移動"}, {ShAlarmValue, "20050307094500"}, {PriorityValue, "1"},
          {ClassValue, "PRIVATE"}, {CategoriesValue, "BUSINESS"}, {ShCategoriesValue, "1"}},
         0},
        {"two alarms: the handset holds the first",
         "DTSTART:20050307T010000Z\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT30M\nEND:VALARM\n"
         "BEGIN:VALARM\nACTION:AUDIO\nTRIGGER:-PT5M\nEND:VALARM",
         {{DAlarmValue, "20050307093000;"}},
         0,
         {"2つ目からのアラーム1件は、携帯電話のアラームが1つのため読み込みませんでした。"}},
        {"low priority, no alarm", "DTSTART:20050307T010000Z\nPRIORITY:9",
         {{PriorityValue, "2"}, {DAlarmValue, "00000000000000;"}},
         0},
        {"a completed to-do: due, completion moment and status",
         "BEGIN:VTODO\nDUE:20050401T030000Z\nCOMPLETED:20050402T030000Z\nSTATUS:COMPLETED\nSUMMARY:Todo",
         {{ComponentName, "VTODO"}, {DtStartName, "DUE"}, {DtStartValue, "20050401120000"}, {DtEndName, "COMPLETED"},
          {DtEndValue, "20050402120000"}, {StatusValue, "COMPLETED"}},
         0},
        {"an open to-do due on a day has no completion moment",
         "BEGIN:VTODO\nDUE;VALUE=DATE:20250410\nSTATUS:NEEDS-ACTION\nSUMMARY:Todo",
         {{DtStartValue, "20250410000000"}, {DtEndValue, ""}, {StatusValue, "NEEDS ACTION"}},
         0},
        {"the place joins the description, letters made ASCII",
         "DTSTART:20050307T010000Z\nSUMMARY:Caf\xc3\xa9\nDESCRIPTION:With Ann\nLOCATION:M\xc3\xbcnchen \xe2\x80\x94 Mitte",
         {{SummaryValue, "Cafe"}, {DescriptionValue, "With Ann\n場所：Munchen — Mitte"}},
         0},
        {"a place without room in the description",
         "DTSTART:20050307T010000Z\nSUMMARY:x\nDESCRIPTION:" + longText.left(125) + "\nLOCATION:Hall",
         {{DescriptionValue, QString(125, u'x')}},
         0,
         {"場所1件は、内容に入りきらないため読み込みませんでした。"}},
        {"texts longer than the handset keeps, characters it cannot write",
         "DTSTART:20050307T010000Z\nSUMMARY:Quarterly planning\nDESCRIPTION:" + longText + "\xed\x95\x9c",
         {{SummaryValue, "Quarterly planning"}},
         0,
         {"件名1件は携帯電話の長さ（全角8文字）を超えるため、保存するときに切り詰められます。",
          "内容1件は携帯電話の長さ（全角64文字）を超えるため、保存するときに切り詰められます。"}},
        {"a character the handset cannot write", "DTSTART:20050307T010000Z\nSUMMARY:\xed\x95\x9c\xea\xb8\x80",
         {{SummaryValue, "한글"}},
         0,
         {"Shift_JISで表せない文字2文字は、保存するときに「?」になります。"}},
        {"text in Latin-1 (not CP932: \"\xe9\" ends a line)",
         "DTSTART:20050307T010000Z\nSUMMARY:20\xb0\x43 \xd7 2\nDESCRIPTION:Caf\xe9",
         {{SummaryValue, "20°C × 2"}, {DescriptionValue, "Cafe"}},
         0},
        {"text in CP932, and in the character set its property names",
         "DTSTART:20050307T010000Z\nSUMMARY:\x89\xef\x8b\x63\nDESCRIPTION;CHARSET=ISO-8859-1:\xb1\x31",
         {{SummaryValue, "会議"}, {DescriptionValue, "±1"}},
         0},
        {"UTF-8 with bytes lost in transit keeps its whole characters",
         "DTSTART:20050307T010000Z\nSUMMARY:\xe5\x9b\xbd\xe9\x9a\x9b\xe5?\x9a\xe8\xa6\xa7\xe4\xbc\x9a",
         {{SummaryValue, "国際\uFFFD?\uFFFD覧会"}},
         0,
         {"Shift_JISで表せない文字2文字は、保存するときに「?」になります。"}},
        {"libical's warnings about the file", "DTSTART:20050307T010000Z\nDTEND:2005\nSUMMARY:x",
         {{DtEndValue, ""}},
         0,
         {"ファイルの書式の誤り1件を読み飛ばしました"}},
    };
    for (const Case &c : cases) {
        QByteArray body = c.lines;
        if (!body.startsWith("BEGIN:"))
            body = "BEGIN:VEVENT\n" + body;
        const QByteArray component = body.contains("BEGIN:VTODO") ? "VTODO" : "VEVENT";
        const QByteArray text = "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//test//EN\n" + body
            + "\nUID:1\nDTSTAMP:20050101T000000Z\nEND:" + component + "\nEND:VCALENDAR\n";
        ScheduleList list;
        const ics::ImportResult r = ics::importIcs(list, text, addDefaults());
        ASSERT_EQ(r.added, 1) << c.what;
        EXPECT_EQ(r.droppedRules, c.dropped) << c.what;
        for (const auto &[slot, value] : c.expected)
            EXPECT_EQ(list[0][slot], value) << c.what << ", slot " << slot;
        const QString note = r.noteText();
        for (const QString &line : c.note)
            EXPECT_TRUE(note.contains(line)) << c.what << "\n" << note.toStdString();
        if (c.note.isEmpty() && c.dropped == 0)
            EXPECT_EQ(note, "") << c.what;
    }
}

// Bad input and the 500-entry limit: a message, and nothing already in the
// list is lost.
TEST_F(Ics, RefusedFilesLeaveTheListAsItWas)
{
    const QByteArray event = "BEGIN:VEVENT\r\nUID:x\r\nDTSTAMP:20050101T000000Z\r\nDTSTART:20050307T010000Z\r\n"
                             "SUMMARY:e\r\nEND:VEVENT\r\n";
    const QByteArray threeEvents = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + event + event + event + "END:VCALENDAR\r\n";
    // An event beside components nested `depth` levels deep, the calendar
    // counted: no calendar program nests deeper than 64 levels, and libical
    // overflowed the stack freeing hundreds of thousands.
    const auto nested = [&event](int depth, const QByteArray &begin) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + event + begin.repeated(depth - 1)
            + QByteArray("END:X-A\r\n").repeated(depth - 1) + "END:VCALENDAR\r\n";
    };
    struct Case {
        const char *what;
        QByteArray bytes;
        int before;
        QList<StoreCode> codes;
        int after;
    };
    const QList<Case> cases{
        {"a .vcs file", vcsBytes(object({"DTSTART:20050307T010000Z"})), 3, {StoreCode::NotICalendar}, 3},
        {"empty", QByteArray(), 3, {StoreCode::NotICalendar}, 3},
        {"too large", "BEGIN:VCALENDAR\r\n" + QByteArray(ics::MaxIcsBytes, 'x'), 3, {StoreCode::TooLarge}, 3},
        {"no events", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n", 3, {StoreCode::NoObjects}, 3},
        {"cut short", threeEvents.left(120), 3, {StoreCode::BrokenICalendar}, 3},
        {"broken dates", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:2005X307T010000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", 3,
         {StoreCode::NoObjects}, 3},
        {"list full", threeEvents, MaxEntries, {StoreCode::ListFull}, MaxEntries},
        {"limit reached on the second event", threeEvents, MaxEntries - 1, {StoreCode::TooManyObjects}, MaxEntries},
        {"three appended", threeEvents, 3, {}, 6},
        {"nested 64 levels", nested(64, "BEGIN:X-A\r\n"), 3, {}, 4},
        {"nested 65 levels", nested(65, "BEGIN:X-A\r\n"), 3, {StoreCode::BrokenICalendar}, 3},
        {"nested 65 levels, folded", nested(65, "BEG\r\n IN:X-A\r\n"), 3, {StoreCode::BrokenICalendar}, 3},
        {"nested 400 000 levels", nested(400000, "begin:X-A\r\n"), 3, {StoreCode::BrokenICalendar}, 3},
    };
    for (const Case &c : cases) {
        ScheduleList list;
        for (int i = 0; i < c.before; ++i)
            list[i] = ruleEntry("20050101000000", QString());
        const ScheduleList before = list;
        const ics::ImportResult r = ics::importIcs(list, c.bytes, addDefaults());
        QList<StoreCode> codes;
        for (const StoreMessage &m : r.messages)
            codes.append(m.code);
        EXPECT_EQ(codes, c.codes) << c.what;
        EXPECT_EQ(list.count(), c.after) << c.what;
        for (int i = 0; i < c.before; ++i)
            EXPECT_EQ(list[i], before[i]) << c.what;
        if (c.codes == QList<StoreCode>{StoreCode::TooManyObjects})
            EXPECT_EQ(r.messages[0].text(), "500件を超えたため、2件目で読み込みを終了しました。　　　");
    }
}

// The shared corpus of files other programs wrote: one expected-results
// file per input, written after reading the input by hand.
TEST_F(Ics, CorpusFilesImportAsTheySay)
{
    const QDir corpus(QStringLiteral(SKEDRA_SHARED_DIR "/testdata/ics-corpus"));
    const QDir expectedDir(QStringLiteral(SKEDRA_SOURCE_DIR "/tests/interop/ics-expected"));
    const QStringList files = corpus.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        ScheduleList list;
        const QByteArray bytes = fileBytes(corpus.filePath(file));
        // libical's warnings go into the note, never to stderr.
        testing::internal::CaptureStderr();
        const ics::ImportResult r = ics::importIcs(list, bytes, addDefaults(), file);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << file.toStdString();
        QStringList actual{QStringLiteral("added %1").arg(r.added), QStringLiteral("dropped %1").arg(r.droppedRules),
                           QStringLiteral("skipped %1").arg(r.skipped)};
        for (const StoreMessage &m : r.messages)
            actual.append(QStringLiteral("message ") + m.text());
        for (int i = 0; i < list.count(); ++i) {
            actual.append(QStringList{list[i][SummaryValue].replace(u'\n', QStringLiteral("\\n")), list[i][DtStartValue],
                                      list[i][RRuleValue], list[i][YearlyValue]}
                              .join(u'\t'));
        }
        const QString expectedPath = expectedDir.filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".txt"));
        // SKEDRA_ICS_ACTUAL=DIR keeps what was read, for checking by hand.
        if (const QString out = qEnvironmentVariable("SKEDRA_ICS_ACTUAL"); !out.isEmpty()) {
            QFile f(QDir(out).filePath(QFileInfo(expectedPath).fileName()));
            if (f.open(QIODevice::WriteOnly))
                f.write((actual.join(u'\n') + u'\n').toUtf8());
        }
        const QStringList expected =
            QString::fromUtf8(fileBytes(expectedPath)).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(actual, expected) << file.toStdString();
    }
}

} // namespace
