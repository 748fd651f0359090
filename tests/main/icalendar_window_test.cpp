// The iCalendar items of the File menu, once through the real window: the
// selected rows go out to an .ics file and come back appended.
#include "notice_counter.h"
#include "window_fixture.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

using namespace skedra;
using namespace skedra::test;

namespace {

class IcsWindowTest : public WindowFixture {};

TEST_F(IcsWindowTest, SelectedRowsGoOutAndComeBackAppended)
{
    // The two items close the File menu's commands, before quitting.
    QStringList fileMenu;
    for (QAction *a : w->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions())
        fileMenu.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(fileMenu, QStringList({"開く(&O)", "閉じる(&C)", "上書き保存(&W)", "名前を付けて保存(&S)", "-",
                                     "iCalendar形式で書き出し(&I)...", "iCalendar形式を読み込み(&R)...", "-",
                                     "最近使ったファイル(&F)", "-", "終了(&X)"}));

    load(3);
    w->state().Dirty = QStringLiteral("0");
    w->grid().setRow(2);
    w->grid().setRowSel(3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.ics"));
    dialogs.saveFiles = {path};
    w->findChild<QAction *>(QStringLiteral("mnuExportIcs"))->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ics = file.readAll();
    EXPECT_EQ(ics.count("BEGIN:VEVENT"), 2);
    EXPECT_TRUE(ics.contains("SUMMARY:2") && ics.contains("SUMMARY:3"));

    dialogs.openFiles = {path};
    w->findChild<QAction *>(QStringLiteral("mnuImportIcs"))->trigger();
    EXPECT_EQ(dialogs.fileDialogs, QStringList({"save:iCalendar形式で書き出し|iCalendar (*.ics)",
                                                "open:iCalendar形式を読み込み|iCalendar (*.ics)"}));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text.toStdString();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"1", "2", "3", "2", "3"}));
    EXPECT_EQ(w->state().ScheduleList[3], w->state().ScheduleList[1]);
    EXPECT_EQ(column(w->grid(), 2), QStringList({"1", "2", "3", "2", "3"}));
    EXPECT_TRUE(w->state().isDirty());
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
