// The entry editor's rules on its model: dates and repeat rules, the checks
// and the store, the stamp list, Next / Back, and a file read, stored
// untouched and written again.
#include "editormodel.h"
#include "gridrender.h"
#include "newentry.h"
#include "scoped_timezone.h"
#include "scripted_dialogs.h"
#include "soundcatalogue.h"
#include "startup.h"
#include "test_entries.h"
#include "vcsio.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace skedra;
using namespace skedra::test;

namespace {

// The status rule compares with this day.
const QDate Today(2005, 3, 10);

ScheduleEntry event(const QString &start, const QString &end = QString(),
                    const QString &rule = QString(), const QString &yearly = QString())
{
    ScheduleEntry e = entry(QStringLiteral("会議"), start);
    e[DtEndValue] = end;
    e[RRuleName] = QStringLiteral("RRULE");
    e[RRuleValue] = rule;
    e[YearlyName] = QStringLiteral("X-JPGSH-YEARLY");
    e[YearlyValue] = yearly;
    return e;
}

class EditorModelTest : public ::testing::Test {
protected:
    void SetUp() override { catalogue.LoadSoundCatalogue(s.ModelCode); }

    // Puts `entries` in the list and opens the editor on entry `index` (1-based).
    EditorModel &open(const std::vector<ScheduleEntry> &entries, int index = 1,
                      const QString &model = QStringLiteral("603SH"))
    {
        s.ModelCode = model;
        catalogue.LoadSoundCatalogue(model);
        s.ScheduleList.clear();
        for (size_t i = 0; i < entries.size(); ++i)
            s.ScheduleList[static_cast<int>(i)] = entries[i];
        fitGridToList(s.ScheduleList, grid, true);
        s.EditIndex = index;
        s.EditMode = QStringLiteral("edit");
        s.WorkEntry = s.ScheduleList[index - 1];
        addMissingHandsetProperties(s.WorkEntry, model);
        s.Dirty = QStringLiteral("0");
        model_ = std::make_unique<EditorModel>(s, grid, dialogs, hooks, catalogue, [] { return Today; });
        model_->Form_Load();
        return *model_;
    }
    const ScheduleEntry &stored(int index = 1) const { return s.ScheduleList[index - 1]; }

    SessionState s;
    ListGrid grid;
    ScriptedDialogs dialogs;
    RecordingHooks hooks;
    SoundCatalogue catalogue;
    std::unique_ptr<EditorModel> model_;
};

} // namespace

// Part of the editor: how the date, repeat and kind fields store.
TEST_F(EditorModelTest, DatesAndRepeatRulesStoreAsTheUserSetThem)
{
    struct Case {
        const char *what;
        ScheduleEntry entry;
        std::function<void(EditorModel &)> act;
        QString start, end, rule, yearly;
    };
    const std::vector<Case> cases = {
        {"daily 3 from 30 January ends 1 February", event("20050130100000", "20050130110000"),
         [](EditorModel &m) { m.selectRepeat(Repeat::Day); m.txtLoop_Change("3"); },
         "20050130100000", "20050201110000", "D1 #3", ""},
        {"monthly 2 from 31 January ends at the end of February",
         event("20050131100000", "20050131110000"),
         [](EditorModel &m) { m.selectRepeat(Repeat::Month); m.txtLoop_Change("2"); },
         "20050131100000", "20050228110000", "MP1 31 #2", ""},
        {"a count of 150 becomes 99", event("20050301100000", "20050301110000"),
         [](EditorModel &m) { m.selectRepeat(Repeat::Day); m.txtLoop_Change("150"); },
         "20050301100000", "20050607110000", "D1 #99", ""},
        {"an emptied count becomes 0", event("20050301100000", "20050301110000", "D1 #5"),
         [](EditorModel &m) { m.txtLoop_Change(""); },
         "20050301100000", "20050301110000", "D1 #0", ""},
        {"a count that is not a number reads as 0", event("20050301100000", "20050301110000", "D1 #5"),
         [](EditorModel &m) { m.txtLoop_Change("x"); },
         "20050301100000", "20050301110000", "D1 #0", ""},
        {"Monday chosen on Thursday 10 March moves the start to 7 March",
         event("20050310100000", "20050310110000"),
         [](EditorModel &m) { m.selectRepeat(Repeat::Week); m.selectWeekday(2); },
         "20050307100000", "20050307110000", "W1 MO #0", ""},
        {"weekly takes the start's weekday", event("20050310100000", "20050310110000"),
         [](EditorModel &m) { m.selectRepeat(Repeat::Week); m.txtLoop_Change("2"); },
         "20050310100000", "20050317110000", "W1 TH #2", ""},
        {"yearly on 3 May", event("20050503090000", "20050503100000"),
         [](EditorModel &m) { m.selectRepeat(Repeat::Year); },
         "20050503090000", "20050503100000", "", "0503"},
        {"no end stays without one through Only, Day, Only, Day", event("20050310100000"),
         [](EditorModel &m) {
             m.selectRepeat(Repeat::Day);
             m.selectRepeat(Repeat::Only);
             m.selectRepeat(Repeat::Day);
         },
         "20050310100000", "", "D1 #0", ""},
        {"emptying the end time of an unlimited entry empties its end",
         event("20050310100000", "20050310110000"),
         [](EditorModel &m) { m.dtpToTime_Change({QTime(11, 0), true}); },
         "20050310100000", "", "", ""},
        {"setting the end date of an entry without end takes the start time", event("20050310100000"),
         [](EditorModel &m) { m.dtpToDate_Change({QDate(2005, 3, 12), false}); },
         "20050310100000", "20050312100000", "", ""},
        {"a start moved past the end carries the end date along",
         event("20050310100000", "20050310110000"),
         [](EditorModel &m) { m.dtpFrDate_Change(QDate(2005, 3, 15)); },
         "20050315100000", "20050315110000", "", ""},
        {"a weekly rule on another weekday loads without moving the start",
         event("20050310100000", "20050310110000", "W1 MO #0"), [](EditorModel &) {},
         "20050310100000", "20050310110000", "W1 MO #0", ""},
        {"a weekly rule with a code of no weekday repeats on the start's weekday",
         event("20050310100000", "20050310110000", "W1 XX #2"), [](EditorModel &) {},
         "20050310100000", "20050317110000", "W1 TH #2", ""},
        {"a new end date keeps the end time that was set", event("20050310100000", "20050310113000"),
         [](EditorModel &m) { m.dtpToDate_Change({QDate(2005, 3, 11), false}); },
         "20050310100000", "20050311113000", "", ""},
        {"a rule the form cannot show is kept", event("20050310100000", "20050310110000", "YD1 #2"),
         [](EditorModel &) {}, "20050310100000", "20050310110000", "YD1 #2", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorModel &m = open({c.entry});
        c.act(m);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[DtStartValue], c.start);
        EXPECT_EQ(stored()[DtEndValue], c.end);
        EXPECT_EQ(stored()[RRuleValue], c.rule);
        EXPECT_EQ(stored()[YearlyValue], c.yearly);
    }
}

TEST_F(EditorModelTest, LoadingShowsTheStoredRepeatAndKind)
{
    struct Case {
        ScheduleEntry entry;
        Repeat repeat;
        int weekday;
        QString loop;
        bool toDateEnabled, weekdaysEnabled, loopEnabled;
    };
    ScheduleEntry todo = event("20050310100000", "20050311100000");
    todo[ComponentName] = QStringLiteral("VTODO");
    const std::vector<Case> cases = {
        {event("20050503090000", "", "", "0503"), Repeat::Year, 0, "0", false, false, false},
        {event("20050307090000", "20050307090000", "W1 MO #0"), Repeat::Week, 2, "0", false, true, true},
        {event("20050315090000", "20050315090000", "MP1 15 #0"), Repeat::Month, 0, "0", false, false, true},
        {event("20050310100000", "20050312100000", "D1 #3"), Repeat::Day, 0, "3", false, false, true},
        {todo, Repeat::Only, 0, "0", true, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry[RRuleValue].toStdString());
        EditorModel &m = open({c.entry});
        EXPECT_EQ(m.form.repeat, c.repeat);
        EXPECT_EQ(m.form.weekday, c.weekday);
        EXPECT_EQ(m.form.loop, c.loop);
        EXPECT_EQ(m.form.toDateEnabled, c.toDateEnabled);
        EXPECT_EQ(m.form.weekdaysEnabled, c.weekdaysEnabled);
        EXPECT_EQ(m.form.loopEnabled, c.loopEnabled);
    }
    // A to-do shows its own captions and stores its own names.
    EditorModel &m = open({todo});
    EXPECT_EQ(m.form.lblStart, QStringLiteral("期限"));
    EXPECT_EQ(m.form.lblEnd, QStringLiteral("～　完了"));
    ASSERT_TRUE(m.SaveFields());
    EXPECT_EQ(stored()[DtStartName], QStringLiteral("DUE"));
    EXPECT_EQ(stored()[DtEndName], QStringLiteral("COMPLETED"));
    EXPECT_EQ(stored()[ComponentName], QStringLiteral("VTODO"));
    m.optEvent_Click(Kind::Event);
    EXPECT_EQ(m.form.lblStart, QStringLiteral("開始"));
    EXPECT_EQ(m.form.lblEnd, QStringLiteral("～　終了"));
}

TEST_F(EditorModelTest, StatusFollowsTheLastDateAgainstToday)
{
    struct Case {
        const char *what;
        ScheduleEntry entry;
        const char *status;
    };
    ScheduleEntry doneYearly = event("20040101100000", "20040101100000", "", "0101");
    const std::vector<Case> cases = {
        {"ends yesterday, started earlier", event("20050301100000", "20050309100000"), "COMPLETED"},
        {"ends today", event("20050301100000", "20050310000000"), "NEEDS ACTION"},
        {"no end, started yesterday", event("20050309100000"), "COMPLETED"},
        {"no end, starts today", event("20050310000000"), "NEEDS ACTION"},
        {"yearly always needs action", doneYearly, "NEEDS ACTION"},
        // A repeat without end (count 0) is never past.
        {"weekly meeting without end", event("20040105100000", "20040105110000", "W1 MO #0"), "NEEDS ACTION"},
        {"daily without end, no end time", event("20040105100000", "", "D1 #0"), "NEEDS ACTION"},
        {"monthly without end", event("20040115100000", "20040115110000", "MP1 15 #0"), "NEEDS ACTION"},
        {"daily 3 times, all past", event("20040105100000", "20040107110000", "D1 #3"), "COMPLETED"},
        {"weekly 2 times, the last today", event("20050303100000", "20050310110000", "W1 TH #2"), "NEEDS ACTION"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorModel &m = open({c.entry});
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[StatusValue], QString::fromLatin1(c.status));
    }
    // The same through the repeat options: a past entry made to repeat
    // without end needs action, a count whose last time is past completes it.
    EditorModel &m = open({event("20040105100000")});
    EXPECT_EQ(m.form.status, TaskStatus::Comp);
    m.selectRepeat(Repeat::Week);
    EXPECT_EQ(m.form.status, TaskStatus::Needs);
    m.txtLoop_Change(QStringLiteral("2"));
    EXPECT_EQ(m.form.status, TaskStatus::Comp);
}

TEST_F(EditorModelTest, ChecksRefuseWithTheirMessageAndStoreNothing)
{
    struct Case {
        QString summary, tel;
        QString message;  // empty: accepted
        QString focus;
        QString model = QStringLiteral("603SH");
        Pair alarm = Pair::Off;
        QString storedTel = tel;
    };
    const QString badTel = QStringLiteral("不正な電話番号です。　　　");
    const std::vector<Case> cases = {
        {"", "", QStringLiteral("件名を入力して下さい。　　　"), "txtSummary"},
        {"会議", "", "", ""},
        {"会議", "03-1234-5678", "", ""},
        {"会議", "*31#0312345678", "", ""},
        {"会議", "#8000", "", ""},
        {"会議", "03-ABCD", badTel, "txtArTel"},
        {"会議", "*#-", badTel, "txtArTel"},
        // The older editor stores no number while the alarm is off, so
        // one it will not store is not checked.
        {"会議", "03-ABCD", "", "", "SH53", Pair::Off, ""},
        {"会議", "03-ABCD", badTel, "txtArTel", "SH53", Pair::On},
        {"会議", "03-ABCD", badTel, "txtArTel", "603SH", Pair::On},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.model + "|" + c.summary + "|" + c.tel).toStdString());
        EditorModel &m = open({event("20050310100000", "20050310110000")}, 1, c.model);
        const ScheduleEntry before = stored();
        dialogs.messages.clear();
        m.optArarm_Click(c.alarm);
        m.form.summary = c.summary;
        m.form.alarm.tel = c.tel;
        const bool closes = m.cmdOk_Click();
        EXPECT_EQ(closes, c.message.isEmpty());
        EXPECT_EQ(m.form.StoreFailed, !c.message.isEmpty());
        EXPECT_EQ(m.form.focus, c.focus);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(stored()[TelValue], c.storedTel);
            EXPECT_TRUE(s.isDirty());
            continue;
        }
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
        // Nothing stored; Cancel afterwards leaves the list as it was.
        EXPECT_EQ(stored(), before);
        EXPECT_FALSE(s.isDirty());
    }
}

TEST_F(EditorModelTest, StoreWritesTheGeneralFields)
{
    ScheduleEntry e = event("20050310100000", "20050310110000");
    e[JpgFromName] = QStringLiteral("X-JPG-FROM");
    e[JpgFromValue] = QStringLiteral("someone");
    e[JpgSerialName] = QStringLiteral("X-JPG-SERIAL");
    e[JpgSerialValue] = QStringLiteral("42");
    e[ClassValue] = QStringLiteral("PRIVATE");
    e[CalColorName] = QStringLiteral("X-JPGSH-CALCOLOR");
    e[CalColorValue] = QStringLiteral("PINK");
    e[DAlarmName] = QStringLiteral("DALARM");
    e[DAlarmValue] = QStringLiteral("20050310095000;出発");
    e[slotOf(27, ValuePart)] = QStringLiteral("kept");
    EditorModel &m = open({e});
    EXPECT_EQ(m.form.secret, Pair::On);
    EXPECT_EQ(m.form.dateColour.index, 5);
    m.form.description.clear();
    m.form.priority.index = 1;
    m.form.categories.index = 26;  // stamp 20
    ASSERT_TRUE(m.SaveFields());
    const ScheduleEntry &out = stored();
    EXPECT_EQ(out[DescriptionValue], QStringLiteral("会議"));
    EXPECT_EQ(out[DescriptionParams], QpParameters);
    EXPECT_EQ(out[JpgFromValue], QString());
    EXPECT_EQ(out[JpgSerialValue], QString());
    EXPECT_EQ(out[JpgFromParams], QpParameters);
    EXPECT_EQ(out[ClassValue], QStringLiteral("PRIVATE"));
    EXPECT_EQ(out[PriorityValue], QStringLiteral("1"));
    EXPECT_EQ(out[CategoriesName], QStringLiteral("CATEGORIES"));
    EXPECT_EQ(out[CategoriesValue], QString());
    EXPECT_EQ(out[ShCategoriesName], QStringLiteral("X-JPGSH-CATEGORIES"));
    EXPECT_EQ(out[ShCategoriesValue], QStringLiteral("20"));
    EXPECT_EQ(out[CalColorValue], QStringLiteral("PINK"));
    EXPECT_EQ(out[NoAutoDelValue], QStringLiteral("OFF"));
    EXPECT_EQ(out[NoDispDefWinValue], QStringLiteral("ON"));
    // What the form does not edit yet survives as WorkEntry held it.
    EXPECT_EQ(out[DAlarmValue], QStringLiteral("20050310095000;出発"));
    EXPECT_EQ(out[slotOf(27, ValuePart)], QStringLiteral("kept"));
}

TEST_F(EditorModelTest, StampNumbersLoadByModel)
{
    struct Case {
        const char *model;
        const char *stamp;
        int entry;
        int listSize;
    };
    const std::vector<Case> cases = {
        {"601SH", "20", 0, 20}, {"601SH", "13", 19, 20}, {"602SH", "20", 26, 30},
        {"602SH", "24", 0, 30}, {"603SH", "20", 26, 60}, {"604SH", "53", 59, 60},
        {"604SH", "54", 0, 60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.stamp);
        ScheduleEntry e = event("20050310100000");
        e[CategoriesValue] = QStringLiteral("BUSINESS");
        e[ShCategoriesName] = QStringLiteral("X-JPGSH-CATEGORIES");
        e[ShCategoriesValue] = QString::fromLatin1(c.stamp);
        EditorModel &m = open({e}, 1, QString::fromLatin1(c.model));
        EXPECT_EQ(m.form.categories.index, c.entry);
        EXPECT_EQ(m.form.categories.items.size(), c.listSize);
    }
}

TEST_F(EditorModelTest, ListsAreFilledOnTheFirstLoadOnly)
{
    struct Case {
        const char *model;
        qsizetype patterns, colours;
    };
    const Case cases[] = {{"601SH", 5, 8}, {"602SH", 6, 8}, {"604SH", 6, 8}};
    for (int i = 0; i < 250; ++i)
        s.SummaryHistory[static_cast<size_t>(i)] = QString::number(i);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        EditorModel &m = open({event("20050310100000"), event("20050311100000")}, 1,
                              QString::fromLatin1(c.model));
        EXPECT_EQ(m.form.alarm.melodies.size(), 30);
        EXPECT_EQ(m.form.alarm.lampPatterns.size(), c.patterns);
        EXPECT_EQ(m.form.alarm.lampPatterns.value(5), c.patterns == 6 ? QStringLiteral("SMAF連動") : QString());
        EXPECT_EQ(m.form.alarm.lampColours.size(), c.colours);
        EXPECT_EQ(m.form.summaryHistory.items.size(), 200);
        EXPECT_EQ(m.form.priority.items, QStringList({"未設定", "高", "低"}));
        EXPECT_EQ(m.form.dateColour.items.size(), 7);
    }
    // History up to its first empty text; a reload by Next keeps the lists.
    s.SummaryHistory[3].clear();
    EditorModel &m = open({event("20050310100000"), event("20050311100000")});
    EXPECT_EQ(m.form.summaryHistory.items, QStringList({"0", "1", "2"}));
    s.SummaryHistory[3] = QStringLiteral("3");
    m.Command6_Click();
    EXPECT_EQ(s.EditIndex, 2);
    EXPECT_EQ(m.form.summaryHistory.items.size(), 3);
}

TEST_F(EditorModelTest, NextAndBackStoreAndMove)
{
    const std::vector<ScheduleEntry> three = {event("20050310100000"), event("20050311100000"),
                                              event("20050312100000")};
    struct Case {
        const char *what;
        int index;
        bool next;
        int expectedIndex;
        QString editedSummary;
    };
    const std::vector<Case> cases = {
        {"Next on the last stores and stays", 3, true, 3, "三"},
        {"Back on the first stores and stays", 1, false, 1, "一"},
        {"Next moves down", 1, true, 2, "一"},
        {"Back moves up", 3, false, 2, "三"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorModel &m = open(three, c.index);
        m.form.summary = c.editedSummary;
        c.next ? m.Command6_Click() : m.Command7_Click();
        EXPECT_EQ(stored(c.index)[SummaryValue], c.editedSummary);
        EXPECT_EQ(s.EditIndex, c.expectedIndex);
        EXPECT_EQ(grid.rows(), 4);
        EXPECT_EQ(m.form.summary, s.ScheduleList.at(c.expectedIndex - 1, SummaryValue));
        EXPECT_TRUE(s.isDirty());
    }

    // In add mode the stored entry gets its grid row and the mode becomes edit.
    EditorModel &m = open(three, 1);
    s.EditIndex = 4;
    s.EditMode = QStringLiteral("add");
    s.WorkEntry = event("20050320100000");
    m.Form_Load();
    m.form.summary = QStringLiteral("四");
    m.Command6_Click();
    EXPECT_EQ(grid.rows(), 5);
    EXPECT_EQ(grid.text(4, 2), QStringLiteral("四"));
    EXPECT_EQ(s.EditMode, QStringLiteral("edit"));
    EXPECT_EQ(s.EditIndex, 4);
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 4 件"));
}

// The title says whether the form adds or edits, on every road into it: a
// new entry is added until it is stored, after which Next and Back edit.
TEST_F(EditorModelTest, TitleSaysAddOrEdit)
{
    const std::vector<ScheduleEntry> three = {event("20050310100000"), event("20050311100000"),
                                              event("20050312100000")};
    const struct {
        const char *road;
        int index;         // the entry the form opens on
        bool add;          // opened by add (entry 4, new)
        int move;          // then Next (+1) or Back (-1), 0 for neither
        const char *title;
    } cases[] = {
        {"edit", 2, false, 0, "予定の編集"},
        {"add", 4, true, 0, "予定の追加"},
        {"add, then Next", 4, true, +1, "予定の編集"},
        {"add, then Back", 4, true, -1, "予定の編集"},
        {"edit, then Next", 2, false, +1, "予定の編集"},
        {"the blank row of an empty list", 1, false, 0, "予定の追加"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.road);
        const bool empty = QLatin1String(c.road).startsWith(QLatin1String("the blank"));
        EditorModel &m = open(three, 1);
        if (empty) {
            s.ScheduleList.clear();
            fitGridToList(s.ScheduleList, grid, true);
        }
        s.EditIndex = c.index;
        s.EditMode = c.add ? QStringLiteral("add") : QStringLiteral("edit");
        s.WorkEntry = c.add || empty ? event("20050320100000") : s.ScheduleList[c.index - 1];
        m.Form_Load();
        if (c.move > 0)
            m.Command6_Click();
        else if (c.move < 0)
            m.Command7_Click();
        EXPECT_EQ(m.title(), QString::fromUtf8(c.title));
    }
}

// An entry reached by Next or Back stores what it stores when opened
// directly, whatever its neighbour holds: every property once on the
// neighbour and missing on the entry, and once the other way round, in
// both editors.
TEST_F(EditorModelTest, EntryReachedByNextOrBackStoresWhatOpeningItStores)
{
    using Set = std::function<void(ScheduleEntry &)>;
    auto property = [](int position, const char *name, const char *value, const QString &params = {}) {
        return Set([=](ScheduleEntry &e) {
            e[nameSlot(position)] = QLatin1String(name);
            e[paramsSlot(position)] = params;
            e[valueSlot(position)] = QString::fromUtf8(value);
        });
    };
    const std::vector<std::pair<const char *, Set>> properties = {
        {"sound file", property(Snd, "X-JPGSH-SND", "1;song.mmf")},
        {"audio file", property(Snd, "X-JPGSH-SND", "3;song.mp4")},
        {"melody", property(Snd, "X-JPGSH-SND", "0;12")},
        {"small lamp", property(CmbltNo, "X-JPGSH-CMBLT-NO", "ON2;4;0")},
        {"large lamp", property(CmbltNo, "X-JPGSH-CMBLT-NO", "ON1;2;5")},
        {"no lamp", property(CmbltNo, "X-JPGSH-CMBLT-NO", "OFF;0;0")},
        {"pre-alarm", property(PreAlarm, "X-JPGSH-PREALARM", "ON;PT3H")},
        {"snooze", property(Snooze, "X-JPGSH-SNOOZE", "ON;PT7M")},
        {"telephone", property(Tel, "X-JPGSH-TEL", "090-1234-5678")},
        {"volume", property(Vol, "X-JPGSH-VOL", "2")},
        {"vibration", property(Viv, "X-JPGSH-VIV", "ON")},
        {"seconds", property(Sec, "X-JPGSH-SEC", "30")},
        {"alarm off", property(DAlarm, "DALARM", "00000000000000;")},
        {"X-JPGSH-ALARM", property(ShAlarm, "X-JPGSH-ALARM", "20050310091500")},
        {"date colour", property(CalColor, "X-JPGSH-CALCOLOR", "PINK")},
        {"protection", property(NoAutoDel, "X-JPGSH-NOAUTODEL", "ON")},
        {"standby display", property(NoDispDefWin, "X-JPGSH-NODISPDEFWIN", "OFF")},
        {"picture", property(Attach, "X-JPGSH-ATTACH", "a.png", AttachParameters)},
        {"secret", property(Class, "CLASS", "PRIVATE")},
        {"priority", property(Priority, "PRIORITY", "1")},
        {"category", property(Categories, "CATEGORIES", "BUSINESS")},
        {"stamp", property(ShCategories, "X-JPGSH-CATEGORIES", "5")},
        {"description", property(Description, "DESCRIPTION", "会議室\r\n3F")},
        {"end", property(DtEnd, "DTEND", "20050311120000")},
        {"weekly without end", property(RRule, "RRULE", "W1 MO #0")},
        {"yearly", property(Yearly, "X-JPGSH-YEARLY", "0310")},
        {"to-do", [](ScheduleEntry &e) {
             e[ComponentName] = QStringLiteral("VTODO");
             e[DtStartName] = QStringLiteral("DUE");
         }},
    };
    // The alarm on, so that every alarm property counts.
    ScheduleEntry bare = event("20050310100000");
    bare[DAlarmValue] = QStringLiteral("20050310093000;診察");
    bare[DescriptionName].clear();

    enum class Road { Direct, Next, Back };
    for (const char *model : {"604SH", "601SH", "SH53", "SH52", "SH51"}) {
        for (const auto &[what, set] : properties) {
            ScheduleEntry with = bare;
            set(with);
            for (const bool targetHasIt : {false, true}) {
                SCOPED_TRACE(std::string(model) + ", " + what + (targetHasIt ? " on the entry" : " on its neighbours"));
                const ScheduleEntry &target = targetHasIt ? with : bare;
                const ScheduleEntry &neighbour = targetHasIt ? bare : with;
                const std::vector<ScheduleEntry> list = {neighbour, target, neighbour};
                std::optional<ScheduleEntry> direct;
                for (Road road : {Road::Direct, Road::Next, Road::Back}) {
                    EditorModel &m = open(list, road == Road::Direct ? 2 : road == Road::Next ? 1 : 3,
                                          QString::fromLatin1(model));
                    if (road == Road::Next)
                        m.Command6_Click();
                    if (road == Road::Back)
                        m.Command7_Click();
                    ASSERT_EQ(s.EditIndex, 2);
                    ASSERT_TRUE(m.cmdOk_Click());
                    if (!direct)
                        direct = stored(2);
                    else
                        for (int slot = 0; slot < SlotCount; ++slot)
                            EXPECT_EQ(stored(2)[slot], (*direct)[slot])
                                << (road == Road::Next ? "by Next, slot " : "by Back, slot ") << slot;
                }
            }
        }
    }
}

// Every entry of the sample file through the editor untouched: what the file
// holds beyond the form's fields comes back byte for byte, and what the form
// stores is what its rules say.
TEST_F(EditorModelTest, SampleFileStoredUntouchedKeepsWhatTheFormDoesNotEdit)
{
    s.ModelCode = QStringLiteral("603SH");
    createHexCoder(s);
    ASSERT_TRUE(s.HexCoder);
    s.OpenFileName = QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs");
    s.OpenMode = QStringLiteral("new");
    ASSERT_TRUE(proc_open(s).read);
    const int n = s.ScheduleList.count();
    ASSERT_GT(n, 0);
    fitGridToList(s.ScheduleList, grid, true);

    ScheduleList original = s.ScheduleList;
    for (int i = 0; i < n; ++i)
        addMissingHandsetProperties(original[i], s.ModelCode);
    s.FirstIndex = 1;
    s.LastIndex = n;
    const ScheduleList read = s.ScheduleList;
    s.ScheduleList = original;
    const QByteArray before = renderVcsData(s);
    s.ScheduleList = read;

    EditorModel m(s, grid, dialogs, hooks, catalogue, [] { return QDate(2000, 1, 1); });
    for (int i = 1; i <= n; ++i) {
        s.EditIndex = i;
        s.EditMode = QStringLiteral("edit");
        s.WorkEntry = s.ScheduleList[i - 1];
        addMissingHandsetProperties(s.WorkEntry, s.ModelCode);
        m.Form_Load();
        ASSERT_TRUE(m.SaveFields()) << i;
    }
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray after = renderVcsData(s);

    // The properties the form writes, and what its rules predict for them.
    const QStringList formProperties = {"DTSTART", "DUE", "DTEND", "COMPLETED", "DESCRIPTION",
                                        "STATUS", "X-JPG-FROM", "X-JPG-SERIAL", "CATEGORIES",
                                        "X-JPGSH-CATEGORIES", "CLASS", "PRIORITY", "RRULE",
                                        "X-JPGSH-YEARLY", "X-JPGSH-TEL", "SUMMARY",
                                        "X-JPGSH-NOAUTODEL", "X-JPGSH-NODISPDEFWIN",
                                        "X-JPGSH-CALCOLOR", "DALARM", "X-JPGSH-ALARM",
                                        "X-JPGSH-SND", "X-JPGSH-VOL", "X-JPGSH-VIV", "X-JPGSH-SEC",
                                        "X-JPGSH-CMBLT-NO", "X-JPGSH-PREALARM", "X-JPGSH-SNOOZE"};
    auto keptLines = [&](const QByteArray &bytes) {
        QList<QByteArray> out;
        for (const QByteArray &line : bytes.split('\n')) {
            const QByteArray name = line.left(line.indexOf(':')).split(';').first();
            if (!formProperties.contains(QString::fromLatin1(name)))
                out.append(line);
        }
        return out;
    };
    EXPECT_EQ(keptLines(after), keptLines(before));

    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        const ScheduleEntry &was = original[i];
        const ScheduleEntry &now = s.ScheduleList[i];
        for (int slot : {int(DtStartValue), int(DtEndValue), int(SummaryValue), int(RRuleValue),
                         int(YearlyValue), int(CalColorValue), int(TelValue), int(PriorityValue),
                         int(ClassValue), int(ComponentName), int(DAlarmValue), int(ShAlarmValue),
                         int(SndValue), int(VolValue), int(VivValue), int(SecValue),
                         int(CmbltNoValue), int(PreAlarmValue)})
            EXPECT_EQ(now[slot], was[slot]) << slot;
        EXPECT_EQ(now[DescriptionValue],
                  was[DescriptionValue].isEmpty() ? was[SummaryValue] : was[DescriptionValue]);
        EXPECT_EQ(now[JpgFromValue], QString());
        EXPECT_EQ(now[JpgSerialValue], QString());
        EXPECT_EQ(now[StatusValue], QStringLiteral("NEEDS ACTION"));  // all lie after 2000
        EXPECT_EQ(now[NoAutoDelValue], QString::fromLatin1(was[NoAutoDelValue] == QLatin1String("ON") ? "ON" : "OFF"));
    }

    // The written file reads back as the same file.
    const QString path = QDir::temp().filePath(QStringLiteral("skedra_editor_roundtrip.vcs"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(after);
    out.close();
    s.OpenFileName = path;
    ASSERT_TRUE(proc_open(s).read);
    QFile::remove(path);
    EXPECT_EQ(renderVcsData(s), after);
}

// ---- The alarm group ----

namespace {

ScheduleEntry alarmEntry(const QString &alarm = QStringLiteral("20050310090000;起床"))
{
    ScheduleEntry e = event("20050310100000", "20050310110000");
    e[DAlarmValue] = alarm;
    for (int position : {Snd, Vol, Viv, Sec, CmbltNo, PreAlarm, Snooze})
        e[nameSlot(position)] = QStringLiteral("X-JPGSH");  // kept as given
    return e;
}

} // namespace

// What each choice of the group stores, with the alarm on and off.
TEST_F(EditorModelTest, AlarmStoresTheValueStringsOfItsChoices)
{
    using Set = std::function<void(EditorModel &)>;
    struct Case {
        const char *what;
        Set set;
        std::vector<std::pair<int, QString>> expected;
    };
    const Set alarmOn = [](EditorModel &m) { m.optArarm_Click(Pair::On); };
    auto pre = [](int unit, const char *n) {
        return Set([=](EditorModel &m) {
            m.optPreArarm_Click(Pair::On);
            m.cmbPreArarm_Click(unit);
            m.form.alarm.preCount = QString::fromLatin1(n);
        });
    };
    auto folder = [](int f) {
        return Set([=](EditorModel &m) {
            m.optRing_Click(Ring::Folder);
            m.opt_folder_Click(f);
            m.form.alarm.ringFile = QStringLiteral("clinic.amr");
        });
    };
    const std::vector<Case> cases = {
        {"alarm off",
         [](EditorModel &m) {
             m.optArarm_Click(Pair::Off);
             m.form.alarm.tel = QStringLiteral("*31#03-1234");
             m.form.alarm.volume = 2;
             m.optSnooze_Click(Pair::On);
         },
         {{DAlarmValue, "00000000000000;"}, {ShAlarmValue, "00000000000000"}, {SndValue, "0;0"},
          {VolValue, "5"}, {VivValue, "OFF"}, {SecValue, "15"}, {CmbltNoValue, "ON1;0;3"},
          {PreAlarmValue, "OFF"}, {SnoozeValue, "OFF;PT5M"}, {TelValue, "*31#03-1234"}}},
        {"alarm on", [](EditorModel &m) {
             m.form.alarm.volume = 6;
             m.form.alarm.vibration = Pair::On;
             m.optArmTime_Change(QStringLiteral("30"));
         },
         {{DAlarmValue, "20050310090000;起床"}, {ShAlarmValue, "20050310090000"}, {VolValue, "6"},
          {VivValue, "ON"}, {SecValue, "30"}}},
        {"message with ;", [](EditorModel &m) { m.form.alarm.message = QStringLiteral("A;B"); },
         {{DAlarmValue, "20050310090000;A;B"}}},
        {"pre-alarm 3 hours", pre(Hours, "3"), {{PreAlarmValue, "ON;PT3H"}}},
        {"pre-alarm 2 weeks", pre(Weeks, "2"), {{PreAlarmValue, "ON;P2W"}}},
        {"pre-alarm 6 months", pre(Months, "6"), {{PreAlarmValue, "ON;P6M"}}},
        {"pre-alarm 10 minutes", pre(Minutes, "10"), {{PreAlarmValue, "ON;PT10M"}}},
        {"pre-alarm 4 days", pre(Days, "4"), {{PreAlarmValue, "ON;P4D"}}},
        {"snooze 7",
         [](EditorModel &m) {
             m.optSnooze_Click(Pair::On);
             m.form.alarm.snoozeCount = QStringLiteral("7");
         },
         {{SnoozeValue, "ON;PT7M"}}},
        {"snooze off", [](EditorModel &m) { m.optSnooze_Click(Pair::Off); }, {{SnoozeValue, "OFF"}}},
        {"large lamp",
         [](EditorModel &m) {
             m.optRmp_Click(Lamp::Mobile);
             m.form.alarm.largePattern = 2;
             m.form.alarm.largeColour = 5;
         },
         {{CmbltNoValue, "ON1;2;5"}}},
        {"small lamp",
         [](EditorModel &m) {
             m.optRmp_Click(Lamp::Small);
             m.form.alarm.smallPattern = 4;
         },
         {{CmbltNoValue, "ON2;4;0"}}},
        {"large lamp repaired", [](EditorModel &m) { m.optRmp_Click(Lamp::Mobile); },
         {{CmbltNoValue, "ON1;0;3"}}},
        {"no lamp", [](EditorModel &m) { m.optRmp_Click(Lamp::Off); }, {{CmbltNoValue, "OFF;0;0"}}},
        {"melody 12",
         [](EditorModel &m) {
             m.optRing_Click(Ring::Melody);
             m.form.alarm.melody = 12;
         },
         {{SndValue, "0;12"}}},
        {"music folder", folder(0), {{SndValue, "1;clinic.amr"}}},
        {"audio folder", folder(1), {{SndValue, "3;clinic.amr"}}},
        {"voice folder", folder(2), {{SndValue, "2;clinic.amr"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorModel &m = open({alarmEntry()});
        alarmOn(m);
        c.set(m);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[DAlarmName], QStringLiteral("DALARM"));
        EXPECT_EQ(stored()[SnoozeName], QStringLiteral("X-JPGSH-SNOOZE"));
        for (const auto &[slot, value] : c.expected)
            EXPECT_EQ(stored()[slot], value) << slot;
    }
}

// Loading shows the stored values; an entry beyond the model's lists selects nothing.
TEST_F(EditorModelTest, AlarmLoadsTheStoredValues)
{
    struct Case {
        const char *property;
        int slot;
        const char *value;
        std::function<void(const AlarmFields &)> check;
    };
    const std::vector<Case> cases = {
        {"pre-alarm minutes", PreAlarmValue, "ON;PT30M", [](const AlarmFields &a) {
             EXPECT_EQ(a.preAlarm, Pair::On);
             EXPECT_EQ(a.preUnit, Minutes);
             EXPECT_EQ(a.preCount, QStringLiteral("30"));
             EXPECT_EQ(a.preRange, QStringLiteral("(2～99)"));
         }},
        {"pre-alarm days", PreAlarmValue, "ON;P1D", [](const AlarmFields &a) {
             EXPECT_EQ(a.preUnit, Days);
             EXPECT_EQ(a.preCount, QStringLiteral("1"));
             EXPECT_EQ(a.preRange, QStringLiteral("(1～31)"));
         }},
        {"pre-alarm off", PreAlarmValue, "OFF", [](const AlarmFields &a) {
             EXPECT_EQ(a.preAlarm, Pair::Off);
             EXPECT_EQ(a.preUnit, NoUnit);
             EXPECT_FALSE(a.preAlarmEnabled);
         }},
        {"snooze", SnoozeValue, "ON;PT7M", [](const AlarmFields &a) {
             EXPECT_EQ(a.snooze, Pair::On);
             EXPECT_EQ(a.snoozeCount, QStringLiteral("7"));
         }},
        {"melody of another model", SndValue, "0;45", [](const AlarmFields &a) {
             EXPECT_EQ(a.ring, Ring::Melody);
             EXPECT_EQ(a.melody, -1);
         }},
        {"audio file", SndValue, "3;clinic.amr", [](const AlarmFields &a) {
             EXPECT_EQ(a.ring, Ring::Folder);
             EXPECT_EQ(a.folder, 1);
             EXPECT_EQ(a.ringFile, QStringLiteral("clinic.amr"));
         }},
        {"large lamp beyond the colours", CmbltNoValue, "ON1;2;40", [](const AlarmFields &a) {
             EXPECT_EQ(a.lamp, Lamp::Mobile);
             EXPECT_EQ(a.largePattern, 2);
             EXPECT_EQ(a.largeColour, -1);
         }},
        {"small lamp", CmbltNoValue, "ON2;4;0", [](const AlarmFields &a) {
             EXPECT_EQ(a.lamp, Lamp::Small);
             EXPECT_EQ(a.smallPattern, 4);
             EXPECT_TRUE(a.smallLampEnabled);
             EXPECT_FALSE(a.largeLampEnabled);
         }},
        {"volume", VolValue, "", [](const AlarmFields &a) { EXPECT_EQ(a.volume, 5); }},
        {"alarm time", DAlarmValue, "20050309233000;前夜", [](const AlarmFields &a) {
             EXPECT_EQ(a.alarm, Pair::On);
             EXPECT_EQ(a.date, QDate(2005, 3, 9));
             EXPECT_EQ(a.time, QTime(23, 30));
             EXPECT_EQ(a.message, QStringLiteral("前夜"));
         }},
        {"message with ;", DAlarmValue, "20050310090000;会議;3F", [](const AlarmFields &a) {
             EXPECT_EQ(a.message, QStringLiteral("会議;3F"));
         }},
        {"no message at all", DAlarmValue, "20050310090000", [](const AlarmFields &a) {
             EXPECT_EQ(a.alarm, Pair::On);
             EXPECT_EQ(a.message, QString());
         }},
        {"alarm off", DAlarmValue, "00000000000000;", [](const AlarmFields &a) {
             EXPECT_EQ(a.alarm, Pair::Off);
             EXPECT_EQ(a.date, QDate(2005, 3, 10));
             EXPECT_EQ(a.time, QTime(10, 0));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.property);
        ScheduleEntry e = alarmEntry();
        e[c.slot] = QString::fromUtf8(c.value);
        c.check(open({e}).form.alarm);
    }
}

// The number fields hold their limits; empty gives the minimum.
TEST_F(EditorModelTest, AlarmNumberFieldsKeepTheirLimits)
{
    struct Case {
        const char *what;
        std::function<QString(EditorModel &)> typed;
        QString expected;
    };
    auto seconds = [](const char *text) {
        return [=](EditorModel &m) {
            m.optArmTime_Change(QString::fromLatin1(text));
            m.optArmTime_LostFocus();
            return m.form.alarm.seconds;
        };
    };
    auto pre = [](int unit, const char *text) {
        return [=](EditorModel &m) {
            m.optPreArarm_Click(Pair::On);
            m.cmbPreArarm_Click(unit);
            m.txtPreArarm_Change(QString::fromLatin1(text));
            m.txtPreArarm_LostFocus();
            return m.form.alarm.preCount;
        };
    };
    auto snooze = [](const char *text) {
        return [=](EditorModel &m) {
            m.optSnooze_Click(Pair::On);
            m.txtSnooze_Change(QString::fromLatin1(text));
            m.txtSnooze_LostFocus();
            return m.form.alarm.snoozeCount;
        };
    };
    const std::vector<Case> cases = {
        {"seconds 1", seconds("1"), "2"},       {"seconds 120", seconds("120"), "99"},
        {"seconds empty", seconds(""), "2"},    {"seconds 45", seconds("45"), "45"},
        {"minutes 1", pre(Minutes, "1"), "2"},  {"minutes 100", pre(Minutes, "100"), "99"},
        {"hours 30", pre(Hours, "30"), "24"},   {"days 0", pre(Days, "0"), "1"},
        {"days 32", pre(Days, "32"), "31"},     {"weeks 6", pre(Weeks, "6"), "5"},
        {"months 13", pre(Months, "13"), "12"}, {"months empty", pre(Months, ""), "1"},
        {"snooze 1", snooze("1"), "2"},         {"snooze 21", snooze("21"), "20"},
        {"snooze empty", snooze(""), "2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorModel &m = open({alarmEntry()});
        EXPECT_EQ(c.typed(m), c.expected);
    }

    // A store while the typed number still has the focus applies its
    // limits as leaving the field would.
    EditorModel &m = open({alarmEntry()});
    m.optArmTime_Change(QStringLiteral("1"));
    m.optPreArarm_Click(Pair::On);
    m.txtPreArarm_Change(QStringLiteral("150"));
    m.optSnooze_Click(Pair::On);
    m.txtSnooze_Change(QString());
    ASSERT_TRUE(m.SaveFields());
    EXPECT_EQ(stored()[SecValue], QStringLiteral("2"));
    EXPECT_EQ(stored()[PreAlarmValue], QStringLiteral("ON;PT99M"));
    EXPECT_EQ(stored()[SnoozeValue], QStringLiteral("ON;PT2M"));
}

// What the user did not touch is stored as it was loaded: a message with
// ";" in it, numbers beyond their fields' limits or with a leading zero,
// line breaks as the file had them.
TEST_F(EditorModelTest, UntouchedFieldsStoreAsLoaded)
{
    struct Case {
        const char *what;
        int slot;
        const char *value;
    };
    const std::vector<Case> cases = {
        {"message with ;", DAlarmValue, "20050310090000;会議;3F"},
        {"message of ; alone", DAlarmValue, "20050310090000;;"},
        {"seconds over the limit", SecValue, "100"},
        {"seconds with a leading zero", SecValue, "05"},
        {"pre-alarm over the limit", PreAlarmValue, "ON;PT150M"},
        {"pre-alarm hours over the limit", PreAlarmValue, "ON;PT30H"},
        {"snooze with a leading zero", SnoozeValue, "ON;PT05M"},
        {"snooze below the limit", SnoozeValue, "ON;PT1M"},
        {"description with LF", DescriptionValue, "一行目\n二行目"},
        {"description with CR LF", DescriptionValue, "一行目\r\n二行目"},
    };
    for (const char *model : {"603SH", "SH53"}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(model) + " " + c.what);
            ScheduleEntry e = alarmEntry();
            e[DescriptionName] = QStringLiteral("DESCRIPTION");
            e[c.slot] = QString::fromUtf8(c.value);
            EditorModel &m = open({e}, 1, QString::fromLatin1(model));
            ASSERT_TRUE(m.SaveFields());
            EXPECT_EQ(stored()[c.slot], QString::fromUtf8(c.value));
        }
    }
}

// Line breaks the user types are stored as vCalendar writers write them.
TEST_F(EditorModelTest, TypedLineBreaksStoreAsCrLf)
{
    const std::vector<std::pair<const char *, const char *>> cases = {
        {"一行目\n二行目", "一行目\r\n二行目"},
        {"a\r\nb\nc", "a\r\nb\r\nc"},
        {"a\rb", "a\r\nb"},
        {"\n\n", "\r\n\r\n"},
        {"一行", "一行"},
    };
    for (const auto &[typed, stored_] : cases) {
        SCOPED_TRACE(typed);
        EditorModel &m = open({event("20050310100000")});
        m.txtDescription_Change(QString::fromUtf8(typed));
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[DescriptionValue], QString::fromUtf8(stored_));
    }
}

// The ring refresher by model, the folder click, and the sound check of the store.
TEST_F(EditorModelTest, RingFollowsItsOptionAndModel)
{
    struct Case {
        const char *model;
        const char *sound;
        std::array<bool, SoundFolderCount> folders;
    };
    const std::vector<Case> cases = {
        {"603SH", "1;morning.mid", {true, true, true}},
        {"601SH", "1;morning.mid", {true, false, false}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        ScheduleEntry e = alarmEntry();
        e[SndValue] = QString::fromLatin1(c.sound);
        EditorModel &m = open({e}, 1, QString::fromLatin1(c.model));
        EXPECT_EQ(m.form.alarm.folderEnabled, c.folders);
        EXPECT_TRUE(m.form.alarm.ringFileEnabled);
        EXPECT_FALSE(m.form.alarm.melodyEnabled);
        m.opt_folder_Click(c.folders[1] ? 1 : 0);
        EXPECT_EQ(m.form.alarm.ringFile, c.folders[1] ? QString() : QStringLiteral("morning.mid"));

        m.optRing_Click(Ring::Melody);
        EXPECT_EQ(m.form.alarm.melody, 0);
        EXPECT_EQ(m.form.alarm.folderEnabled, (std::array<bool, SoundFolderCount>{}));
        m.optRing_Click(Ring::Folder);
        EXPECT_EQ(m.form.alarm.melody, -1);
        m.form.alarm.ringFile.clear();
        dialogs.messages.clear();
        EXPECT_FALSE(m.cmdOk_Click());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.last().text, QStringLiteral("ﾒﾛﾃﾞｨﾃﾞｰﾀを指定してください♪　　　"));
        EXPECT_EQ(m.form.focus, QStringLiteral("txtRing2"));
    }
}

// The alarm date may not pass the start; the alarm follows the start by the default offset.
TEST_F(EditorModelTest, AlarmMomentKeepsToTheStart)
{
    EditorModel &m = open({alarmEntry()});
    m.dtpArDate_Change(QDate(2005, 3, 11));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs.last().text, QStringLiteral("予定開始日以降の日付は指定できません！　　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    EXPECT_EQ(m.form.alarm.date, QDate(2005, 3, 10));
    EXPECT_EQ(m.form.focus, QStringLiteral("dtpArDate"));

    // Handset times know no daylight saving, whatever the PC's clock keeps.
    const ScopedTimeZone berlin;
    struct Case {
        qint64 offset;
        QTime start;
        QDate day;
        QDate date;
        QTime time;
    };
    const std::vector<Case> cases = {
        {-30, QTime(0, 10), QDate(2005, 3, 15), QDate(2005, 3, 14), QTime(23, 40)},
        {0, QTime(0, 0), QDate(2005, 3, 15), QDate(2005, 3, 15), QTime(0, 0)},
        {90, QTime(23, 0), QDate(2005, 3, 15), QDate(2005, 3, 16), QTime(0, 30)},
        {10, QTime(2, 30), QDate(2005, 3, 27), QDate(2005, 3, 27), QTime(2, 40)},
        {60, QTime(1, 30), QDate(2005, 3, 27), QDate(2005, 3, 27), QTime(2, 30)},
        {-60, QTime(3, 30), QDate(2005, 10, 30), QDate(2005, 10, 30), QTime(2, 30)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.offset);
        for (Pair alarm : {Pair::On, Pair::Off}) {
            EditorModel &m = open({alarmEntry()});
            m.alarmOffsetMinutes = c.offset;
            m.optArarm_Click(alarm);
            m.dtpFrTime_Change(c.start);
            m.dtpFrDate_Change(c.day);
            EXPECT_EQ(m.form.alarm.date, c.date);
            EXPECT_EQ(m.form.alarm.time, c.time);
        }
    }
}

// The alarm keeps its own distance from the start until the start really
// moves: a click that leaves the start where it was leaves the alarm too.
TEST_F(EditorModelTest, AlarmStaysWhileTheStartStays)
{
    using Act = std::function<void(EditorModel &)>;
    struct Case {
        const char *what;
        QString rule;  // RRULE loaded
        Act act;
        QString alarm;  // DALARM stored
    };
    const QString kept = QStringLiteral("20050310150000;会議");
    const std::vector<Case> cases = {
        {"weekly chosen, the start's weekday already", "", [](EditorModel &m) { m.selectRepeat(Repeat::Week); }, kept},
        {"the selected weekday clicked again", "W1 TH #0", [](EditorModel &m) { m.selectWeekday(5); }, kept},
        {"daily, monthly, yearly and back to only", "",
         [](EditorModel &m) {
             for (Repeat r : {Repeat::Day, Repeat::Month, Repeat::Year, Repeat::Only})
                 m.selectRepeat(r);
         },
         kept},
        {"the start date set to itself", "", [](EditorModel &m) { m.dtpFrDate_Change(QDate(2005, 3, 10)); }, kept},
        {"the start time set to itself", "", [](EditorModel &m) { m.dtpFrTime_Change(QTime(15, 30)); }, kept},
        {"Monday moves the start and the alarm follows", "W1 TH #0",
         [](EditorModel &m) { m.selectWeekday(2); }, QStringLiteral("20050307153000;会議")},
        {"a new start time moves the alarm", "", [](EditorModel &m) { m.dtpFrTime_Change(QTime(16, 0)); },
         QStringLiteral("20050310160000;会議")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScheduleEntry e = alarmEntry(kept);
        e[DtStartValue] = QStringLiteral("20050310153000");  // a Thursday
        e[DtEndValue] = QStringLiteral("20050310163000");
        e[RRuleValue] = c.rule;
        EditorModel &m = open({e}, 1, QStringLiteral("604SH"));
        c.act(m);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[DAlarmValue], c.alarm);
        EXPECT_EQ(stored()[ShAlarmValue], c.alarm.left(14));
    }
}

// The picture and sound choosers: the first-use note, the dialog's filter and
// folder, the bare name taken and the folder kept in memory and settings.
TEST_F(EditorModelTest, AttachmentChoosersTakeTheNameAndKeepTheFolder)
{
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    const QString note = QStringLiteral("この機能を使うには．．．\n\n%1\nﾊﾟｿｺﾝに用意し、その中のﾌｧｲﾙを選択してください。\n");
    const QString pictureNote = note.arg(QStringLiteral("携帯本体のﾋﾟｸﾁｬｰﾌｫﾙﾀﾞと同じ画像の入ったﾌｫﾙﾀﾞを　　　"));
    const QString soundNote = note.arg(QStringLiteral("携帯本体のﾃﾞｰﾀﾌｫﾙﾀﾞと同じﾌｧｲﾙの入ったﾌｫﾙﾀﾞを　　　"));
    const QString melodyNote = note.arg(QStringLiteral("携帯本体のﾐｭｰｼﾞｯｸﾌｫﾙﾀﾞと同じﾌｧｲﾙの入ったﾌｫﾙﾀﾞを　　　"));
    const QString pictures = QStringLiteral("ピクチャ (*.jpg *.png)");
    enum What { Picture, Sound };
    struct Case {
        const char *what;
        QString model;
        What chooser;
        int folder;                       // opt_folder for a sound
        std::array<QString, 4> folders;   // ImagePath, MusicPath, AudioPath, VoicePath before
        QString answer;                   // the dialog's result
        QString note;                     // expected note text, empty: none
        QString filter;
        QString startFolder;
        QString name;                     // txtPic / txtRing2 after
        std::array<QString, 4> after;     // folders after, in memory and stored
    };
    const std::vector<Case> cases = {
        {"first picture", "603SH", Picture, 0, {}, "/pics/a.PNG", pictureNote, pictures, "", "a.PNG",
         {"/pics/", "", "", ""}},
        {"later picture", "603SH", Picture, 0, {"/pics/", "", "", ""}, "/photos/b.jpg", "", pictures,
         "/pics/", "b.jpg", {"/photos/", "", "", ""}},
        {"cancelled picture", "603SH", Picture, 0, {"/pics/", "", "", ""}, "", "", pictures, "/pics/",
         "", {"/pics/", "", "", ""}},
        {"music", "603SH", Sound, 0, {"", "/m/", "", ""}, "/m2/tune.mmf.HUF", "",
         "ﾐｭｰｼﾞｯｸ (*.mmf *.smd *.mmf.HUF *.smd.HUF);;すべてのファイル (*)", "/m/", "tune.mmf.HUF",
         {"", "/m2/", "", ""}},
        {"audio", "604SH", Sound, 1, {"", "/m/", "/a/", ""}, "/a2/song.mp4", "",
         "ｵｰﾃﾞｨｵ (*.mp4 *.mp4.HUF)", "/a/", "song.mp4", {"", "/m/", "/a2/", ""}},
        {"voice, note by the music folder", "602SH", Sound, 2, {"", "", "", "/v/"}, "/v/memo.svr.HUF",
         soundNote, "ﾎﾞｲｽ (*.svr *.svr.HUF)", "/v/", "memo.svr.HUF", {"", "", "", "/v/"}},
        {"cancelled sound", "603SH", Sound, 1, {"", "/m/", "/a/", ""}, "", "",
         "ｵｰﾃﾞｨｵ (*.mp4 *.mp4.HUF)", "/a/", "", {"", "/m/", "/a/", ""}},
        {"older handset", "SH53", Sound, 0, {}, "/m/tune.smd", melodyNote,
         "メロディ (*.mmf *.smd *.HUF);;すべてのファイル (*)", "", "tune.smd", {"", "/m/", "", ""}},
    };
    const std::array<AttachmentFolder, 4> keys = {AttachmentFolder::Image, AttachmentFolder::Music,
                                                  AttachmentFolder::Audio, AttachmentFolder::Voice};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSettings(QStringLiteral("Skedra"), QStringLiteral("Skedra")).clear();
        for (size_t i = 0; i < keys.size(); ++i) {
            if (!c.folders[i].isEmpty())
                SettingsStore().saveAttachmentFolder(keys[i], c.folders[i]);
        }
        s.AttachmentFolders = c.folders;
        dialogs = ScriptedDialogs();
        dialogs.openFiles = {c.answer};
        EditorModel &m = open({alarmEntry()}, 1, c.model);
        if (c.chooser == Picture) {
            m.optPic_Click(Pair::On);
            EXPECT_EQ(m.choosePicture(), !c.answer.isEmpty());
            EXPECT_EQ(m.form.picture.file, c.name);
        } else {
            m.optRing_Click(Ring::Folder);
            m.opt_folder_Click(c.folder);
            EXPECT_EQ(m.chooseSoundFile(), !c.answer.isEmpty());
            EXPECT_EQ(m.form.alarm.ringFile, c.name);
        }
        if (c.note.isEmpty()) {
            EXPECT_TRUE(dialogs.messages.empty());
        } else {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("注意事項"));
            EXPECT_EQ(dialogs.messages[0].text, c.note);
            EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
        }
        EXPECT_EQ(dialogs.fileDialogs, QStringList{QStringLiteral("open:ファイルを開く|") + c.filter});
        EXPECT_EQ(dialogs.startFolders, QStringList{c.startFolder});
        EXPECT_EQ(s.AttachmentFolders, c.after);
        for (size_t i = 0; i < keys.size(); ++i)
            EXPECT_EQ(SettingsStore().attachmentFolder(keys[i]), c.after[i]) << i;
    }
    // The chosen file belongs to its folder: another folder empties it.
    open({alarmEntry()}).optRing_Click(Ring::Folder);
    model_->form.alarm.ringFile = QStringLiteral("tune.mmf");
    model_->opt_folder_Click(1);
    EXPECT_TRUE(model_->form.alarm.ringFile.isEmpty());
}

// The picture fields load from and store into X-JPGSH-ATTACH; the preview
// looks for the file in the last picture folder.
TEST_F(EditorModelTest, PictureFieldsLoadStoreAndPreview)
{
    using Set = std::function<void(EditorModel &)>;
    struct Case {
        const char *what;
        QString attach;      // AttachValue loaded
        QString imagePath;
        Set set;
        Pair shown;          // after loading
        QString preview;     // after loading
        QString stored;
    };
    const Set nothing = [](EditorModel &) {};
    const std::vector<Case> cases = {
        {"picture", "a.PNG", "/pics/", nothing, Pair::On, "/pics/a.PNG", "a.PNG"},
        {"none", "", "/pics/", nothing, Pair::Off, "", ""},
        {"no folder known yet", "a.PNG", "", nothing, Pair::On, "", "a.PNG"},
        {"switched off", "a.PNG", "/pics/", [](EditorModel &m) { m.optPic_Click(Pair::Off); },
         Pair::On, "/pics/a.PNG", ""},
        {"on without a name", "", "/pics/", [](EditorModel &m) { m.optPic_Click(Pair::On); }, Pair::Off,
         "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScheduleEntry e = alarmEntry();
        addMissingHandsetProperties(e, QStringLiteral("603SH"));
        e[AttachValue] = c.attach;
        s.AttachmentFolders[static_cast<size_t>(AttachmentFolder::Image)] = c.imagePath;
        EditorModel &m = open({e});
        EXPECT_EQ(m.form.picture.attached, c.shown);
        EXPECT_EQ(m.form.picture.enabled, c.shown == Pair::On);
        EXPECT_EQ(m.form.picture.preview, c.preview);
        c.set(m);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[AttachName], QStringLiteral("X-JPGSH-ATTACH"));
        EXPECT_EQ(stored()[AttachParams],
                  QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file="));
        EXPECT_EQ(stored()[AttachValue], c.stored);
        if (c.stored.isEmpty()) {
            EXPECT_EQ(m.form.picture.attached, Pair::Off);
            EXPECT_TRUE(m.form.picture.preview.isEmpty());
        }
    }
}

// Which files preview as PNG, and where the preview sits in Frame1.
TEST(EditorAttachments, ExtensionAndPreviewPlace)
{
    const std::vector<std::pair<QString, QString>> extensions = {
        {"/pics/a.PNG", "PNG"}, {"a.png", "PNG"}, {"a.jpg", "JPG"}, {"/my.dir/file", ""},
        {"C:\\my.dir\\file", ""}, {"file", ""}, {"tune.mmf.HUF", "HUF"}};
    for (const auto &[path, extension] : extensions)
        EXPECT_EQ(UpperExtension(path), extension) << path.toStdString();

    struct Place {
        int width, height;
        PreviewPlace expected;
    };
    const std::vector<Place> places = {
        {200, 300, {330, 2700}},   // 1.5 x the 1800-twip width, portrait
        {300, 200, {750, 1200}},
        {100, 100, {750, 1800}},   // square is not portrait
        {0, 0, {0, 0}},
    };
    for (const Place &p : places)
        EXPECT_EQ(previewPlace(1800, p.width, p.height), p.expected) << p.width << "x" << p.height;
}

// Every alarm and attachment choice goes through a written and read file
// and opens in the same form state.
TEST_F(EditorModelTest, AlarmAndAttachmentsSurviveTheFile)
{
    using Set = std::function<void(EditorModel &)>;
    struct Case {
        const char *what;
        Set set;
        std::vector<std::pair<int, QString>> expected;  // read back from the file
    };
    const std::vector<Case> cases = {
        {"alarm off, no picture",
         [](EditorModel &m) {
             m.optArarm_Click(Pair::Off);
             m.form.alarm.tel = QStringLiteral("090-1234-5678");
         },
         {{DAlarmValue, "00000000000000;"}, {ShAlarmValue, "00000000000000"}, {SndValue, "0;0"},
          {CmbltNoValue, "ON1;0;3"}, {SnoozeValue, "OFF;PT5M"}, {TelValue, "090-1234-5678"},
          {AttachValue, ""}}},
        {"melody, large lamp, pre-alarm, snooze, PNG picture",
         [](EditorModel &m) {
             m.optArarm_Click(Pair::On);
             m.optRing_Click(Ring::Melody);
             m.form.alarm.melody = 3;
             m.optRmp_Click(Lamp::Mobile);
             m.form.alarm.largePattern = 2;
             m.form.alarm.largeColour = 5;
             m.optPreArarm_Click(Pair::On);
             m.cmbPreArarm_Click(Hours);
             m.form.alarm.preCount = QStringLiteral("3");
             m.optSnooze_Click(Pair::On);
             m.form.alarm.snoozeCount = QStringLiteral("7");
             m.optPic_Click(Pair::On);
             m.form.picture.file = QStringLiteral("写真.PNG");
         },
         {{DAlarmValue, "20050310090000;起床"}, {SndValue, "0;3"}, {CmbltNoValue, "ON1;2;5"},
          {PreAlarmValue, "ON;PT3H"}, {SnoozeValue, "ON;PT7M"}, {AttachValue, "写真.PNG"}}},
        {"audio file, small lamp, pre-alarm in weeks, no snooze, JPEG picture",
         [](EditorModel &m) {
             m.optArarm_Click(Pair::On);
             m.optRing_Click(Ring::Folder);
             m.opt_folder_Click(1);
             m.form.alarm.ringFile = QStringLiteral("song.mp4.HUF");
             m.optRmp_Click(Lamp::Small);
             m.form.alarm.smallPattern = 4;
             m.optPreArarm_Click(Pair::On);
             m.cmbPreArarm_Click(Weeks);
             m.form.alarm.preCount = QStringLiteral("2");
             m.optSnooze_Click(Pair::Off);
             m.optPic_Click(Pair::On);
             m.form.picture.file = QStringLiteral("a.jpg");
         },
         {{SndValue, "3;song.mp4.HUF"}, {CmbltNoValue, "ON2;4;0"}, {PreAlarmValue, "ON;P2W"},
          {SnoozeValue, "OFF"}, {AttachValue, "a.jpg"}}},
        {"voice file, no lamp, pre-alarm in months, longest snooze",
         [](EditorModel &m) {
             m.optArarm_Click(Pair::On);
             m.optRing_Click(Ring::Folder);
             m.opt_folder_Click(2);
             m.form.alarm.ringFile = QStringLiteral("memo.svr");
             m.optRmp_Click(Lamp::Off);
             m.optPreArarm_Click(Pair::On);
             m.cmbPreArarm_Click(Months);
             m.form.alarm.preCount = QStringLiteral("6");
             m.optSnooze_Click(Pair::On);
             m.form.alarm.snoozeCount = QStringLiteral("20");
         },
         {{SndValue, "2;memo.svr"}, {CmbltNoValue, "OFF;0;0"}, {PreAlarmValue, "ON;P6M"},
          {SnoozeValue, "ON;PT20M"}}},
    };
    createHexCoder(s);
    ASSERT_TRUE(s.HexCoder);
    const QString path = QDir::temp().filePath(QStringLiteral("skedra_attach_roundtrip.vcs"));
    s.AttachmentFolders[static_cast<size_t>(AttachmentFolder::Image)] = QStringLiteral("/pics/");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorModel &m = open({alarmEntry()});
        c.set(m);
        ASSERT_TRUE(m.SaveFields());
        const AlarmFields alarm = m.form.alarm;
        const PictureFields picture = m.form.picture;

        s.FirstIndex = s.LastIndex = 1;
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(renderVcsData(s));
        out.close();
        s.OpenFileName = path;
        s.OpenMode = QStringLiteral("new");
        ASSERT_TRUE(proc_open(s).read);
        for (const auto &[slot, value] : c.expected)
            EXPECT_EQ(stored()[slot], value) << slot;

        s.WorkEntry = stored();
        addMissingHandsetProperties(s.WorkEntry, s.ModelCode);
        m.Form_Load();
        EXPECT_EQ(m.form.picture.attached, picture.attached);
        EXPECT_EQ(m.form.picture.file, picture.file);
        EXPECT_EQ(m.form.picture.preview, picture.file.isEmpty() ? QString() : "/pics/" + picture.file);
        if (alarm.alarm == Pair::Off) {
            // Alarm off stores the group's defaults, not its choices.
            EXPECT_EQ(m.form.alarm.alarm, Pair::Off);
            EXPECT_EQ(m.form.alarm.tel, alarm.tel);
        } else {
            EXPECT_TRUE(m.form.alarm == alarm);
        }
    }
    QFile::remove(path);
}

// ---- The older editor (SH51 to SH53) ----

// SH52 lists colours from 1, SH53 from 0; SH52 offers "SMAF連動" as its
// small lamp; SH51 has no lamp to set and keeps what the entry held. A
// colour that is missing or no number selects no entry, as an unreadable
// pattern does, and the store's repair then picks ﾏｽｶｯﾄ (entry 3).
TEST_F(EditorModelTest, LampLoadsAndStoresByModel)
{
    using Set = std::function<void(EditorModel &)>;
    struct Case {
        const char *what;
        const char *model;
        const char *loaded;   // CmbltNoValue; nullptr: no lamp property at all
        Set set;
        int colourEntry;      // cmbRmp2 entry after loading
        const char *stored;
    };
    const Set keep = [](EditorModel &) {};
    const std::vector<Case> cases = {
        {"SH52 colour 3 shows ﾏｽｶｯﾄ and stores 3", "SH52", "ON1;2;3", keep, 2, "ON1;2;3"},
        {"SH52 ﾏｽｶｯﾄ chosen stores colour 3", "SH52", "OFF;0;0",
         [](EditorModel &m) {
             m.optRmp_Click(Lamp::Mobile);
             m.form.alarm.largeColour = 2;
         },
         -1, "ON1;0;3"},
        {"SH52 colour 0 shows the first entry", "SH52", "ON1;1;0", keep, 0, "ON1;1;1"},
        {"SH52 SMAF option stores pattern 0 after the repair", "SH52", "ON1;2;3",
         [](EditorModel &m) { m.optRmp_Click(Lamp::Small); }, 2, "ON2;0;0"},
        {"SH53 colour 3 shows entry 3", "SH53", "ON1;4;3", keep, 3, "ON1;4;3"},
        {"SH51 without a lamp keeps none", "SH51", nullptr, keep, -1, ""},
        {"SH51 keeps its lamp as loaded", "SH51", "ON1;2;5", keep, -1, "ON1;2;5"},
        {"603SH colour missing", "603SH", "ON1;2", keep, -1, "ON1;2;3"},
        {"603SH colour empty", "603SH", "ON1;2;", keep, -1, "ON1;2;3"},
        {"603SH colour not a number", "603SH", "ON1;2;x", keep, -1, "ON1;2;3"},
        {"603SH pattern missing", "603SH", "ON1;;4", keep, 4, "ON1;0;4"},
        {"SH53 colour missing", "SH53", "ON1;1", keep, -1, "ON1;1;3"},
        {"SH52 colour missing", "SH52", "ON1;1", keep, -1, "ON1;1;4"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScheduleEntry e = alarmEntry();
        if (c.loaded) {
            e[CmbltNoName] = QStringLiteral("X-JPGSH-CMBLT-NO");
            e[CmbltNoValue] = QString::fromUtf8(c.loaded);
        } else {
            e[CmbltNoName].clear();
        }
        EditorModel &m = open({e}, 1, QString::fromLatin1(c.model));
        EXPECT_EQ(m.form.alarm.largeColour, c.colourEntry);
        if (c.colourEntry == 2 && QLatin1String(c.model) == QLatin1String("SH52"))
            EXPECT_EQ(m.form.alarm.lampColours.value(2), QStringLiteral("ﾏｽｶｯﾄ"));
        c.set(m);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[CmbltNoValue], QString::fromUtf8(c.stored));
        EXPECT_EQ(stored()[CmbltNoName].isEmpty(), c.loaded == nullptr);
    }

    // SH51: the lamp stays disabled whatever the alarm and lamp options do.
    EditorModel &m = open({alarmEntry()}, 1, QStringLiteral("SH51"));
    for (Pair alarm : {Pair::Off, Pair::On}) {
        m.optArarm_Click(alarm);
        for (Lamp lamp : {Lamp::Mobile, Lamp::Small}) {
            m.optRmp_Click(lamp);
            EXPECT_FALSE(m.form.alarm.largeLampEnabled);
            EXPECT_FALSE(m.form.alarm.smallLampEnabled);
        }
    }
}

// The alarm off empties the telephone number in the older editor only.
TEST_F(EditorModelTest, AlarmOffEmptiesTheTelephoneOnOlderModels)
{
    struct Case {
        const char *model;
        Pair alarm;
        const char *tel;
    };
    const Case cases[] = {
        {"603SH", Pair::Off, "03-1234"}, {"SH53", Pair::Off, ""}, {"SH52", Pair::Off, ""},
        {"SH51", Pair::Off, ""},         {"SH53", Pair::On, "03-1234"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.model) + (c.alarm == Pair::On ? " on" : " off"));
        ScheduleEntry e = alarmEntry();
        e[TelValue] = QStringLiteral("03-1234");
        EditorModel &m = open({e}, 1, QString::fromLatin1(c.model));
        m.optArarm_Click(c.alarm);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[TelValue], QString::fromLatin1(c.tel));
    }
}

// What the older editor shows: seven fixed categories, patterns with
// "SMAF連動" for the small lamp only, music files only, no first melody
// filled in, and Next adds the lamp property only, as opening does.
TEST_F(EditorModelTest, OlderEditorLoadsOnlyWhatItHas)
{
    struct Case {
        const char *model;
        const char *sound;
        Ring ring;
        const char *ringFile;
        qsizetype largePatterns, smallPatterns;
    };
    const Case cases[] = {
        {"SH53", "1;tune.mmf", Ring::Folder, "tune.mmf", 5, 6},
        {"SH52", "3;voice.amr", Ring::None, "", 5, 6},
        {"603SH", "3;voice.amr", Ring::Folder, "voice.amr", 6, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        ScheduleEntry e = alarmEntry();
        e[SndValue] = QString::fromLatin1(c.sound);
        EditorModel &m = open({e}, 1, QString::fromLatin1(c.model));
        EXPECT_EQ(m.form.alarm.ring, c.ring);
        EXPECT_EQ(m.form.alarm.ringFile, QString::fromLatin1(c.ringFile));
        EXPECT_EQ(m.form.alarm.lampPatterns.size(), c.largePatterns);
        EXPECT_EQ(m.form.alarm.smallLampPatterns.size(), c.smallPatterns);
        EXPECT_EQ(m.form.alarm.smallLampPatterns.value(5), QStringLiteral("SMAF連動"));
    }

    ScheduleEntry first = alarmEntry();
    first[CategoriesValue] = QStringLiteral("BUSINESS");
    first[ShCategoriesName] = QStringLiteral("X-JPGSH-CATEGORIES");
    first[ShCategoriesValue] = QStringLiteral("5");
    first[SndValue].clear();
    EditorModel &m = open({first, event("20050311100000")}, 1, QStringLiteral("SH53"));
    EXPECT_EQ(m.form.categories.items,
              QStringList({"選択なし", "個人予定", "休日", "旅行", "仕事", "ミーティング", "クラブ・サークル"}));
    EXPECT_EQ(m.form.categories.index, 4);
    m.optRing_Click(Ring::Melody);
    EXPECT_EQ(m.form.alarm.melody, -1);
    m.form.categories.index = 1;
    m.Command6_Click();
    EXPECT_EQ(stored()[CategoriesValue], QStringLiteral("PERSONAL"));
    EXPECT_EQ(stored()[ShCategoriesValue], QStringLiteral("5"));
    EXPECT_EQ(stored()[SndValue], QStringLiteral("0;0"));  // the melody repair of the store
    ASSERT_EQ(s.EditIndex, 2);
    EXPECT_EQ(s.WorkEntry[CmbltNoValue], QStringLiteral("ON1;0;3"));
    EXPECT_TRUE(s.WorkEntry[ShAlarmName].isEmpty());
    EXPECT_TRUE(s.WorkEntry[SnoozeName].isEmpty());
}

// An entry carrying what the older editor does not show is edited and
// written: those lines of the file stay byte for byte as they were.
TEST_F(EditorModelTest, OlderEditorKeepsWhatItDoesNotShowInTheFile)
{
    createHexCoder(s);
    ASSERT_TRUE(s.HexCoder);
    ScheduleEntry e = alarmEntry(QStringLiteral("20050310093000;診察"));
    auto set = [&e](int position, const char *name, const QString &value,
                    const QString &params = QString()) {
        e[nameSlot(position)] = QLatin1String(name);
        e[slotOf(position, ParamsPart)] = params;
        e[slotOf(position, ValuePart)] = value;
    };
    set(Attach, "X-JPGSH-ATTACH", QStringLiteral("病院.jpg"), AttachParameters);
    set(Snooze, "X-JPGSH-SNOOZE", QStringLiteral("ON;PT7M"));
    set(PreAlarm, "X-JPGSH-PREALARM", QStringLiteral("ON;P2D"));
    set(NoAutoDel, "X-JPGSH-NOAUTODEL", QStringLiteral("ON"));
    set(NoDispDefWin, "X-JPGSH-NODISPDEFWIN", QStringLiteral("OFF"));
    set(CalColor, "X-JPGSH-CALCOLOR", QStringLiteral("PINK"));
    set(ShAlarm, "X-JPGSH-ALARM", QStringLiteral("20050310091500"));
    const QByteArrayList kept = {"X-JPGSH-ATTACH", "X-JPGSH-SNOOZE", "X-JPGSH-PREALARM",
                                 "X-JPGSH-NOAUTODEL", "X-JPGSH-NODISPDEFWIN",
                                 "X-JPGSH-CALCOLOR", "X-JPGSH-ALARM"};
    auto keptLines = [&] {
        s.FirstIndex = 1;
        s.LastIndex = 1;
        QByteArrayList out;
        for (const QByteArray &line : renderVcsData(s).split('\n')) {
            if (kept.contains(line.left(line.indexOf(':')).split(';').first()))
                out.append(line);
        }
        return out;
    };

    for (const char *model : {"SH51", "SH52", "SH53"}) {
        SCOPED_TRACE(model);
        EditorModel &m = open({e}, 1, QString::fromLatin1(model));
        const QByteArrayList before = keptLines();
        ASSERT_EQ(before.size(), kept.size());
        m.form.summary = QStringLiteral("再診");
        m.dtpFrTime_Change(QTime(11, 0));
        m.optArarm_Click(Pair::Off);
        ASSERT_TRUE(m.SaveFields());
        EXPECT_EQ(stored()[SummaryValue], QStringLiteral("再診"));
        EXPECT_EQ(keptLines(), before);
    }
}
