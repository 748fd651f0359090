// Undo and redo over every command that changes the list: each is one step
// named after its menu item; undoing it gives back all 90 texts of every
// entry and the sort marks, redoing it the list the command left; Dirty and
// the save question follow, and the selection shows the rows the step
// changed.
#include "addcommands.h"
#include "editormodel.h"
#include "filecommands.h"
#include "listhistory.h"
#include "scripted_dialogs.h"
#include "soundcatalogue.h"
#include "startup.h"
#include "test_entries.h"
#include "test_files.h"
#include "vcsio.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace skedra;
using namespace skedra::test;

namespace {

const QString SaveQuestion = QStringLiteral("現在のデータを保存しますか？　　　");
const QDateTime Now(QDate(2005, 3, 10), QTime(10, 0), QTimeZone::utc());

// The window's state and commands without a window. The entry editor is the
// real editor model; `inEditor` is what the user does in it.
struct Bench {
    explicit Bench(const QString &folder)
        : folder(folder)
    {
        createHexCoder(s);
        s.ModelCode = QStringLiteral("603SH");
        catalogue.LoadSoundCatalogue(s.ModelCode);
        grid.setFormatString(headerFormatFor(s.ModelCode));
        list.editorHook = [this](SessionState &st) {
            EditorModel editor(st, grid, dialogs, hooks, catalogue, [] { return QDate(2005, 3, 10); });
            editor.history = &history;
            editor.Form_Load();
            if (inEditor)
                inEditor(editor);
        };
    }

    // Five entries "1" to "5" with attributes that every attribute command
    // changes in rows 2 and 3, a description with full-width letters and an
    // alarm message with full-width digits.
    void five()
    {
        fill(s, grid, 5);
        for (int i = 0; i < 5; ++i) {
            ScheduleEntry &e = s.ScheduleList[i];
            e[ClassValue] = i % 2 ? QStringLiteral("PRIVATE") : QStringLiteral("PUBLIC");
            e[PriorityValue] = QString::number(i % 3);
            e[DescriptionName] = QStringLiteral("DESCRIPTION");
            e[DescriptionValue] = QStringLiteral("会議室Ａ%1").arg(i);
        }
        s.ScheduleList.at(1, CalColorName) = QStringLiteral("X-JPGSH-CALCOLOR");
        s.ScheduleList.at(1, CalColorValue) = QStringLiteral("RED");
        s.ScheduleList.at(1, CategoriesName) = QStringLiteral("CATEGORIES");
        s.ScheduleList.at(1, CategoriesValue) = QStringLiteral("MEETING");
        s.ScheduleList.at(3, DAlarmValue) = QStringLiteral("20240104110000;１２時");
        s.ScheduleList.at(1, StatusValue) = QStringLiteral("COMPLETED");
        s.ScheduleList.at(3, StatusValue) = QStringLiteral("COMPLETED");
        Grid_refresh(s.ScheduleList, grid);
        grid.setRow(2);
        grid.setRowSel(3);
    }

    // A file of two entries "六" and "七", as .vcs or .ics.
    QString file(const char *name)
    {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        if (path.endsWith(QLatin1String(".ics"))) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                    "BEGIN:VEVENT\r\nUID:6@test\r\nDTSTAMP:20050301T000000Z\r\nDTSTART:20050310T010000Z\r\n"
                    "SUMMARY:六\r\nEND:VEVENT\r\n"
                    "BEGIN:VEVENT\r\nUID:7@test\r\nDTSTAMP:20050301T000000Z\r\nDTSTART:20050311T010000Z\r\n"
                    "SUMMARY:七\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
            return path;
        }
        return writeVcs(path, {"六", "七"});
    }

    QString folder;
    SessionState s;
    ListGrid grid;
    ScriptedDialogs dialogs;
    RecordingHooks hooks;
    SoundCatalogue catalogue;
    ListHistory history{s, grid, hooks};
    ListCommands list{s, grid, dialogs, hooks, history};
    AddCommands add{s, grid, dialogs, hooks, list};
    FileCommands files{s, grid, dialogs, hooks, list.defaults, history};
    std::function<void(EditorModel &)> inEditor;
};

// Where two lists first differ, for a readable failure.
std::string firstDifference(const ScheduleList &a, const ScheduleList &b)
{
    for (int i = 0; i < MaxEntries; ++i) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (a.at(i, slot) != b.at(i, slot))
                return "entry " + std::to_string(i) + " slot " + std::to_string(slot) + ": \""
                    + a.at(i, slot).toStdString() + "\" / \"" + b.at(i, slot).toStdString() + "\"";
        }
    }
    return "none";
}

struct Band {
    int first;
    int last;
    bool operator==(const Band &) const = default;
};

void PrintTo(const Band &b, std::ostream *os)
{
    *os << b.first << ".." << b.last;
}

// Rows whose entries differ between two lists, as a band; for commands
// that change entries where they stand.
Band changedRows(const ScheduleList &a, const ScheduleList &b)
{
    Band band{0, 0};
    for (int i = 0; i < MaxEntries; ++i) {
        if (a[i] == b[i])
            continue;
        if (band.first == 0)
            band.first = i + 1;
        band.last = i + 1;
    }
    return band;
}

} // namespace

TEST(UndoHistory, EveryCommandUndoesAndRedoesTheWholeList)
{
    using Act = std::function<void(Bench &)>;
    const auto editor = [](std::function<void(EditorModel &)> user) {
        return [user](Bench &b) { b.inEditor = user; };
    };
    const auto summary = [](const char *text) {
        return [text](EditorModel &m) { m.form.summary = QString::fromUtf8(text); };
    };
    const auto yes = [](Bench &b) { b.dialogs.answers = {Answer::Yes}; };
    const Band where{0, 0};  // the rows whose entries changed

    const struct {
        const char *name;
        Act setup;  // after the five entries
        Act act;
        QStringList steps;  // oldest first
        Band undone;        // selection after undoing every step
        Band redone;        // after doing them again
    } cases[] = {
        {"edit, OK", editor([=](EditorModel &m) { summary("打合せ")(m); m.cmdOk_Click(); }),
         [](Bench &b) { b.grid.setRow(2); b.list.editRow(Now); }, {"編集"}, where, where},
        {"edit, Next, OK",
         editor([=](EditorModel &m) {
             summary("二")(m);
             m.Command6_Click();
             summary("三")(m);
             m.cmdOk_Click();
         }),
         [](Bench &b) { b.grid.setRow(2); b.list.editRow(Now); }, {"編集", "編集"}, {2, 2}, {3, 3}},
        {"edit, Back", editor([=](EditorModel &m) { summary("三")(m); m.Command7_Click(); }),
         [](Bench &b) { b.grid.setRow(3); b.list.editRow(Now); }, {"編集"}, where, where},
        {"add, OK", editor([=](EditorModel &m) { summary("六")(m); m.cmdOk_Click(); }),
         [](Bench &b) { b.add.add(Now); }, {"データを追加"}, {5, 5}, {6, 6}},
        {"add, Next, OK",
         editor([=](EditorModel &m) {
             summary("六")(m);
             m.Command6_Click();
             summary("六六")(m);
             m.cmdOk_Click();
         }),
         [](Bench &b) { b.add.add(Now); }, {"データを追加", "編集"}, {5, 5}, {6, 6}},
        {"copy-add, OK", editor([=](EditorModel &m) { m.cmdOk_Click(); }),
         [](Bench &b) { b.grid.setRow(2); b.add.copyAdd(Now); }, {"ｺﾋﾟｰして追加"}, {5, 5}, {6, 6}},
        {"add to an empty list",
         [=](Bench &b) {
             b.s.ScheduleList.clear();
             fitGridToList(b.s.ScheduleList, b.grid, true);
             editor([=](EditorModel &m) { summary("一")(m); m.cmdOk_Click(); })(b);
         },
         [](Bench &b) { b.add.add(Now); }, {"データを追加"}, {1, 1}, {1, 1}},
        {"delete rows 2 and 3", yes, [](Bench &b) { b.list.deleteRows(); }, {"削除"}, {2, 3}, {2, 2}},
        {"delete far down a long list",
         [](Bench &b) {
             fill(b.s, b.grid, 60);
             b.grid.setTopRow(1);
             b.grid.setRow(50);
             b.dialogs.answers = {Answer::Yes};
         },
         [](Bench &b) { b.list.deleteRows(); b.grid.setTopRow(1); }, {"削除"}, {50, 50}, {50, 50}},
        {"delete completed", yes, [](Bench &b) { b.list.deleteCompleted(); }, {"過去予定を全削除"}, {2, 4}, {2, 2}},
        {"move up", {}, [](Bench &b) { b.list.moveUp(); }, {"上へ移動"}, {1, 3}, {1, 3}},
        {"move down", {}, [](Bench &b) { b.list.moveDown(); }, {"下へ移動"}, {2, 4}, {2, 4}},
        {"sort descending", [](Bench &b) { b.list.headerClick(2); }, [](Bench &b) { b.list.headerClick(2); },
         {"並べ替え（件名）"}, {1, 5}, {1, 5}},
        {"secret on", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::SecretOn); }, {"ｼｰｸﾚｯﾄ（設定）"}, where, where},
        {"secret off", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::SecretOff); }, {"ｼｰｸﾚｯﾄ（解除）"}, where, where},
        {"priority none", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::PriorityNon); }, {"優先度（未設定）"}, where, where},
        {"priority high", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::PriorityHigh); }, {"優先度（高）"}, where, where},
        {"priority low", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::PriorityLow); }, {"優先度（低）"}, where, where},
        {"colour none", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColNon); }, {"日付色（未設定）"}, where, where},
        {"colour black", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColBlack); }, {"日付色（ﾌﾞﾗｯｸ）"}, where, where},
        {"colour blue", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColBlue); }, {"日付色（ﾌﾞﾙｰ）"}, where, where},
        {"colour red", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColRed); }, {"日付色（ﾚｯﾄﾞ）"}, where, where},
        {"colour purple", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColPurple); }, {"日付色（ﾊﾟｰﾌﾟﾙ）"}, where, where},
        {"colour pink", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColPink); }, {"日付色（ﾋﾟﾝｸ）"}, where, where},
        {"colour green", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::ColGreen); }, {"日付色（ｸﾞﾘｰﾝ）"}, where, where},
        {"protection on", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::AutoDelOn); }, {"自動消去保護（ON）"}, where, where},
        {"protection off", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::AutoDelOff); }, {"自動消去保護（OFF）"}, where, where},
        {"standby shown", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::WaitOn); }, {"待受画面（表示）"}, where, where},
        {"standby hidden", {}, [](Bench &b) { b.list.setAttribute(AttributeCommand::WaitOff); }, {"待受画面（非表示）"}, where, where},
        {"no category", {}, [](Bench &b) { b.list.setCategory(categories::Menu::Cate, 0); }, {"ｶﾃｺﾞﾘ（選択なし）"}, where, where},
        {"category 仕事", {}, [](Bench &b) { b.list.setCategory(categories::Menu::Cate, 4); }, {"ｶﾃｺﾞﾘ（仕事）"}, where, where},
        {"stamp 映画", {}, [](Bench &b) { b.list.setCategory(categories::Menu::Cate, 24); }, {"ｽﾀﾝﾌﾟ（映画）"}, where, where},
        {"stamp 注射", {}, [](Bench &b) { b.list.setCategory(categories::Menu::Cate2, 29); }, {"ｽﾀﾝﾌﾟ（注射）"}, where, where},
        {"half-width descriptions", yes, [](Bench &b) { b.list.halfWidth(0); }, {"文字数節約（内　容）"}, where, where},
        {"half-width alarm messages", yes, [](Bench &b) { b.list.halfWidth(1); }, {"文字数節約（ｱﾗｰﾑﾒｯｾｰｼﾞ）"}, where, where},
        {"iCalendar import",
         [](Bench &b) { b.dialogs.openFiles = {b.file("two.ics")}; },
         [](Bench &b) { b.files.importIcs(); }, {"iCalendar形式を読み込み"}, {5, 5}, {6, 7}},
        {"open, add",
         [](Bench &b) { b.dialogs.openFiles = {b.file("two.vcs")}; },
         [](Bench &b) { b.files.openAdd(); }, {"開く（追加）"}, {5, 5}, {6, 7}},
    };

    QTemporaryDir tmp;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bench b(tmp.path());
        b.five();
        if (c.setup)
            c.setup(b);
        b.history.clear();  // as the list stands when it was opened
        EXPECT_FALSE(b.s.isDirty());
        const ScheduleList before = b.s.ScheduleList;
        const SortMarks marksBefore = sortMarksOf(b.grid);

        c.act(b);
        const ScheduleList after = b.s.ScheduleList;
        const SortMarks marksAfter = sortMarksOf(b.grid);
        EXPECT_FALSE(after == before);
        if (b.history.steps() != c.steps.size()) {
            ADD_FAILURE() << b.history.steps() << " steps";
            continue;
        }
        EXPECT_EQ(b.history.undoName(), c.steps.last());
        EXPECT_TRUE(b.s.isDirty());
        b.dialogs.messages.clear();

        for (qsizetype i = c.steps.size(); i-- > 0;) {
            EXPECT_EQ(b.history.undoName(), c.steps[i]);
            b.history.undo();
        }
        EXPECT_TRUE(b.s.ScheduleList == before) << firstDifference(b.s.ScheduleList, before);
        EXPECT_EQ(sortMarksOf(b.grid), marksBefore);
        EXPECT_EQ(b.grid.dataRows(), std::max(before.count(), 1));
        EXPECT_FALSE(b.history.canUndo());
        // Back where the file was opened: nothing to save, nothing asked.
        EXPECT_FALSE(b.s.isDirty());
        EXPECT_TRUE(b.files.askSave());
        EXPECT_TRUE(b.dialogs.messages.empty());
        const Band undone = c.undone == where ? changedRows(before, after) : c.undone;
        EXPECT_EQ((Band{b.grid.bandFirst(), b.grid.bandLast()}), undone);
        EXPECT_LE(b.grid.topRow(), b.grid.bandFirst());
        EXPECT_LE(b.grid.bandLast(), b.grid.topRow() + b.grid.fitRows());

        for (const QString &step : c.steps) {
            EXPECT_EQ(b.history.redoName(), step);
            b.history.redo();
        }
        EXPECT_TRUE(b.s.ScheduleList == after) << firstDifference(b.s.ScheduleList, after);
        EXPECT_EQ(sortMarksOf(b.grid), marksAfter);
        EXPECT_EQ(b.grid.dataRows(), std::max(after.count(), 1));
        EXPECT_FALSE(b.history.canRedo());
        // Changed again: the save question is asked.
        EXPECT_TRUE(b.s.isDirty());
        b.dialogs.answers = {Answer::Cancel};
        EXPECT_FALSE(b.files.askSave());
        EXPECT_EQ(b.dialogs.messages.size(), 1u);
        EXPECT_EQ(b.dialogs.messages.empty() ? QString() : b.dialogs.last().text, SaveQuestion);
        const Band redone = c.redone == where ? changedRows(before, after) : c.redone;
        EXPECT_EQ((Band{b.grid.bandFirst(), b.grid.bandLast()}), redone);
        EXPECT_LE(b.grid.topRow(), b.grid.bandFirst());
        EXPECT_LE(b.grid.bandLast(), b.grid.topRow() + b.grid.fitRows());
    }
}

// Saving marks the place in the history where the list matches its file:
// undoing away from it and redoing back to it change Dirty both ways.
// Opening another file and closing start the history anew.
TEST(UndoHistory, SaveKeepsTheStepsOpenAndCloseForgetThem)
{
    QTemporaryDir tmp;
    Bench b(tmp.path());
    b.five();
    b.history.clear();
    b.dialogs.answers = {Answer::Yes};
    b.list.deleteRows();
    const QString saved = tmp.filePath(QStringLiteral("saved.vcs"));
    b.dialogs.saveFiles = {saved};
    ASSERT_TRUE(b.files.saveAs());
    EXPECT_FALSE(b.s.isDirty());
    EXPECT_EQ(b.history.steps(), 1);

    b.history.undo();
    EXPECT_TRUE(b.s.isDirty());
    EXPECT_EQ(b.s.ScheduleList.count(), 5);
    b.history.redo();
    EXPECT_FALSE(b.s.isDirty());
    EXPECT_EQ(b.s.ScheduleList.count(), 3);

    // A step after undoing past the save: the saved list is out of reach.
    b.history.undo();
    b.list.moveDown();
    b.history.undo();
    EXPECT_TRUE(b.s.isDirty());

    b.s.OpenMode = QStringLiteral("new");
    ASSERT_TRUE(b.files.openChosenFile(saved));
    EXPECT_EQ(b.history.steps(), 0);
    EXPECT_FALSE(b.s.isDirty());
    b.list.moveDown();
    EXPECT_EQ(b.history.steps(), 1);
    b.dialogs.answers = {Answer::No};
    b.files.closeList();
    EXPECT_EQ(b.history.steps(), 0);
    EXPECT_FALSE(b.history.canUndo());
}

// At least a hundred steps can be undone; the oldest beyond them goes.
TEST(UndoHistory, KeepsAHundredSteps)
{
    QTemporaryDir tmp;
    Bench b(tmp.path());
    b.five();
    b.history.clear();
    b.grid.setRow(1);
    b.list.moveDown();
    const ScheduleList afterFirst = b.s.ScheduleList;
    for (int i = 0; i < 100; ++i) {
        if (i % 2)
            b.list.moveDown();
        else
            b.list.moveUp();
    }
    EXPECT_EQ(b.history.steps(), 100);
    int undone = 0;
    while (b.history.canUndo()) {
        b.history.undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_TRUE(b.s.ScheduleList == afterFirst);
    // The file's state is no longer in the history.
    EXPECT_TRUE(b.s.isDirty());
}
