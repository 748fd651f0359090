// The iCalendar items of the File menu, once through the real window: the
// selected rows go out to an .ics file and come back appended.
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
    EXPECT_EQ(fileMenu, QStringList({"開く(&O)", "閉じる(&C)", "名前を付けて保存(&S)", "-",
                                     "iCalendar形式で書き出し(&I)...", "iCalendar形式を読み込み(&R)...", "-",
                                     "終了(&X)"}));

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

} // namespace
