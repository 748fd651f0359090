// The iCalendar items of the File menu, once through the real window: the
// selected rows go out to an .ics file (the suffix added to the name typed,
// a message saying what went out) and come back appended; then the file is
// opened by File, Open like a .vcs file, and its first save asks for a name.
#include "notice_counter.h"
#include "window_fixture.h"

#include "icalendar.h"
#include "startup.h"
#include "vcsio.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

using namespace skedra;
using namespace skedra::test;

namespace {

class IcsWindowTest : public WindowFixture {};

TEST_F(IcsWindowTest, SelectedRowsGoOutComeBackAndOpenLikeAVcsFile)
{
    // The two items close the File menu's commands, before quitting.
    QStringList fileMenu;
    for (QAction *a : w->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions())
        fileMenu.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(fileMenu, QStringList({"開く(&O)", "閉じる(&C)", "上書き保存(&W)", "名前を付けて保存(&S)", "-",
                                     "iCalendar形式で書き出し(&I)...", "iCalendar形式を読み込み(&R)...", "-",
                                     "印刷(&P)...", "PDFに書き出し(&D)...", "-", "最近使ったファイル(&F)", "-",
                                     "終了(&X)"}));

    load(3);
    w->state().Dirty = QStringLiteral("0");
    w->grid().setRow(2);
    w->grid().setRowSel(3);
    QTemporaryDir dir;
    dialogs.saveFiles = {dir.filePath(QStringLiteral("out"))};
    w->findChild<QAction *>(QStringLiteral("mnuExportIcs"))->trigger();
    const QString path = dir.filePath(QStringLiteral("out.ics"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ics = file.readAll();
    EXPECT_EQ(ics.count("BEGIN:VEVENT"), 2);
    EXPECT_TRUE(ics.contains("SUMMARY:2") && ics.contains("SUMMARY:3"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, "iCalendar形式で書き出し");
    EXPECT_EQ(dialogs.last().text, "選択した行の予定2件（全3件のうち）を書き出しました。　　");

    dialogs.messages.clear();
    dialogs.openFiles = {path};
    w->findChild<QAction *>(QStringLiteral("mnuImportIcs"))->trigger();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text.toStdString();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"1", "2", "3", "2", "3"}));
    EXPECT_EQ(w->state().ScheduleList[3], w->state().ScheduleList[1]);
    EXPECT_EQ(column(w->grid(), 2), QStringList({"1", "2", "3", "2", "3"}));
    EXPECT_TRUE(w->state().isDirty());

    // File, Open, New with the .ics file: the save question, then the list
    // is the file's, with nothing to save it in yet.
    dialogs.answers = {Answer::No};
    dialogs.openFiles = {path};
    w->findChild<QAction *>(QStringLiteral("mnuOpen_0"))->trigger();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"2", "3"}));
    EXPECT_EQ(column(w->grid(), 2), QStringList({"2", "3"}));
    EXPECT_FALSE(w->state().isDirty());
    const QString saved = dir.filePath(QStringLiteral("saved.vcs"));
    dialogs.saveFiles = {path, saved};
    w->findChild<QAction *>(QStringLiteral("mnuStore"))->trigger();
    EXPECT_EQ(dialogs.fileDialogs,
              QStringList({"save:iCalendar形式で書き出し|iCalendar (*.ics)", "open:iCalendar形式を読み込み|iCalendar (*.ics)",
                           "open:ファイルを開く|vCalendar (*.vcs);;iCalendar (*.ics)",
                           "save:名前を付けて保存|vCalendar形式 (*.vcs)", "save:名前を付けて保存|vCalendar形式 (*.vcs)"}));
    EXPECT_TRUE(QFile::exists(saved));
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), ics);
}

// The window's export of a file and the command line's give the same UIDs,
// though the window's list holds sort keys the file does not.
TEST_F(IcsWindowTest, UidsAreTheCommandLinesUids)
{
    const QString sample = QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs");
    w->state().OpenMode = QStringLiteral("new");
    ASSERT_TRUE(w->fileCommands().openChosenFile(sample));
    ASSERT_FALSE(w->state().ScheduleList.at(0, CategoryCode).isEmpty());  // the list's own sort key
    w->grid().setRow(1);
    w->grid().setRowSel(1);
    QTemporaryDir dir;
    dialogs.saveFiles = {dir.filePath(QStringLiteral("all.ics"))};
    w->findChild<QAction *>(QStringLiteral("mnuExportIcs"))->trigger();
    QFile file(dir.filePath(QStringLiteral("all.ics")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));

    SessionState tool;  // as skedra-vcs to-ics reads the file
    createHexCoder(tool);
    tool.OpenFileName = sample;
    tool.OpenMode = QStringLiteral("new");
    ASSERT_TRUE(proc_open(tool).read);
    const auto uids = [](const QByteArray &ics) {
        QList<QByteArray> out;
        for (const QByteArray &line : ics.split('\n')) {
            if (line.startsWith("UID:"))
                out.append(line.trimmed());
        }
        return out;
    };
    const QList<QByteArray> fromWindow = uids(file.readAll());
    EXPECT_EQ(fromWindow.size(), tool.ScheduleList.count());
    EXPECT_EQ(fromWindow, uids(ics::exportEntries(tool.ScheduleList, *tool.HexCoder, 1, MaxEntries).bytes));
}

// A hostile file (components nested 400 000 deep, which libical cannot free
// without overflowing the stack) is refused with one message and changes
// nothing; while the import works the loading notice is up.
TEST_F(IcsWindowTest, HostileFileRefusedWithOneMessage)
{
    load(3);
    w->state().Dirty = QStringLiteral("0");
    const ScheduleList before = w->state().ScheduleList;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deep.ics"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + QByteArray("BEGIN:X-A\r\n").repeated(400000)
               + QByteArray("END:X-A\r\n").repeated(400000) + "END:VCALENDAR\r\n");
    file.close();
    NoticeCounter notices;
    dialogs.openFiles = {path};
    w->findChild<QAction *>(QStringLiteral("mnuImportIcs"))->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs.last().text,
              path + QStringLiteral("は途中で切れているか壊れているため、iCalendarとして読み込めませんでした。　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    EXPECT_EQ(w->state().ScheduleList, before);
    EXPECT_FALSE(w->state().isDirty());
    EXPECT_EQ(notices.shown, 1);
}

} // namespace
