// The desktop editor's ways through the real main window, by keyboard:
// undo, redo and save in place with their keys, the file and its unsaved
// mark in the title, the recent files, and the menu items of the commands
// that had none.
#include "frmcalendar.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace skedra;
using namespace skedra::test;

namespace {

class DesktopWindowTest : public WindowFixture {
protected:
    QString file(const QString &name, const QStringList &summaries) { return writeVcs(tmp.filePath(name), summaries); }
    QStringList onDisk(const QString &path) { return readVcs(path); }
    QAction *action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }
    void keys(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(w->gridView(), Qt::Key(key), modifiers);
    }
    void showActive()
    {
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    QTemporaryDir tmp;
};

} // namespace

TEST_F(DesktopWindowTest, UndoRedoAndSaveByTheirKeys)
{
    const QString path = file(QStringLiteral("sample.vcs"), {"一", "二", "三"});
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Skedra Ver.1.00"));
    w->openCommandLine(path);
    showActive();  // again, after the loading notice
    EXPECT_EQ(w->windowTitle(), QStringLiteral("sample.vcs[*] - Skedra Ver.1.00"));
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_FALSE(action("mnuUndo")->isEnabled());
    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("元に戻す(&U)"));

    // Row 2 deleted with the Delete key.
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    dialogs.answers = {Answer::Yes};
    keys(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"一", "三"}));
    EXPECT_TRUE(w->isWindowModified());
    EXPECT_TRUE(action("mnuUndo")->isEnabled());
    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("元に戻す(&U): 削除"));
    EXPECT_FALSE(action("mnuRedo")->isEnabled());

    keys(Qt::Key_Z);
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"一", "二", "三"}));
    EXPECT_EQ(column(w->grid(), 2), QStringList({"一", "二", "三"}));
    EXPECT_EQ(w->grid().row(), 2);
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_EQ(action("mnuRedo")->text(), QStringLiteral("やり直し(&R): 削除"));
    EXPECT_FALSE(action("mnuUndo")->isEnabled());

    keys(Qt::Key_Y);
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"一", "三"}));
    EXPECT_TRUE(w->isWindowModified());
    keys(Qt::Key_Z);
    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"一", "三"}));

    // Saved in place: no dialog, the file holds the list, the mark goes; the
    // step stays and undoing it changes the list against its file again.
    const int messages = int(dialogs.messages.size());
    keys(Qt::Key_S);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
    EXPECT_EQ(int(dialogs.messages.size()), messages);
    EXPECT_EQ(onDisk(path), QStringList({"一", "三"}));
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("sample.vcs[*] - Skedra Ver.1.00"));
    keys(Qt::Key_Z);
    EXPECT_TRUE(w->isWindowModified());
    EXPECT_TRUE(w->state().isDirty());

    // The editor's title on its two roads.
    QStringList titles;
    w->showModal = [&](QDialog &d) { titles.append(d.windowTitle()); };
    action("mnuEditLine")->trigger();
    action("mnuAdd")->trigger();
    EXPECT_EQ(titles, QStringList({"予定の編集", "予定の追加"}));
}

TEST_F(DesktopWindowTest, RecentFilesFindAndCalendarFromTheMenus)
{
    const QString a = file(QStringLiteral("a.vcs"), {"甲"});
    const QString b = file(QStringLiteral("b.vcs"), {"乙"});
    showActive();
    w->openCommandLine(a);
    w->openCommandLine(b);
    auto *recent = w->findChild<QMenu *>(QStringLiteral("mnuRecent"));
    ASSERT_NE(recent, nullptr);
    QStringList shown;
    for (QAction *item : recent->actions()) {
        if (item->isVisible())
            shown.append(item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(shown, QStringList({"&1 " + QDir::toNativeSeparators(b), "&2 " + QDir::toNativeSeparators(a), "-",
                                  "クリア(&L)"}));

    // The second is chosen: it replaces the list, and heads the list.
    action("mnuRecentFile_1")->trigger();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"甲"}));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("a.vcs[*] - Skedra Ver.1.00"));
    EXPECT_EQ(w->recentFiles(), QStringList({a, b}));

    // A file that went away is dropped when chosen, with the message for a
    // file that cannot be opened; the list stays as it was.
    ASSERT_TRUE(QFile::remove(b));
    action("mnuRecentFile_1")->trigger();
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs.last().text, b + QStringLiteral("を開けませんでした。　　　\n確認してもう一度やり直してください。　　"));
    EXPECT_EQ(w->recentFiles(), QStringList({a}));
    EXPECT_FALSE(action("mnuRecentFile_1")->isVisible());
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"甲"}));

    // The list is kept for the next start, and cleared.
    w.reset();
    w = std::make_unique<frmMain>(nullptr, &dialogs);
    EXPECT_EQ(w->recentFiles(), QStringList({a}));
    action("mnuRecentClear")->trigger();
    EXPECT_TRUE(w->recentFiles().isEmpty());
    EXPECT_FALSE(w->findChild<QMenu *>(QStringLiteral("mnuRecent"))->menuAction()->isEnabled());

    // Find by its key, on the summary column; the calendar by its key.
    showActive();
    int finds = 0;
    w->findHook = [&] { ++finds; };
    w->FindColumn = 0;
    keys(Qt::Key_F);
    EXPECT_EQ(finds, 1);
    EXPECT_EQ(w->FindColumn, 2);
    action("mnuFind_4")->trigger();
    EXPECT_EQ(w->FindColumn, 4);
    keys(Qt::Key_K);
    ASSERT_NE(w->calendarWindow(), nullptr);
    EXPECT_TRUE(w->calendarWindow()->isVisible());
    w->calendarWindow()->close();
}
