// The real main window with its settings in a folder of their own: start-up
// and closing settings, the model menu, the model-dependent menus and
// pop-ups, the header pop-up, and the attribute and defaults commands
// reached through the window's own actions.
#include "frmmain.h"
#include "gridview.h"
#include "menutable.h"
#include "scripted_dialogs.h"
#include "tempsettings.h"
#include "test_entries.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class WiringTest : public TempSettingsTest {
protected:
    void TearDown() override
    {
        if (w)
            w->state().Dirty = QStringLiteral("0");
        w.reset();
    }

    static void store(const QString &key, const QString &value)
    {
        QSettings s(QStringLiteral("Skedra"), QStringLiteral("Skedra"));
        s.setValue(key, value);
        s.sync();
    }
    static QString stored(const QString &key)
    {
        return QSettings(QStringLiteral("Skedra"), QStringLiteral("Skedra")).value(key).toString();
    }
    static bool isStored(const QString &key)
    {
        return QSettings(QStringLiteral("Skedra"), QStringLiteral("Skedra")).contains(key);
    }

    void start()
    {
        w = std::make_unique<frmMain>(nullptr, &dialogs);
        w->popupMenu = [this](QMenu *menu, const QPoint &) { shown.append(menu->objectName()); };
    }
    void load(int n)
    {
        fill(w->state(), w->grid(), n);
        w->Grid_refresh();
        w->UpdateCountPanel();
    }
    // Current row and the other end of the selection, as the user left them.
    void selectBand(int current, int other)
    {
        w->grid().setRow(current);
        w->grid().setRowSel(other);
        w->gridView()->showGrid();
    }

    QAction *action(const QString &name) const
    {
        auto *a = w->findChild<QAction *>(name);
        EXPECT_NE(a, nullptr) << name.toStdString();
        return a;
    }
    QMenu *menu(const QString &name) const
    {
        auto *m = w->findChild<QMenu *>(name);
        EXPECT_NE(m, nullptr) << name.toStdString();
        return m;
    }
    void trigger(const QString &name) const
    {
        if (QAction *a = action(name))
            a->trigger();
    }
    QString panel2() const { return w->findChild<QLabel *>(QStringLiteral("Panel2"))->text(); }
    QString header(int col) const
    {
        return w->gridView()->model()->headerData(col, Qt::Horizontal).toString();
    }
    // What the view shows in a cell (grid row r is view row r - 1).
    QString shownCell(int row, int col) const
    {
        QAbstractItemModel *m = w->gridView()->model();
        return m->data(m->index(row - 1, col)).toString();
    }
    QStringList checkedModels() const
    {
        QStringList out;
        for (const ModelProfile &p : allModelProfiles()) {
            if (QAction *a = action(p.menuItem); a && a->isChecked())
                out.append(p.menuItem);
        }
        return out;
    }
    // Opens and closes the Edit menu, as the user would to look at it.
    void openEditMenu() const
    {
        QMenu *edit = menu(QStringLiteral("mnuEdit"));
        edit->popup(QPoint(0, 0));
        edit->hide();
    }
    void rightClickRow(int row)
    {
        GridView *v = w->gridView();
        const QPoint p = v->visualRect(v->model()->index(row - 1, 2)).center();
        QTest::mousePress(v->viewport(), Qt::RightButton, {}, p);
        QTest::mouseRelease(v->viewport(), Qt::RightButton, {}, p);
    }
    void rightClickHeader(int col)
    {
        QHeaderView *h = w->gridView()->horizontalHeader();
        const QPoint p(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
        QTest::mousePress(h->viewport(), Qt::RightButton, {}, p);
        QTest::mouseRelease(h->viewport(), Qt::RightButton, {}, p);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<frmMain> w;
    QStringList shown;  // pop-up menus shown, by object name
};

// --- Start-up ---------------------------------------------------------------------

TEST_F(WiringTest, FirstStartWithoutSettings)
{
    start();
    EXPECT_EQ(checkedModels(), QStringList{QStringLiteral("mnuSH53")});
    EXPECT_EQ(w->state().ModelCode, QStringLiteral("SH53"));
    EXPECT_EQ(header(8), QStringLiteral("ｶﾃｺﾞﾘ"));
    EXPECT_EQ(panel2(), QStringLiteral("機種：J-SH53"));
    EXPECT_EQ(w->columnWidths(), SettingsStore::defaultColumnWidths());
    EXPECT_EQ(w->size(), QSize(1000, 600));
    EXPECT_FALSE(w->isMaximized());
    EXPECT_EQ(w->entryDefaults(), EntryDefaults());
    EXPECT_FALSE(menu(QStringLiteral("mnuCate2"))->menuAction()->isVisible());
    EXPECT_EQ(w->soundCatalogue().melodyName(29), QStringLiteral("西瓜の名産地"));
    // Start-up reads; it writes nothing.
    EXPECT_FALSE(isStored(QStringLiteral("Settings/ModelCode")));
}

TEST_F(WiringTest, StoredSettingsAreApplied)
{
    store(QStringLiteral("Settings/ModelCode"), QStringLiteral("603SH"));
    store(QStringLiteral("Settings/MainLeft"), QStringLiteral("1500"));
    store(QStringLiteral("Settings/MainTop"), QStringLiteral("750"));
    store(QStringLiteral("Settings/MainWidth"), QStringLiteral("9000"));
    store(QStringLiteral("Settings/MainHeight"), QStringLiteral("4500"));
    store(QStringLiteral("Settings/ColWidth2"), QStringLiteral("3000"));
    store(QStringLiteral("Settings/ColWidth9"), QStringLiteral(""));
    store(QStringLiteral("Settings/ImagePath"), QStringLiteral("/home/u/写真"));
    store(QStringLiteral("Init/Stamp"), QStringLiteral("24"));
    store(QStringLiteral("Init/Snd"), QStringLiteral(""));
    start();

    EXPECT_EQ(header(8), QStringLiteral("ｽﾀﾝﾌﾟ"));
    EXPECT_EQ(panel2(), QStringLiteral("機種：V603SH"));
    EXPECT_EQ(checkedModels(), QStringList{QStringLiteral("mnu603SH")});
    EXPECT_TRUE(menu(QStringLiteral("mnuCate2"))->menuAction()->isVisible());
    EXPECT_EQ(w->soundCatalogue().melodyName(29), QStringLiteral("ROMANTIC CITY"));

    EXPECT_EQ(w->pos(), QPoint(100, 50));
    EXPECT_EQ(w->size(), QSize(600, 300));
    EXPECT_EQ(w->columnWidths()[2], 3000);
    EXPECT_EQ(w->columnWidths()[9], 800);  // empty: the default
    EXPECT_EQ(w->attachmentFolder(AttachmentFolder::Image), QStringLiteral("/home/u/写真"));
    EXPECT_EQ(w->attachmentFolder(AttachmentFolder::Voice), QString());
    EXPECT_EQ(w->entryDefaults().Stamp, QStringLiteral("24"));
    EXPECT_EQ(w->entryDefaults().Snd, QStringLiteral("0;0"));
}

TEST_F(WiringTest, UnknownModelCodeStartsAsSH53)
{
    for (const char *code : {"V603SH", "sh52", "SH54", " 601SH"}) {
        store(QStringLiteral("Settings/ModelCode"), QLatin1String(code));
        start();
        EXPECT_EQ(w->state().ModelCode, QStringLiteral("SH53")) << code;
        EXPECT_EQ(checkedModels(), QStringList{QStringLiteral("mnuSH53")}) << code;
        EXPECT_EQ(header(8), QStringLiteral("ｶﾃｺﾞﾘ")) << code;
        // The stored text is left for the user's next choice to replace.
        EXPECT_EQ(stored(QStringLiteral("Settings/ModelCode")), QLatin1String(code));
    }
}

TEST_F(WiringTest, StoredMaximisedStartsMaximised)
{
    store(QStringLiteral("Settings/WindowState"), QStringLiteral("2"));
    start();
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
}

TEST_F(WiringTest, BrokenGeometryKeepsTheWindowOnTheScreen)
{
    store(QStringLiteral("Settings/MainLeft"), QStringLiteral("1e12"));
    store(QStringLiteral("Settings/MainTop"), QStringLiteral("-90000000"));
    store(QStringLiteral("Settings/MainWidth"), QStringLiteral("1e15"));
    store(QStringLiteral("Settings/MainHeight"), QStringLiteral("abc"));
    start();
    QRect desktop;
    for (const QScreen *screen : QGuiApplication::screens())
        desktop |= screen->availableVirtualGeometry();
    ASSERT_TRUE(desktop.isValid());
    EXPECT_LE(w->width(), desktop.width());
    EXPECT_EQ(w->height(), 600);  // unreadable: the designed height
    EXPECT_TRUE(desktop.contains(w->pos()));
}

// --- Closing -----------------------------------------------------------------------

TEST_F(WiringTest, ClosingNormalSavesGeometryAndColumnWidths)
{
    start();
    w->show();
    w->resize(700, 400);
    w->move(30, 40);
    w->gridView()->setColumnWidth(3, 90);
    ASSERT_TRUE(w->close());
    EXPECT_EQ(stored(QStringLiteral("Settings/WindowState")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainLeft")), QString::number(w->x() * 15));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainTop")), QString::number(w->y() * 15));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainWidth")), QStringLiteral("10500"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainHeight")), QStringLiteral("6000"));
    EXPECT_EQ(stored(QStringLiteral("Settings/GridWidth")),
              QString::number(w->gridView()->width() * 15));
    EXPECT_EQ(stored(QStringLiteral("Settings/GridHeight")),
              QString::number(w->gridView()->height() * 15));
    EXPECT_EQ(stored(QStringLiteral("Settings/ColWidth3")), QStringLiteral("1350"));
    // Widths not dragged keep their stored twips, whole pixels or not.
    EXPECT_EQ(stored(QStringLiteral("Settings/ColWidth0")), QStringLiteral("300"));
    EXPECT_EQ(stored(QStringLiteral("Settings/ColWidth1")), QStringLiteral("800"));

    // The next start is where this one ended.
    const QPoint pos = w->pos();
    w.reset();
    start();
    EXPECT_EQ(w->pos(), pos);
    EXPECT_EQ(w->size(), QSize(700, 400));
    EXPECT_EQ(w->columnWidths()[3], 1350);
}

TEST_F(WiringTest, UnchangedGeometryKeepsItsStoredTwips)
{
    store(QStringLiteral("Settings/MainLeft"), QStringLiteral("1234"));
    store(QStringLiteral("Settings/MainTop"), QStringLiteral("800"));
    store(QStringLiteral("Settings/MainWidth"), QStringLiteral("9007.5"));
    store(QStringLiteral("Settings/MainHeight"), QStringLiteral("4510"));
    start();
    w->show();
    w->resize(w->width(), 320);  // only the height changes
    ASSERT_TRUE(w->close());
    EXPECT_EQ(stored(QStringLiteral("Settings/MainLeft")), QStringLiteral("1234"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainTop")), QStringLiteral("800"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainWidth")), QStringLiteral("9007.5"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainHeight")), QStringLiteral("4800"));
}

TEST_F(WiringTest, ClosingMaximisedSavesOnlyWindowState)
{
    store(QStringLiteral("Settings/MainLeft"), QStringLiteral("1500"));
    store(QStringLiteral("Settings/MainWidth"), QStringLiteral("9000"));
    store(QStringLiteral("Settings/ColWidth3"), QStringLiteral("999"));
    start();
    w->showMaximized();
    w->gridView()->setColumnWidth(3, 90);
    ASSERT_TRUE(w->close());
    EXPECT_EQ(stored(QStringLiteral("Settings/WindowState")), QStringLiteral("2"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainLeft")), QStringLiteral("1500"));
    EXPECT_EQ(stored(QStringLiteral("Settings/MainWidth")), QStringLiteral("9000"));
    EXPECT_EQ(stored(QStringLiteral("Settings/ColWidth3")), QStringLiteral("999"));
    EXPECT_FALSE(isStored(QStringLiteral("Settings/MainTop")));
    EXPECT_FALSE(isStored(QStringLiteral("Settings/GridWidth")));
}

TEST_F(WiringTest, ClosingMinimisedSavesNothing)
{
    store(QStringLiteral("Settings/WindowState"), QStringLiteral("2"));
    start();
    w->showMinimized();
    ASSERT_TRUE(w->isMinimized());
    ASSERT_TRUE(w->close());
    EXPECT_EQ(stored(QStringLiteral("Settings/WindowState")), QStringLiteral("2"));
    EXPECT_FALSE(isStored(QStringLiteral("Settings/MainLeft")));
    EXPECT_FALSE(isStored(QStringLiteral("Settings/ColWidth0")));
}

TEST_F(WiringTest, CancelledCloseSavesNothing)
{
    start();
    load(1);
    w->show();
    w->state().markDirty();
    dialogs.answers = {Answer::Cancel};
    EXPECT_FALSE(w->close());
    EXPECT_FALSE(isStored(QStringLiteral("Settings/WindowState")));
}

TEST_F(WiringTest, ClosingClosesTheWindowsItOpened)
{
    start();
    w->show();
    auto *first = new QDialog(w.get());
    auto *second = new QDialog(w.get());
    first->show();
    second->show();
    ASSERT_TRUE(w->close());
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
}

// --- The model menu -------------------------------------------------------------

TEST_F(WiringTest, ModelMenuStoresAtOnceAndKeepsTheHeader)
{
    store(QStringLiteral("Settings/ModelCode"), QStringLiteral("SH51"));
    start();
    load(2);
    w->grid().setText(1, 8, QStringLiteral("untouched"));

    trigger(QStringLiteral("mnu604SH"));
    EXPECT_EQ(stored(QStringLiteral("Settings/ModelCode")), QStringLiteral("604SH"));
    EXPECT_EQ(w->state().ModelCode, QStringLiteral("604SH"));
    EXPECT_EQ(checkedModels(), QStringList{QStringLiteral("mnu604SH")});
    EXPECT_EQ(panel2(), QStringLiteral("機種：V604SH"));
    EXPECT_EQ(header(8), QStringLiteral("ｶﾃｺﾞﾘ"));
    EXPECT_EQ(w->grid().text(1, 8), QStringLiteral("untouched"));  // not re-rendered
    EXPECT_TRUE(menu(QStringLiteral("mnuCate2"))->menuAction()->isVisible());
    EXPECT_EQ(w->soundCatalogue().melodyName(29), QStringLiteral("Endless Sky"));
    EXPECT_FALSE(w->state().isDirty());

    // Choosing the checked item again keeps it checked.
    trigger(QStringLiteral("mnu604SH"));
    EXPECT_EQ(checkedModels(), QStringList{QStringLiteral("mnu604SH")});

    trigger(QStringLiteral("mnu601SH"));
    EXPECT_EQ(panel2(), QStringLiteral("機種：V601SH"));
    EXPECT_FALSE(menu(QStringLiteral("mnuCate2"))->menuAction()->isVisible());
    EXPECT_EQ(w->soundCatalogue().melodyName(29), QStringLiteral("TENDER MOMENT"));
    EXPECT_EQ(stored(QStringLiteral("Settings/ModelCode")), QStringLiteral("601SH"));
    EXPECT_TRUE(dialogs.messages.empty());
}

// --- Menus and pop-ups ------------------------------------------------------------

TEST_F(WiringTest, EveryItemOfTheTableHasItsCaption)
{
    start();
    for (const MenuEntry &e : menuTable()) {
        const QString name = e.objectName();
        switch (e.kind) {
        case MenuEntryKind::Menu:
        case MenuEntryKind::Popup:
            if (QMenu *m = menu(name))
                EXPECT_EQ(m->title(), e.caption) << name.toStdString();
            break;
        case MenuEntryKind::Item:
        case MenuEntryKind::ToolMenuItem:
        case MenuEntryKind::ToolButton:
            if (QAction *a = action(name)) {
                EXPECT_EQ(a->text(), e.caption) << name.toStdString();
                if (e.kind == MenuEntryKind::ToolButton)
                    EXPECT_EQ(a->toolTip(), e.toolTip) << name.toStdString();
            }
            break;
        case MenuEntryKind::Separator:
            break;
        }
    }
}

TEST_F(WiringTest, ToolbarButtonsHaveIconsAndTheOpenDropDown)
{
    start();
    for (const char *key : {"tbrOpen", "tbrSave", "tbrAdd", "tbrEdit", "tbrDel", "tbrDown", "tbrUp",
                            "tbrFont", "tbrCal"}) {
        QAction *a = action(QLatin1String(key));
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->icon().isNull()) << key;
        EXPECT_FALSE(a->icon().pixmap(24, 24).isNull()) << key;
    }
    auto *toolbar = w->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    ASSERT_NE(toolbar, nullptr);
    auto *open = qobject_cast<QToolButton *>(toolbar->widgetForAction(action(QStringLiteral("tbrOpen"))));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->popupMode(), QToolButton::MenuButtonPopup);
    ASSERT_NE(open->defaultAction()->menu(), nullptr);
    const QList<QAction *> items = open->defaultAction()->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("tbrOpenN"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("tbrOpenA"));

    // Open-new through the drop-down item: the file dialog is asked for.
    dialogs.openFiles = {QString()};
    items[0]->trigger();
    EXPECT_EQ(dialogs.fileDialogs.size(), 1);
}

struct ModelMenuCase {
    const char *item;
    int lastCategoryItem;  // items 0 to this of mnuCatego are shown
    bool extended;         // mnuCate2
    const char *caption;
    bool handsetItems;     // date colour, protection, standby
};

TEST_F(WiringTest, EditMenuFollowsTheModel)
{
    const ModelMenuCase cases[] = {
        {"mnu601SH", 19, false, "ｽﾀﾝﾌﾟ(&H)", true},
        {"mnu602SH", 29, false, "ｽﾀﾝﾌﾟ(&H)", true},
        {"mnu603SH", 29, true, "ｽﾀﾝﾌﾟ(&H)", true},
        {"mnu604SH", 29, true, "ｽﾀﾝﾌﾟ(&H)", true},
        {"mnuSH51", 6, false, "ｶﾃｺﾞﾘ(&H)", false},
        {"mnuSH52", 6, false, "ｶﾃｺﾞﾘ(&H)", false},
        {"mnuSH53", 6, false, "ｶﾃｺﾞﾘ(&H)", false},
    };
    start();
    for (const ModelMenuCase &c : cases) {
        SCOPED_TRACE(c.item);
        trigger(QLatin1String(c.item));
        openEditMenu();
        EXPECT_EQ(menu(QStringLiteral("mnuCate"))->title(), QString::fromUtf8(c.caption));
        for (int i = 0; i < 30; ++i)
            EXPECT_EQ(action(QStringLiteral("mnuCatego_%1").arg(i))->isVisible(), i <= c.lastCategoryItem)
                << i;
        EXPECT_EQ(menu(QStringLiteral("mnuCate2"))->menuAction()->isVisible(), c.extended);
        if (c.extended) {
            for (int i = 0; i < 30; ++i)
                EXPECT_TRUE(action(QStringLiteral("mnuCatego2_%1").arg(i))->isVisible()) << i;
        }
        for (const char *m : {"mnuDateColor", "mnuAutoDel", "mnuWait"})
            EXPECT_EQ(menu(QLatin1String(m))->menuAction()->isEnabled(), c.handsetItems) << m;
        // Attribute commands the model does not restrict stay available.
        EXPECT_TRUE(menu(QStringLiteral("mnuSecret"))->menuAction()->isEnabled());
        EXPECT_TRUE(menu(QStringLiteral("mnuPriority"))->menuAction()->isEnabled());
    }
}

TEST_F(WiringTest, RowPopupReflectsTheCurrentModel)
{
    start();
    load(3);
    w->show();
    trigger(QStringLiteral("mnu601SH"));
    rightClickRow(2);
    ASSERT_EQ(shown, QStringList{QStringLiteral("pmnuEdit")});
    EXPECT_EQ(menu(QStringLiteral("pmnuCate"))->title(), QStringLiteral("ｽﾀﾝﾌﾟ(&H)"));
    EXPECT_TRUE(action(QStringLiteral("pmnuCatego_19"))->isVisible());
    EXPECT_FALSE(action(QStringLiteral("pmnuCatego_20"))->isVisible());
    EXPECT_FALSE(menu(QStringLiteral("pmnuCate2"))->menuAction()->isVisible());
    EXPECT_TRUE(menu(QStringLiteral("pmnuDateColor"))->menuAction()->isEnabled());

    trigger(QStringLiteral("mnuSH52"));
    rightClickRow(3);
    EXPECT_EQ(shown.size(), 2);
    EXPECT_EQ(menu(QStringLiteral("pmnuCate"))->title(), QStringLiteral("ｶﾃｺﾞﾘ(&H)"));
    EXPECT_TRUE(action(QStringLiteral("pmnuCatego_6"))->isVisible());
    EXPECT_FALSE(action(QStringLiteral("pmnuCatego_7"))->isVisible());
    for (const char *m : {"pmnuDateColor", "pmnuAutoDel", "pmnuWait"})
        EXPECT_FALSE(menu(QLatin1String(m))->menuAction()->isEnabled()) << m;

    trigger(QStringLiteral("mnu603SH"));
    rightClickRow(1);
    EXPECT_TRUE(menu(QStringLiteral("pmnuCate2"))->menuAction()->isVisible());
    EXPECT_TRUE(action(QStringLiteral("pmnuCatego2_29"))->isVisible());

    // Add and copy-add are in the pop-up.
    EXPECT_TRUE(action(QStringLiteral("pmnuAdd"))->isVisible());
    EXPECT_TRUE(action(QStringLiteral("pmnuCopyAdd"))->isVisible());
    EXPECT_TRUE(action(QStringLiteral("pmnuDefault"))->isVisible());
}

TEST_F(WiringTest, HeaderRightClickSetsFindColumn)
{
    start();
    load(2);
    w->resize(1200, 500);  // all eleven headers in view
    w->show();
    const std::pair<int, const char *> captions[] = {
        {2, "件名で検索(&F)"}, {3, "開始日時で検索(&F)"}, {4, "終了日時で検索(&F)"}, {5, "内容で検索(&F)"}};
    for (const auto &[col, caption] : captions) {
        shown.clear();
        rightClickHeader(col);
        EXPECT_EQ(w->FindColumn, col);
        EXPECT_EQ(shown, QStringList{QStringLiteral("p2mnuMenu")}) << col;
        EXPECT_EQ(action(QStringLiteral("p2mnuFind"))->text(), QString::fromUtf8(caption));
    }
    for (int col : {0, 1, 6, 8, 10}) {
        shown.clear();
        rightClickHeader(col);
        EXPECT_EQ(w->FindColumn, col);
        EXPECT_TRUE(shown.isEmpty()) << col;
    }
    // No rows were sorted by the right button.
    EXPECT_FALSE(w->state().isDirty());

    // The item is offered enabled and opens the find dialog.
    int finds = 0;
    w->findHook = [&] { ++finds; };
    rightClickHeader(3);
    ASSERT_TRUE(action(QStringLiteral("p2mnuFind"))->isEnabled());
    trigger(QStringLiteral("p2mnuFind"));
    EXPECT_EQ(finds, 1);
    EXPECT_EQ(w->FindColumn, 3);
}

// --- Attribute commands -------------------------------------------------------------

TEST_F(WiringTest, PriorityOnABandSelectedEitherWay)
{
    start();
    load(5);
    w->grid().setText(3, 2, QStringLiteral("kept"));  // no re-render may restore it

    selectBand(4, 2);  // upwards
    trigger(QStringLiteral("mnuPriorityHigh"));
    for (int e = 0; e < 5; ++e) {
        const bool inBand = e >= 1 && e <= 3;
        EXPECT_EQ(w->state().ScheduleList.at(e, PriorityValue), inBand ? "1" : "0") << e;
        EXPECT_EQ(shownCell(e + 1, 9), inBand ? QStringLiteral("高") : QStringLiteral("未設定")) << e;
    }
    EXPECT_EQ(w->state().ScheduleList.at(2, PriorityName), QStringLiteral("PRIORITY"));
    EXPECT_TRUE(w->state().isDirty());
    EXPECT_EQ(shownCell(3, 2), QStringLiteral("kept"));

    selectBand(1, 2);  // downwards, through the pop-up item
    trigger(QStringLiteral("pmnuPriorityLow"));
    EXPECT_EQ(column(w->grid(), 9), QStringList({"低", "低", "高", "高", "未設定"}));
    EXPECT_EQ(shownCell(2, 9), QStringLiteral("低"));
}

TEST_F(WiringTest, SecretAndHandsetAttributes)
{
    start();
    load(3);
    w->state().ScheduleList.at(1, ClassName).clear();  // read without a CLASS line
    selectBand(3, 2);
    trigger(QStringLiteral("mnuSecretOn"));
    EXPECT_EQ(w->state().ScheduleList.at(1, ClassName), QStringLiteral("CLASS"));
    EXPECT_EQ(w->state().ScheduleList.at(1, ClassValue), QStringLiteral("PRIVATE"));
    EXPECT_EQ(column(w->grid(), 7), QStringList({"", "ON", "ON"}));

    trigger(QStringLiteral("pmnuSecretOff"));
    EXPECT_EQ(column(w->grid(), 7), QStringList({"", "", ""}));
    EXPECT_EQ(w->state().ScheduleList.at(2, ClassValue), QStringLiteral("PUBLIC"));

    trigger(QStringLiteral("mnu603SH"));
    trigger(QStringLiteral("mnuColRed"));
    trigger(QStringLiteral("pmnuAutoDelOn"));
    trigger(QStringLiteral("mnuWaitOff"));
    for (int e : {1, 2}) {
        const ScheduleEntry &entry = w->state().ScheduleList[e];
        EXPECT_EQ(entry[CalColorName], QStringLiteral("X-JPGSH-CALCOLOR"));
        EXPECT_EQ(entry[CalColorValue], QStringLiteral("RED"));
        EXPECT_EQ(entry[NoAutoDelValue], QStringLiteral("ON"));
        EXPECT_EQ(entry[NoDispDefWinName], QStringLiteral("X-JPGSH-NODISPDEFWIN"));
        EXPECT_EQ(entry[NoDispDefWinValue], QStringLiteral("OFF"));
    }
    EXPECT_TRUE(w->state().ScheduleList.at(0, CalColorValue).isEmpty());
}

TEST_F(WiringTest, StampAndCategoryItems)
{
    store(QStringLiteral("Settings/ModelCode"), QStringLiteral("603SH"));
    start();
    load(3);
    selectBand(2, 2);
    trigger(QStringLiteral("mnuCatego2_29"));
    const ScheduleEntry &e = w->state().ScheduleList[1];
    EXPECT_EQ(e[ShCategoriesName], QStringLiteral("X-JPGSH-CATEGORIES"));
    EXPECT_EQ(e[ShCategoriesValue], QStringLiteral("53"));
    EXPECT_EQ(e[CategoryCode], QStringLiteral("59"));
    EXPECT_TRUE(e[CategoriesValue].isEmpty());
    EXPECT_EQ(shownCell(2, 8), QStringLiteral("注射"));

    // A category over the stamp removes the stamp.
    trigger(QStringLiteral("pmnuCatego_1"));
    EXPECT_EQ(e[CategoriesName], QStringLiteral("CATEGORIES"));
    EXPECT_EQ(e[CategoriesValue], QStringLiteral("PERSONAL"));
    EXPECT_TRUE(e[ShCategoriesName].isEmpty());
    EXPECT_TRUE(e[ShCategoriesValue].isEmpty());
    EXPECT_EQ(e[CategoryCode], QStringLiteral("01"));
    EXPECT_EQ(shownCell(2, 8), QStringLiteral("個人予定"));
    EXPECT_EQ(shownCell(1, 8), QStringLiteral("選択なし"));

    trigger(QStringLiteral("mnuCatego_12"));  // stamp 食事
    EXPECT_EQ(e[ShCategoriesValue], QStringLiteral("6"));
    EXPECT_EQ(shownCell(2, 8), QStringLiteral("食事"));
}

TEST_F(WiringTest, CommandsOnAnEmptyListDoNothing)
{
    start();
    for (const char *item : {"mnuPriorityHigh", "mnuCatego_3", "mnuSecretOn", "mnuZtoH_0", "mnuDefault"})
        trigger(QLatin1String(item));
    EXPECT_FALSE(w->state().isDirty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w->grid().rows(), 2);
    EXPECT_EQ(w->grid().text(1, 9), QString());
    EXPECT_FALSE(isStored(QStringLiteral("Init/Stamp")));
}

TEST_F(WiringTest, HalfWidthConversionAsksFirst)
{
    start();
    load(3);
    ScheduleList &list = w->state().ScheduleList;
    list.at(0, DescriptionValue) = QStringLiteral("ＡＢＣ１２３会議");
    list.at(1, DAlarmValue) = QStringLiteral("20240102113000;ｱﾗｰﾑ１２です");
    w->Grid_refresh();

    dialogs.answers = {Answer::No};
    trigger(QStringLiteral("mnuZtoH_0"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("確認"));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("内容ﾌｨｰﾙﾄﾞの全角を半角に一括変換します。　　　\nよろしいですか？"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(list.at(0, DescriptionValue), QStringLiteral("ＡＢＣ１２３会議"));
    EXPECT_FALSE(w->state().isDirty());

    dialogs.answers = {Answer::Yes};
    trigger(QStringLiteral("mnuZtoH_0"));
    EXPECT_EQ(list.at(0, DescriptionValue), QStringLiteral("ABC123会議"));
    EXPECT_EQ(shownCell(1, 5), QStringLiteral("ABC123会議"));
    EXPECT_EQ(list.at(1, DAlarmValue), QStringLiteral("20240102113000;ｱﾗｰﾑ１２です"));
    EXPECT_TRUE(w->state().isDirty());

    dialogs.answers = {Answer::Yes};
    trigger(QStringLiteral("mnuZtoH_1"));
    EXPECT_TRUE(dialogs.last().text.startsWith(QStringLiteral("ｱﾗｰﾑﾒｯｾｰｼﾞﾌｨｰﾙﾄﾞの全角を半角に")));
    EXPECT_EQ(list.at(1, DAlarmValue), QStringLiteral("20240102113000;ｱﾗｰﾑ12です"));
    EXPECT_EQ(dialogs.messages.size(), 3u);
}

TEST_F(WiringTest, HalfWidthQuestionInARealMessageBox)
{
    w = std::make_unique<frmMain>();  // the window's own dialogs
    load(1);
    w->state().ScheduleList.at(0, DescriptionValue) = QStringLiteral("ＸＹＺ");
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::No)->click();
    });
    answer.start();
    trigger(QStringLiteral("mnuZtoH_0"));
    answer.stop();
    EXPECT_EQ(title, QStringLiteral("確認"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("内容ﾌｨｰﾙﾄﾞの全角を半角に一括変換します。")));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(w->state().ScheduleList.at(0, DescriptionValue), QStringLiteral("ＸＹＺ"));
}

// --- Entry defaults -------------------------------------------------------------

TEST_F(WiringTest, DefaultsFromTheCurrentRowAndCleared)
{
    start();
    load(3);
    ScheduleEntry &e = w->state().ScheduleList[1];
    e[CategoriesName] = QStringLiteral("CATEGORIES");
    e[CategoriesValue] = QStringLiteral("MEETING");
    e[DAlarmValue] = QStringLiteral("20240102114500;出発");
    e[PriorityValue] = QStringLiteral("1");
    selectBand(2, 3);

    trigger(QStringLiteral("mnuDefault"));
    EXPECT_EQ(w->entryDefaults().Stamp, QStringLiteral("5"));
    EXPECT_EQ(w->entryDefaults().ArarmOnOff, QStringLiteral("ON"));
    EXPECT_EQ(w->entryDefaults().ArarmDate, QStringLiteral("-15"));
    EXPECT_EQ(w->entryDefaults().ArarmMes, QStringLiteral("出発"));
    EXPECT_EQ(stored(QStringLiteral("Init/Stamp")), QStringLiteral("5"));
    EXPECT_EQ(stored(QStringLiteral("Init/ArarmDate")), QStringLiteral("-15"));
    EXPECT_EQ(stored(QStringLiteral("Init/Priority")), QStringLiteral("1"));
    EXPECT_FALSE(w->state().isDirty());
    EXPECT_TRUE(dialogs.messages.empty());

    // The next start reads them back; clearing returns to the built-in ones.
    w.reset();
    start();
    load(1);
    EXPECT_EQ(w->entryDefaults().Stamp, QStringLiteral("5"));
    trigger(QStringLiteral("pmnuDefClear"));
    EXPECT_EQ(w->entryDefaults(), EntryDefaults());
    EXPECT_EQ(stored(QStringLiteral("Init/Stamp")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("Init/Disp")), QStringLiteral("ON"));
}

} // namespace
