// The file commands against real files: the save question on every path,
// open new / open add, drops, save as, saving selected rows and write
// failures.
#include "filecommands.h"
#include "scripted_dialogs.h"
#include "startup.h"
#include "test_entries.h"
#include "test_files.h"
#include "vcsio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

using namespace skedra;
using namespace skedra::test;

namespace {

const QString SaveQuestion = QStringLiteral("現在のデータを保存しますか？　　　");

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        createHexCoder(s);
        ASSERT_TRUE(s.HexCoder);
        grid.setFormatString(headerFormatFor(s.ModelCode));
    }

    // Writes a .vcs file with entries named by `names`.
    QString makeFile(const QString &fileName, const QStringList &names)
    {
        return writeVcs(tmp.filePath(fileName), names);
    }

    // Summaries read back from a file.
    QStringList readBack(const QString &path) { return readVcs(path); }

    // A changed list of three entries.
    void changedList()
    {
        fill(s, grid, 3);
        s.markDirty();
    }

    bool askedSaveQuestion() const
    {
        for (const auto &m : dialogs.messages) {
            if (m.text == SaveQuestion)
                return true;
        }
        return false;
    }

    QTemporaryDir tmp;
    SessionState s;
    ListGrid grid;
    ScriptedDialogs dialogs;
    RecordingHooks hooks;
    EntryDefaults defaults;
    ListHistory history{s, grid, hooks};
    FileCommands cmd{s, grid, dialogs, hooks, defaults, history};
};

} // namespace

TEST(FilePaths, ExtensionAndCommandLine)
{
    EXPECT_EQ(GetExtension(QStringLiteral("a/b.vcs")), QStringLiteral("VCS"));
    EXPECT_EQ(GetExtension(QStringLiteral("a.b/c")), QString());
    EXPECT_EQ(GetExtension(QStringLiteral("a.b\\c")), QString());
    EXPECT_EQ(GetExtension(QStringLiteral("noext")), QString());
    EXPECT_TRUE(isVcsPath(QStringLiteral("/x/予定.VcS")));
    EXPECT_FALSE(isVcsPath(QStringLiteral("/x/a.vcf")));
    EXPECT_FALSE(isVcsPath(QStringLiteral("/x/a.vcs.bak")));
    EXPECT_EQ(commandLineFromArguments({QStringLiteral("\"/tmp/my file.vcs\"")}),
              QStringLiteral("/tmp/my file.vcs"));
    EXPECT_EQ(commandLineFromArguments({QStringLiteral("/tmp/my"), QStringLiteral("file.vcs")}),
              QStringLiteral("/tmp/my file.vcs"));
    EXPECT_EQ(perEntryFileName(QStringLiteral("/out"), 12), QStringLiteral("/out/vCal_0012.vcs"));
    EXPECT_EQ(perEntryFileName(QStringLiteral("/out/"), 1), QStringLiteral("/out/vCal_0001.vcs"));
}

TEST_F(FileCommandsTest, OpenNewReadsAndFeedsTheNotice)
{
    const QString path = makeFile(QStringLiteral("a.vcs"), {"一", "二", "三"});
    dialogs.openFiles = {path};
    grid.setText(0, 3, QStringLiteral("▲ 開始日時"));
    cmd.openNew();
    EXPECT_TRUE(dialogs.messages.empty());  // nothing changed: no question
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0], QStringLiteral("open:ファイルを開く|vCalendar (*.vcs);;iCalendar (*.ics)"));
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"一", "二", "三"}));
    EXPECT_EQ(column(grid, 2), QStringList({"一", "二", "三"}));
    EXPECT_EQ(grid.text(0, 3), QStringLiteral("開始日時"));  // sort mark gone
    EXPECT_EQ(countPanelText(grid), QStringLiteral("全 3 件"));
    EXPECT_EQ(s.OpenFileName, path);
    EXPECT_FALSE(s.isDirty());
    EXPECT_EQ(hooks.loadingStarts, 1);
    EXPECT_EQ(hooks.loadingEnds, 1);
    EXPECT_EQ(hooks.busyOn, hooks.busyOff);
    ASSERT_FALSE(hooks.progress.empty());
    EXPECT_EQ(hooks.progress.back(), std::make_pair(3, 3));
}

TEST_F(FileCommandsTest, SaveQuestionBeforeOpenNew)
{
    const QString path = makeFile(QStringLiteral("a.vcs"), {"新"});

    // Cancel: nothing opened, no file dialog.
    changedList();
    dialogs.answers = {Answer::Cancel};
    dialogs.openFiles = {path};
    cmd.openNew();
    EXPECT_EQ(dialogs.last().title, QStringLiteral("保存の確認"));
    EXPECT_EQ(dialogs.last().text, SaveQuestion);
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(s.isDirty());

    // Yes, then the save-as dialog cancelled: nothing lost, nothing opened.
    dialogs.answers = {Answer::Yes};
    dialogs.saveFiles = {QString()};
    cmd.openNew();
    EXPECT_EQ(dialogs.fileDialogs, QStringList({"save:名前を付けて保存|vCalendar形式 (*.vcs)"}));
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(s.isDirty());

    // Yes and saved: the old list is in its file, the new one is open.
    dialogs.fileDialogs.clear();
    const QString saved = tmp.filePath(QStringLiteral("saved.vcs"));
    dialogs.answers = {Answer::Yes};
    dialogs.saveFiles = {saved};
    cmd.openNew();
    EXPECT_EQ(readBack(saved), QStringList({"1", "2", "3"}));
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"新"}));
    EXPECT_FALSE(s.isDirty());

    // No: opened without saving.
    s.markDirty();
    dialogs.answers = {Answer::No};
    dialogs.openFiles = {path};
    cmd.openNew();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"新"}));
    EXPECT_FALSE(s.isDirty());
}

TEST_F(FileCommandsTest, OpenAddOnAnEmptyListFillsFromTheFirstEntry)
{
    const QString path = makeFile(QStringLiteral("a.vcs"), {"一", "二"});
    s.markDirty();  // e.g. sorted while empty: still no question
    dialogs.openFiles = {path};
    cmd.openAdd();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(s.OpenMode, QStringLiteral("new"));
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"一", "二"}));
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(column(grid, 2), QStringList({"一", "二"}));
}

TEST_F(FileCommandsTest, OpenAddAppendsAsAChangeOfTheList)
{
    const QString path = makeFile(QStringLiteral("a.vcs"), {"四", "五"});
    changedList();
    dialogs.openFiles = {path};
    cmd.openAdd();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(s.OpenMode, QStringLiteral("add"));
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3", "四", "五"}));
    EXPECT_EQ(column(grid, 2), QStringList({"1", "2", "3", "四", "五"}));
    EXPECT_TRUE(s.isDirty());  // the edits before the append are still unsaved

    // A saved list holds no file's entries after an append: it is changed
    // until the append is undone.
    history.markSaved();
    dialogs.openFiles = {path};
    cmd.openAdd();
    EXPECT_EQ(s.ScheduleList.count(), 7);
    EXPECT_TRUE(s.isDirty());
    history.undo();
    EXPECT_EQ(s.ScheduleList.count(), 5);
    EXPECT_FALSE(s.isDirty());
}

TEST_F(FileCommandsTest, OpeningSomethingElseReportsTheReader)
{
    const QString bad = tmp.filePath(QStringLiteral("bad.vcs"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BEGIN:VCARD\r\nEND:VCARD\r\n");
    f.close();
    changedList();
    dialogs.answers = {Answer::No};
    dialogs.openFiles = {bad};
    cmd.openNew();
    EXPECT_EQ(dialogs.last().text, QStringLiteral("vCalendarファイルではないようです．．．　　"));
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(countPanelText(grid), QString());

    // Added to a list, a wrong file changes nothing, not even the mark.
    changedList();
    dialogs.openFiles = {bad};
    cmd.openAdd();
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3"}));
    EXPECT_EQ(column(grid, 2), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(s.isDirty());
}

TEST_F(FileCommandsTest, DropOnAnEmptyListOpensWithoutAsking)
{
    const QString path = makeFile(QStringLiteral("d.vcs"), {"落"});
    cmd.dropFiles({path, QStringLiteral("/ignored.vcs")});
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"落"}));
}

TEST_F(FileCommandsTest, DropOnAListAsksTheMode)
{
    const QString path = makeFile(QStringLiteral("d.vcs"), {"落"});
    changedList();

    dialogs.answers = {Answer::Cancel};
    cmd.dropFiles({path});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("ｵｰﾌﾟﾝﾓ-ﾄﾞの確認"));
    EXPECT_EQ(dialogs.last().text, QStringLiteral("追加モードで開きますか？　　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(s.ScheduleList.count(), 3);

    dialogs.answers = {Answer::Yes};
    cmd.dropFiles({path});
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"1", "2", "3", "落"}));
    EXPECT_FALSE(askedSaveQuestion());
    EXPECT_TRUE(s.isDirty());

    // No replaces the list: the unsaved changes are offered for saving first.
    dialogs.messages.clear();
    dialogs.answers = {Answer::No, Answer::Cancel};
    cmd.dropFiles({path});
    EXPECT_TRUE(askedSaveQuestion());
    EXPECT_EQ(s.ScheduleList.count(), 4);
    EXPECT_TRUE(s.isDirty());

    dialogs.answers = {Answer::No, Answer::No};
    cmd.dropFiles({path});
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"落"}));
    EXPECT_FALSE(s.isDirty());
}

TEST_F(FileCommandsTest, DropOfAFolderOrAnotherTypeIsRefused)
{
    cmd.dropFiles({tmp.path()});
    EXPECT_EQ(dialogs.last().text, QStringLiteral("ファイルをドロップしてください．．．　　"));
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    cmd.dropFiles({});
    EXPECT_EQ(dialogs.last().text, QStringLiteral("ファイルをドロップしてください．．．　　"));

    QFile f(tmp.filePath(QStringLiteral("card.vcf")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    cmd.dropFiles({f.fileName()});
    EXPECT_EQ(dialogs.last().text, QStringLiteral("vCalendarファイルではありません．．．　　"));
    EXPECT_EQ(s.ScheduleList.count(), 0);
}

// An .ics file opens as a .vcs file does, by every road, through the
// iCalendar import: the same questions, the list replaced or appended to,
// the summaries offered to the editors. A replaced list has no file to be
// saved in place: its first save asks for a name, never the .ics file's.
TEST_F(FileCommandsTest, IcsFilesOpenLikeVcsFiles)
{
    const QString ics = tmp.filePath(QStringLiteral("cal.ics"));
    {
        QFile f(ics);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART:20250301T010000Z\r\n"
                "SUMMARY:i1\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:2\r\nDTSTART:20250302T010000Z\r\n"
                "SUMMARY:i2\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    const QString broken = tmp.filePath(QStringLiteral("broken.ics"));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART:2025");
    }
    const QString vcs = makeFile(QStringLiteral("list.vcs"), {"1", "2", "3"});
    enum class Road { CommandLine, Drop, OpenNew, OpenAdd, ImportMenu };
    struct Case {
        const char *what;
        Road road;
        bool listBefore;            // three entries read from list.vcs, then changed
        std::deque<Answer> answers;
        QString path;
        QStringList questions;      // titles of the boxes asked, in order
        QStringList summaries;
        bool dirty;
        QString saveTarget;
    };
    const QString mode = QStringLiteral("ｵｰﾌﾟﾝﾓ-ﾄﾞの確認"), save = QStringLiteral("保存の確認");
    const QList<Case> cases{
        {"named on the command line", Road::CommandLine, false, {}, ics, {}, {"i1", "i2"}, false, {}},
        {"dropped on an empty list", Road::Drop, false, {}, ics, {}, {"i1", "i2"}, false, {}},
        {"dropped and added", Road::Drop, true, {Answer::Yes}, ics, {mode}, {"1", "2", "3", "i1", "i2"}, true, vcs},
        {"dropped in place of a changed list", Road::Drop, true, {Answer::No, Answer::No}, ics, {mode, save},
         {"i1", "i2"}, false, {}},
        {"open new", Road::OpenNew, true, {Answer::No}, ics, {save}, {"i1", "i2"}, false, {}},
        {"open add", Road::OpenAdd, true, {}, ics, {}, {"1", "2", "3", "i1", "i2"}, true, vcs},
        {"the File menu's import", Road::ImportMenu, true, {}, ics, {}, {"1", "2", "3", "i1", "i2"}, true, vcs},
        {"a broken file leaves the list as it was", Road::OpenNew, true, {Answer::No}, broken,
         {save, QStringLiteral("エラー")}, {"1", "2", "3"}, true, vcs},
    };
    for (const Case &c : cases) {
        s.clearList();
        s.SummaryHistory = {};
        grid.clearToBlank();
        cmd.closeList();
        if (c.listBefore) {
            dialogs.openFiles = {vcs};
            cmd.openNew();
            s.markDirty();
        }
        dialogs.messages.clear();
        dialogs.answers = c.answers;
        dialogs.openFiles = {c.path};
        switch (c.road) {
        case Road::CommandLine: cmd.openCommandLine(c.path); break;
        case Road::Drop: cmd.dropFiles({c.path}); break;
        case Road::OpenNew: cmd.openNew(); break;
        case Road::OpenAdd: cmd.openAdd(); break;
        case Road::ImportMenu: cmd.importIcs(); break;
        }
        QStringList asked;
        for (const AskedMessage &m : dialogs.messages)
            asked.append(m.title);
        EXPECT_EQ(asked, c.questions) << c.what;
        EXPECT_EQ(summaries(s.ScheduleList), c.summaries) << c.what;
        EXPECT_EQ(column(grid, 2), c.summaries) << c.what;
        EXPECT_EQ(s.isDirty(), c.dirty) << c.what;
        EXPECT_EQ(cmd.saveTarget(), c.saveTarget) << c.what;
        // Each read offers its summaries from the top of the list.
        if (c.path == ics)
            EXPECT_EQ(QStringList({s.SummaryHistory[0], s.SummaryHistory[1]}), QStringList({"i1", "i2"})) << c.what;
    }

    // Saving the list read from cal.ics: never into it.
    dialogs.messages.clear();
    const QString saved = tmp.filePath(QStringLiteral("saved.vcs"));
    dialogs.saveFiles = {ics, saved};
    EXPECT_TRUE(cmd.saveAs());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text,
              "iCalendar形式のファイル（.ics）にはvCalendar形式で保存できません。\n.vcsの名前を付けてください。　　");
    EXPECT_EQ(readBack(saved), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(QFile(ics).size() > 0 && QFile(ics).open(QIODevice::ReadOnly));
    EXPECT_EQ(cmd.saveTarget(), saved);
}

TEST_F(FileCommandsTest, CloseAndQuitAskFirst)
{
    changedList();
    dialogs.answers = {Answer::Cancel};
    cmd.closeList();
    EXPECT_EQ(s.ScheduleList.count(), 3);
    EXPECT_FALSE(cmd.queryClose());  // unscripted: Cancel

    dialogs.answers = {Answer::Yes};
    dialogs.saveFiles = {QString()};
    EXPECT_FALSE(cmd.queryClose());  // save-as cancelled keeps running

    dialogs.answers = {Answer::No};
    EXPECT_TRUE(cmd.queryClose());

    dialogs.answers = {Answer::No};
    cmd.closeList();
    EXPECT_EQ(s.ScheduleList.count(), 0);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_TRUE(grid.text(1, 2).isEmpty());
    EXPECT_FALSE(s.isDirty());

    // Nothing changed: no question at all.
    dialogs.messages.clear();
    EXPECT_TRUE(cmd.queryClose());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileCommandsTest, SaveAsAsksBeforeOverwriting)
{
    changedList();
    const QString path = makeFile(QStringLiteral("old.vcs"), {"古"});
    dialogs.saveFiles = {path};
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(cmd.saveAs());
    EXPECT_EQ(dialogs.last().title, QStringLiteral("警告"));
    EXPECT_EQ(dialogs.last().text, path + QStringLiteral("は既に存在します。   \n上書きしてよろしいですか？"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(readBack(path), QStringList({"古"}));
    EXPECT_TRUE(s.isDirty());

    dialogs.saveFiles = {path};
    dialogs.answers = {Answer::Yes};
    s.SaveDone = QStringLiteral("0");
    EXPECT_TRUE(cmd.saveAs());
    EXPECT_EQ(readBack(path), QStringList({"1", "2", "3"}));
    EXPECT_EQ(s.SaveDone, QStringLiteral("1"));
    EXPECT_FALSE(s.isDirty());
}

TEST_F(FileCommandsTest, WriteFailureIsReportedAndNothingIsLost)
{
    changedList();
    // A folder path that is really a file.
    const QString blocker = makeFile(QStringLiteral("blocker.vcs"), {"x"});
    const QString target = blocker + QStringLiteral("/out.vcs");
    dialogs.answers = {Answer::Yes};  // the save question before quitting
    dialogs.saveFiles = {target};
    s.SaveDone = QStringLiteral("0");
    EXPECT_FALSE(cmd.queryClose());
    const AskedMessage &m = dialogs.last();
    EXPECT_EQ(m.title, QStringLiteral("エラー"));
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_EQ(m.text, QStringLiteral("データ書き込み中にエラーが発生しました。　　　\n"
                                     "確認してもう一度やり直してください。　　"));
    EXPECT_TRUE(s.isDirty());
    EXPECT_EQ(s.SaveDone, QStringLiteral("0"));
    EXPECT_EQ(s.ScheduleList.count(), 3);
}

TEST_F(FileCommandsTest, SaveSelectedRowsNumbersFromTheBandTop)
{
    fill(s, grid, 6);
    s.markDirty();
    grid.setRow(5);
    grid.setRowSel(3);  // selected upwards
    const QString out = tmp.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    dialogs.folders = {out};
    dialogs.answers = {Answer::Yes};
    cmd.saveSelected();
    EXPECT_EQ(dialogs.fileDialogs, QStringList({"folder:フォルダを選択してください"}));
    EXPECT_EQ(dialogs.last().title, QStringLiteral("警告"));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("同じ名前のﾌｧｲﾙが存在した場合は上書きされます。  　\nよろしいですか？"));
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(readBack(out + QStringLiteral("/vCal_0001.vcs")), QStringList({"3"}));
    EXPECT_EQ(readBack(out + QStringLiteral("/vCal_0002.vcs")), QStringList({"4"}));
    EXPECT_EQ(readBack(out + QStringLiteral("/vCal_0003.vcs")), QStringList({"5"}));
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/vCal_0004.vcs")));
    // Only part of the list was written: the list is still unsaved.
    EXPECT_TRUE(s.isDirty());

    // A second run starts again at 0001 and overwrites.
    grid.setRow(6);
    dialogs.folders = {out};
    dialogs.answers = {Answer::Yes};
    cmd.saveSelected();
    EXPECT_EQ(readBack(out + QStringLiteral("/vCal_0001.vcs")), QStringList({"6"}));
}

TEST_F(FileCommandsTest, SaveSelectedStopsAtCancelNoOrFailure)
{
    // Empty list: not even the folder is asked for.
    cmd.saveSelected();
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());

    fill(s, grid, 2);
    grid.setRow(1);
    grid.setRowSel(2);
    dialogs.folders = {QString()};
    cmd.saveSelected();
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.folders = {tmp.path()};
    dialogs.answers = {Answer::No};
    cmd.saveSelected();
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QStringLiteral("vCal_0001.vcs"))));

    const QString blocker = makeFile(QStringLiteral("blocker"), {"x"});
    dialogs.folders = {blocker};
    dialogs.answers = {Answer::Yes};
    const size_t before = dialogs.messages.size();
    cmd.saveSelected();
    // One report, then the command ends.
    ASSERT_EQ(dialogs.messages.size(), before + 2);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_TRUE(dialogs.last().text.startsWith(QStringLiteral("データ書き込み中にエラーが発生しました。")));
}

TEST_F(FileCommandsTest, CommandLine)
{
    const QString path = makeFile(QStringLiteral("cl.VCS"), {"起動"});
    cmd.openCommandLine(commandLineFromArguments({QLatin1Char('"') + path + QLatin1Char('"')}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(summaries(s.ScheduleList), QStringList({"起動"}));

    SessionState other;
    ListGrid otherGrid;
    ScriptedDialogs otherDialogs;
    ListHistory otherHistory(other, otherGrid, hooks);
    FileCommands otherCmd(other, otherGrid, otherDialogs, hooks, defaults, otherHistory);
    otherCmd.openCommandLine(tmp.filePath(QStringLiteral("x.txt")));
    ASSERT_EQ(otherDialogs.messages.size(), 1u);
    EXPECT_EQ(otherDialogs.last().text, QStringLiteral("vCalendarファイルではありません．．．　　"));
    EXPECT_EQ(otherDialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(otherDialogs.last().icon, MessageIcon::Critical);

    otherCmd.openCommandLine(QString());
    EXPECT_EQ(otherDialogs.messages.size(), 1u);
}

// Save in place writes the file the list was read from or saved to, with no
// dialog and as save as writes it (the same bytes, messages and marks);
// without such a file it is save as. Every file read or written heads the
// recent files.
TEST_F(FileCommandsTest, SaveInPlaceWritesTheListsFileOrAsksForOne)
{
    const QString saveDialog = QStringLiteral("save:名前を付けて保存|vCalendar形式 (*.vcs)");
    const struct {
        const char *name;
        const char *opened;  // read to replace the list first; null for none
        bool close;          // the list closed after that
        bool asksForAName;
    } cases[] = {
        {"after opening a .vcs file", "a.vcs", false, false},
        {"with no file yet", nullptr, false, true},
        {"after opening an .ics file", "a.ics", false, true},
        {"after closing", "a.vcs", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ListGrid g;
        SessionState st;
        createHexCoder(st);
        ScriptedDialogs d;
        RecordingHooks h;
        ListHistory history(st, g, h);
        FileCommands files(st, g, d, h, defaults, history);
        QString opened;
        if (c.opened) {
            opened = tmp.filePath(QLatin1String(c.opened));
            if (isIcsPath(opened)) {
                QFile ics(opened);
                ASSERT_TRUE(ics.open(QIODevice::WriteOnly));
                ics.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//EN\r\nBEGIN:VEVENT\r\nUID:1@t\r\n"
                          "DTSTAMP:20050301T000000Z\r\nDTSTART:20050310T010000Z\r\nSUMMARY:古\r\n"
                          "END:VEVENT\r\nEND:VCALENDAR\r\n");
            } else {
                makeFile(QLatin1String(c.opened), {"古"});
            }
            st.OpenMode = QStringLiteral("new");
            ASSERT_TRUE(files.openChosenFile(opened));
        }
        if (c.close)
            files.closeList();
        fill(st, g, 2);
        st.markDirty();

        const QString named = tmp.filePath(QStringLiteral("named.vcs"));
        QFile::remove(named);
        d.saveFiles = {named};
        EXPECT_TRUE(files.save());
        EXPECT_EQ(d.fileDialogs, c.asksForAName ? QStringList{saveDialog} : QStringList());
        const QString written = c.asksForAName ? named : opened;
        EXPECT_EQ(readBack(written), QStringList({"1", "2"}));
        EXPECT_FALSE(st.isDirty());
        EXPECT_EQ(st.SaveDone, QStringLiteral("1"));
        EXPECT_EQ(files.saveTarget(), written);
        EXPECT_EQ(h.filesUsed.last(), written);
        EXPECT_TRUE(d.messages.empty());
        if (c.opened && !c.asksForAName)
            EXPECT_EQ(readBack(opened), QStringList({"1", "2"}));

        // The next save goes to the same file, with no dialog, the same bytes
        // as save as writes.
        st.ScheduleList.at(0, SummaryValue) = QStringLiteral("一");
        st.markDirty();
        d.fileDialogs.clear();
        EXPECT_TRUE(files.save());
        EXPECT_TRUE(d.fileDialogs.isEmpty());
        const QString copy = tmp.filePath(QStringLiteral("copy.vcs"));
        QFile::remove(copy);
        d.saveFiles = {copy};
        EXPECT_TRUE(files.saveAs());
        QFile a(written), b(copy);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll());
    }
}

// What save as says, save in place says: a character with no Shift_JIS form
// is written as "?" with the warning, and a file that cannot be written is
// reported with the list left unsaved.
TEST_F(FileCommandsTest, SaveInPlaceWarnsAndFailsAsSaveAsDoes)
{
    const QString path = makeFile(QStringLiteral("minus.vcs"), {"古"});
    s.OpenMode = QStringLiteral("new");
    ASSERT_TRUE(cmd.openChosenFile(path));
    s.ScheduleList.at(0, SummaryValue) = QStringLiteral("한5度");
    s.markDirty();
    EXPECT_TRUE(cmd.save());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const AskedMessage warning = dialogs.last();
    EXPECT_EQ(warning.title, QStringLiteral("警告"));
    EXPECT_EQ(readBack(path), QStringList({"?5度"}));
    const QString other = tmp.filePath(QStringLiteral("other.vcs"));
    dialogs.saveFiles = {other};
    EXPECT_TRUE(cmd.saveAs());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.last().text, warning.text);

    // The file became a folder: nothing can replace it.
    ASSERT_TRUE(QFile::remove(other));
    ASSERT_TRUE(QDir().mkdir(other));
    s.markDirty();
    EXPECT_FALSE(cmd.save());
    const AskedMessage failure = dialogs.last();
    EXPECT_EQ(failure.title, QStringLiteral("エラー"));
    EXPECT_TRUE(s.isDirty());
    EXPECT_EQ(s.ScheduleList.count(), 1);
    dialogs.saveFiles = {other};
    dialogs.answers = {Answer::Yes};  // it exists: overwrite?
    EXPECT_FALSE(cmd.saveAs());
    EXPECT_EQ(dialogs.last().text, failure.text);
}
