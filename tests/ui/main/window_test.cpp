// The real main window, offscreen: header, count panel, the hand-off on a
// double-click, keys, header clicks, actions and the save question at close.
#include "frmmain.h"
#include "gridrender.h"
#include "gridview.h"
#include "qtdialogs.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"
#include "test_entries.h"
#include "vcsio.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class MainWindowTest : public WindowFixture {
protected:
    QString panel1() const { return w->findChild<QLabel *>(QStringLiteral("Panel1"))->text(); }
    QAction *action(const char *name) const
    {
        auto *a = w->findChild<QAction *>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
};

} // namespace

TEST_F(MainWindowTest, LoadsWithHeaderTitleAndPanels)
{
    EXPECT_EQ(w->windowTitle(), windowTitleText());
    EXPECT_TRUE(w->windowTitle().startsWith(QStringLiteral("Skedra Ver.")));
    GridView *v = w->gridView();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->objectName(), QStringLiteral("MSFlexGrid1"));
    const QStringList expected = {"", "種別", "件名", "開始日時", "終了日時", "内容",
                                  "ｱﾗｰﾑ", "ｼｰｸﾚｯﾄ", "ｶﾃｺﾞﾘ", "優先度", "状態"};
    for (int c = 0; c < GridColumns; ++c)
        EXPECT_EQ(v->model()->headerData(c, Qt::Horizontal).toString(), expected[c]) << c;
    EXPECT_EQ(v->model()->rowCount(), 1);  // the blank row
    EXPECT_EQ(panel1(), QString());
    EXPECT_EQ(w->findChild<QLabel *>(QStringLiteral("Panel2"))->text(), QStringLiteral("機種：J-SH53"));
    // Default widths in twips, shown at 15 twips a pixel.
    EXPECT_EQ(v->columnWidth(2), 2050 / 15 + 1);
    EXPECT_EQ(w->columnWidths()[0], 300);

    load(3);
    EXPECT_EQ(panel1(), QStringLiteral("全 3 件"));
    EXPECT_EQ(v->model()->rowCount(), 3);
    EXPECT_EQ(v->model()->data(v->model()->index(0, 1)).toString(), QStringLiteral("ｲﾍﾞﾝﾄ"));
}

TEST_F(MainWindowTest, DoubleClickPreparesTheHandOff)
{
    load(3);
    w->show();
    w->showModal = [](QDialog &) {};  // the hand-off is what counts here
    GridView *v = w->gridView();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    EXPECT_EQ(w->grid().row(), 2);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    EXPECT_EQ(w->state().EditIndex, 2);
    EXPECT_EQ(w->state().EditMode, QStringLiteral("edit"));
    EXPECT_EQ(w->state().WorkEntry[SummaryValue], QStringLiteral("2"));
    EXPECT_EQ(w->state().WorkEntry[CmbltNoValue], QStringLiteral("ON1;0;3"));

    int opened = 0;
    w->listCommands().editorHook = [&](SessionState &) { ++opened; };
    action("tbrEdit")->trigger();
    action("mnuEditLine")->trigger();
    EXPECT_EQ(opened, 2);
}

TEST_F(MainWindowTest, MouseSelectionDrivesTheBand)
{
    load(6);
    w->show();
    GridView *v = w->gridView();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(5, 3));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(3, 3));
    EXPECT_EQ(w->grid().row(), 3);
    EXPECT_EQ(w->grid().rowSel(), 5);

    // A right click keeps a band of several rows...
    QTest::mousePress(v->viewport(), Qt::RightButton, {}, cellCentre(1, 3));
    QTest::mouseRelease(v->viewport(), Qt::RightButton, {}, cellCentre(1, 3));
    EXPECT_EQ(w->grid().bandFirst(), 3);
    EXPECT_EQ(w->grid().bandLast(), 5);
    // ...and moves a single selected row.
    w->findChild<QMenu *>(QStringLiteral("pmnuEdit"))->hide();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(2, 3));
    QTest::mousePress(v->viewport(), Qt::RightButton, {}, cellCentre(4, 3));
    EXPECT_EQ(w->grid().row(), 4);
    EXPECT_TRUE(w->grid().singleRowSelected());
    QTest::mouseRelease(v->viewport(), Qt::RightButton, {}, cellCentre(4, 3));
    w->findChild<QMenu *>(QStringLiteral("pmnuEdit"))->hide();

    // Select all and the view follows.
    action("mnuAllSel")->trigger();
    EXPECT_EQ(v->selectionModel()->selectedRows().size(), 6);
}

TEST_F(MainWindowTest, DeleteKeyAndPopupItemsRunTheCommands)
{
    load(4);
    w->show();
    GridView *v = w->gridView();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    dialogs.answers = {Answer::Yes};
    QTest::keyClick(v, Qt::Key_Delete);
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"1", "3", "4"}));
    EXPECT_EQ(v->model()->rowCount(), 3);
    EXPECT_EQ(panel1(), QStringLiteral("全 3 件"));

    action("pmnuDown")->trigger();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"1", "4", "3"}));
    EXPECT_EQ(v->selectionModel()->currentIndex().row(), 2);
    action("tbrUp")->trigger();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"1", "3", "4"}));
}

TEST_F(MainWindowTest, HeaderClickSorts)
{
    load(3);
    w->show();
    QHeaderView *h = w->gridView()->horizontalHeader();
    const int x = h->sectionViewportPosition(3) + h->sectionSize(3) / 2;
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList({"3", "2", "1"}));
    EXPECT_EQ(w->gridView()->model()->headerData(3, Qt::Horizontal).toString(),
              QStringLiteral("▼ 開始日時"));
    EXPECT_TRUE(w->state().isDirty());
}

TEST_F(MainWindowTest, ActionsCarryTheirCaptionsAndTips)
{
    const std::pair<const char *, const char *> captions[] = {
        {"mnuOpen_0", "新規(&N)"}, {"mnuOpen_1", "追加(&A)"}, {"mnuClose", "閉じる(&C)"},
        {"mnuStore", "名前を付けて保存(&S)"}, {"mnuQuit", "終了(&X)"},
        {"mnuAllSel", "すべて選択"}, {"mnuEditLine", "編集(&E)"}, {"mnuDEl", "削除(&D)"},
        {"mnuSave", "選択行を保存(&S)"}, {"mnuDown", "下へ移動(&X)"}, {"mnuUp", "上へ移動(&Y)"},
        {"mnuOldDel", "過去予定を全削除(&O)"}, {"mnuHelp2", "ﾍﾙﾌﾟ(&C)"},
        {"mnuVer", "ﾊﾞｰｼﾞｮﾝ情報(&V)"}, {"pmnuCancel", "ｷｬﾝｾﾙ"}, {"pmnuDEl", "削除(&D)"},
        {"pmnuSave", "選択行を保存(&S)"}, {"pmnuUp", "上へ移動(&Y)"},
        {"tbrOpenN", "新規(&N)"}, {"tbrOpenA", "追加(&A)"},
    };
    for (const auto &[name, caption] : captions) {
        if (QAction *a = action(name))
            EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << name;
    }
    const std::tuple<const char *, const char *, const char *> buttons[] = {
        {"tbrOpen", "開く", "vCalendarファイルを開きます"},
        {"tbrSave", "保存", "現在のデータをvCalendarファイルに保存します"},
        {"tbrEdit", "編集", "現在のデータを編集します"},
        {"tbrDel", "削除", "現在のデータを削除します"},
        {"tbrDown", "下へ", "現在の選択行を下へ移動します"},
        {"tbrUp", "上へ", "現在の選択行を上へ移動します"},
        {"tbrFont", "ﾌｫﾝﾄ", "フォントの設定を行います"},
    };
    for (const auto &[name, caption, tip] : buttons) {
        if (QAction *a = action(name)) {
            EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << name;
            EXPECT_EQ(a->toolTip(), QString::fromUtf8(tip)) << name;
        }
    }
    EXPECT_EQ(w->findChild<QMenu *>(QStringLiteral("mnuFile"))->title(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(w->findChild<QMenu *>(QStringLiteral("mnuOpenM"))->title(), QStringLiteral("開く(&O)"));
    EXPECT_EQ(w->findChild<QMenu *>(QStringLiteral("mnuEdit"))->title(), QStringLiteral("編集(&E)"));
}

TEST_F(MainWindowTest, FontChangeReappliesTheLayoutAndSaves)
{
    load(2);
    w->gridView()->setColumnWidth(2, 40);  // dragged by the user
    w->grid().setText(0, 2, QStringLiteral("▲ 件名"));
    dialogs.fonts = {std::nullopt};
    action("tbrFont")->trigger();
    EXPECT_EQ(w->gridView()->columnWidth(2), 40);  // cancelled: nothing changes

    FontChoice f{QStringLiteral("IPAGothic"), 14.0, true, false};
    dialogs.fonts = {f};
    action("tbrFont")->trigger();
    EXPECT_EQ(w->gridFont().size, 14.0);
    EXPECT_TRUE(w->gridFont().bold);
    EXPECT_EQ(w->gridView()->columnWidth(2), 2050 / 15 + 1);  // widths read at start
    EXPECT_EQ(w->grid().text(0, 2), QStringLiteral("件名"));
    QSettings st(QStringLiteral("Skedra"), QStringLiteral("Skedra"));
    EXPECT_EQ(st.value(QStringLiteral("Settings/FontName")).toString(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(st.value(QStringLiteral("Settings/FontSize")).toString(), QStringLiteral("14"));
    EXPECT_EQ(st.value(QStringLiteral("Settings/FontBold")).toString(), QStringLiteral("true"));
    EXPECT_EQ(st.value(QStringLiteral("Settings/FontItalic")).toString(), QStringLiteral("false"));

    // The next start takes the stored font.
    frmMain again(nullptr, &dialogs);
    EXPECT_EQ(again.gridFont().size, 14.0);
    EXPECT_TRUE(again.gridFont().bold);
}

TEST_F(MainWindowTest, NeverSmallerThanTheMinimum)
{
    w->show();
    w->resize(100, 50);
    EXPECT_GE(w->width(), 7700 / 15);
    EXPECT_GE(w->height(), 3000 / 15);
}

TEST_F(MainWindowTest, ClosingAsksToSaveChanges)
{
    load(2);
    w->show();
    w->state().markDirty();
    dialogs.answers = {Answer::Cancel};
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(dialogs.last().text, QStringLiteral("現在のデータを保存しますか？　　　"));
    dialogs.answers = {Answer::No};
    action("mnuQuit")->trigger();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheProgram)
{
    QUrl opened;
    w->urlOpener = [&](const QUrl &url) {
        opened = url;
        return true;
    };
    action("mnuHelp2")->trigger();
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/Skedra.html");
    if (QFileInfo::exists(expected)) {
        EXPECT_EQ(opened, QUrl::fromLocalFile(expected));
    } else {
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    }
}

namespace {

// A file whose first calendar object has no start.
QString writeFileWithoutFirstStart(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("nostart.vcs"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:first\r\nSTATUS:COMPLETED\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"
            "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20050301T030000Z\r\nSUMMARY:second\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n");
    return path;
}

} // namespace

// An entry without a start value is still an entry: shown, deleted and
// saved like any other.
TEST_F(MainWindowTest, AFirstEntryWithoutAStartIsShownDeletedAndSaved)
{
    QTemporaryDir dir;
    dialogs.openFiles = {writeFileWithoutFirstStart(dir)};
    action("mnuOpen_0")->trigger();
    GridView *v = w->gridView();
    ASSERT_EQ(v->model()->rowCount(), 2);
    EXPECT_EQ(v->model()->data(v->model()->index(0, 1)).toString(), QStringLiteral("ｱｸｼｮﾝ"));
    EXPECT_EQ(v->model()->data(v->model()->index(0, 2)).toString(), QStringLiteral("first"));
    EXPECT_EQ(panel1(), QStringLiteral("全 2 件"));

    dialogs.folders = {QString()};
    action("mnuSave")->trigger();
    EXPECT_EQ(dialogs.fileDialogs.last(), QStringLiteral("folder:フォルダを選択してください"));

    dialogs.answers = {Answer::Yes};
    action("mnuOldDel")->trigger();
    EXPECT_EQ(summaries(w->state().ScheduleList), QStringList{"second"});

    w->show();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    dialogs.answers = {Answer::Yes};
    QTest::keyClick(v, Qt::Key_Delete);
    EXPECT_TRUE(w->state().ScheduleList.isEmpty());
}

// Every Delete key deletes: the main block's and the keypad's, with or
// without Shift.
TEST_F(MainWindowTest, AnyDeleteKeyDeletes)
{
    const Qt::KeyboardModifiers keys[] = {Qt::NoModifier, Qt::KeypadModifier, Qt::ShiftModifier,
                                          Qt::KeypadModifier | Qt::ShiftModifier};
    w->show();
    for (const Qt::KeyboardModifiers modifiers : keys) {
        load(2);
        QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
        dialogs.answers = {Answer::Yes};
        QTest::keyClick(w->gridView(), Qt::Key_Delete, modifiers);
        EXPECT_EQ(summaries(w->state().ScheduleList), QStringList{"2"}) << int(modifiers);
    }
}

// A key that two items of one menu share moves the highlight between them
// without opening or running anything; Enter then acts.
TEST_F(MainWindowTest, SharedAccessKeysOnlyMoveTheHighlight)
{
    action("mnu603SH")->trigger();
    load(3);
    w->show();
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    auto *edit = w->findChild<QMenu *>(QStringLiteral("mnuEdit"));
    auto *stamps = w->findChild<QMenu *>(QStringLiteral("mnuCate2"));
    auto *eco = w->findChild<QMenu *>(QStringLiteral("mnuEco"));
    ASSERT_TRUE(edit && stamps && eco);

    edit->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    QTest::keyClick(edit, Qt::Key_Z);
    EXPECT_EQ(edit->activeAction(), stamps->menuAction());
    EXPECT_FALSE(stamps->isVisible());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(edit->activeAction(), eco->menuAction());
    EXPECT_FALSE(eco->isVisible());
    QTest::keyClick(edit, Qt::Key_Z);
    EXPECT_EQ(edit->activeAction(), stamps->menuAction());
    // D is the Edit menu's own key (削除), not a stamp's.
    QTest::keyClick(edit, Qt::Key_D);
    EXPECT_TRUE(w->state().ScheduleList.at(0, ShCategoriesValue).isEmpty());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.last().text, QStringLiteral("削除してよろしいですか？　　　"));

    edit->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    QTest::keyClick(edit, Qt::Key_Z);
    QTest::keyClick(edit, Qt::Key_Z);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(eco->isVisible());
    eco->hide();
    edit->hide();
}

// The grid font of the settings, on the data rows and the header alike.
TEST_F(MainWindowTest, StoredFontIsTheHeaderFontToo)
{
    {
        QSettings st(QStringLiteral("Skedra"), QStringLiteral("Skedra"));
        st.setValue(QStringLiteral("Settings/FontName"), QStringLiteral("IPAGothic"));
        st.setValue(QStringLiteral("Settings/FontSize"), QStringLiteral("15"));
        st.setValue(QStringLiteral("Settings/FontBold"), QStringLiteral("true"));
    }
    frmMain again(nullptr, &dialogs);
    const QFont header = again.gridView()->horizontalHeader()->font();
    EXPECT_EQ(header.family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(header.pointSizeF(), 15.0);
    EXPECT_TRUE(header.bold());
}

// After a larger font, moving down keeps the moved row in view.
TEST_F(MainWindowTest, MoveDownAfterAFontChangeStaysInView)
{
    load(60);
    w->resize(1000, 500);
    w->show();
    QCoreApplication::processEvents();
    dialogs.fonts = {FontChoice{QStringLiteral("IPAGothic"), 28.0, false, false}};
    action("tbrFont")->trigger();
    QCoreApplication::processEvents();
    GridView *v = w->gridView();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    for (int step = 1; step <= 20; ++step) {
        action("mnuDown")->trigger();
        QCoreApplication::processEvents();
        const QRect cell = v->visualRect(v->model()->index(w->grid().row() - 1, 2));
        ASSERT_LE(cell.bottom(), v->viewport()->height()) << "step " << step;
        ASSERT_GE(cell.top(), 0) << "step " << step;
    }
}

// The file and folder dialogs start in the folder of the open file.
TEST_F(MainWindowTest, FileDialogsStartBesideTheOpenFile)
{
    QTemporaryDir dir;
    dialogs.openFiles = {writeFileWithoutFirstStart(dir), QString()};
    action("mnuOpen_0")->trigger();
    action("mnuOpen_1")->trigger();
    dialogs.saveFiles = {QString()};
    action("mnuStore")->trigger();
    dialogs.folders = {QString()};
    action("mnuSave")->trigger();
    EXPECT_EQ(dialogs.startFolders, QStringList({QString(), dir.path(), dir.path(), dir.path()}));
}

// The real font dialog starts on the grid's font, with Japanese sample text.
TEST_F(MainWindowTest, FontDialogStartsOnTheGridFont)
{
    frmMain real;
    QString family, sample;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        family = dialog->currentFont().family();
        for (auto *edit : dialog->findChildren<QLineEdit *>())
            if (edit->text().contains(QStringLiteral("予定")))
                sample = edit->text();
        dialog->reject();
    });
    real.findChild<QAction *>(QStringLiteral("tbrFont"))->trigger();
    EXPECT_EQ(family, QFontInfo(real.gridView()->font()).family());
    EXPECT_FALSE(sample.isEmpty());
}

// The real open dialog lists the handset's upper-case names whatever their
// case on disk, and only what the filter names.
TEST_F(MainWindowTest, OpenDialogMatchesHandsetNamesInAnyCase)
{
    QTemporaryDir dir;
    for (const char *name : {"a.mmf.HUF", "b.mmf.huf", "c.SMD", "d.txt"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QtDialogs real(w.get());
    real.fileFolder = dir.path();
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        (void)QTest::qWaitFor([&] { return view && view->model()->rowCount(view->rootIndex()) >= 3; }, 3000);
        for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
            listed.append(view->model()->index(r, 0, view->rootIndex()).data().toString());
        dialog->reject();
    });
    EXPECT_EQ(real.openFile(QStringLiteral("ファイルを開く"),
                            QStringLiteral("ﾐｭｰｼﾞｯｸ (*.mmf *.smd *.mmf.HUF *.smd.HUF)")),
              QString());
    listed.sort();
    EXPECT_EQ(listed, QStringList({"a.mmf.HUF", "b.mmf.huf", "c.SMD"}));
}
