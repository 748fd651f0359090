// The find dialogs over the real main window: caption and input method by
// column, the search button, no hit, the results list and the jump back to
// the main list.
#include "frmfind.h"
#include "frmmain.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"
#include "test_entries.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class FindTest : public WindowFixture {
protected:
    // Types a text into the dialog's box as the user would and presses Enter.
    static void typeAndSearch(frmFind &find, const QString &text)
    {
        auto *box = find.findChild<QLineEdit *>(QStringLiteral("Text1"));
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // The open results window, if any.
    frmFindEx *results() const
    {
        for (frmFindEx *r : w->findChildren<frmFindEx *>()) {
            if (r->isVisible())
                return r;
        }
        return nullptr;
    }
};

} // namespace

TEST_F(FindTest, CaptionAndInputMethodByColumn)
{
    const struct {
        int column;
        const char *caption;
        bool inputMethod;
    } cases[] = {
        {2, "件名で検索", true}, {3, "開始日時で検索", false}, {4, "終了日時で検索", false},
        {5, "内容で検索", true}, {7, "検索", false},
    };
    for (const auto &c : cases) {
        w->FindColumn = c.column;
        frmFind find(*w, dialogs);
        EXPECT_EQ(find.windowTitle(), QString::fromUtf8(c.caption)) << c.column;
        EXPECT_EQ(find.findChild<QLineEdit *>(QStringLiteral("Text1"))->testAttribute(Qt::WA_InputMethodEnabled),
                  c.inputMethod)
            << c.column;
    }
}

TEST_F(FindTest, EmptyTextDoesNothingAndNoHitSaysSo)
{
    load(3);
    w->FindColumn = 2;
    frmFind find(*w, dialogs);
    find.show();
    auto *search = find.findChild<QPushButton *>(QStringLiteral("Command1"));
    auto *box = find.findChild<QLineEdit *>(QStringLiteral("Text1"));
    EXPECT_FALSE(search->isEnabled());
    find.Command1_Click();
    EXPECT_TRUE(find.isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    // The first text enables the button for good; an emptied box still finds
    // nothing.
    box->setText(QStringLiteral("9"));
    box->clear();
    EXPECT_TRUE(search->isEnabled());
    search->click();
    EXPECT_TRUE(find.isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    typeAndSearch(find, QStringLiteral("9"));
    EXPECT_FALSE(find.isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("検索結果"));
    EXPECT_EQ(dialogs.last().text, QStringLiteral("該当するデータは見つかりませんでした。　　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::Ok);
    EXPECT_EQ(results(), nullptr);
}

TEST_F(FindTest, HitsFromTheHeaderMenuToTheMainList)
{
    // Summaries "1" to "100", the 50th made "x50y".
    load(100);
    w->state().ScheduleList.at(49, SummaryValue) = QStringLiteral("x50y");
    w->Grid_refresh();
    w->show();
    w->FindColumn = 2;
    // The real command: p2mnuFind opens the modal dialog over the window.
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *find = qobject_cast<frmFind *>(QApplication::activeModalWidget())) {
            find->findChild<QRadioButton *>(QStringLiteral("Option2"))->setChecked(true);
            typeAndSearch(*find, QStringLiteral("X5"));
        }
    });
    answer.start();
    w->findChild<QAction *>(QStringLiteral("p2mnuFind"))->trigger();
    answer.stop();

    frmFindEx *hits = results();
    ASSERT_NE(hits, nullptr);
    EXPECT_TRUE(hits->isVisible());
    EXPECT_FALSE(hits->isModal());
    EXPECT_EQ(hits->windowTitle(), QStringLiteral("検索結果"));
    ASSERT_EQ(w->state().FoundEntries.size(), 1u);
    EXPECT_EQ(w->state().ScheduleList.indexOf(w->state().FoundEntries[0]), 49);
    auto *grid = hits->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    EXPECT_EQ(grid->rowCount(), 1);
    const QStringList header = {"", "件名", "開始日時", "終了日時", "内容"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), header[c]);
    // 2000 and 2050 twips at 15 twips a pixel.
    EXPECT_EQ(grid->columnWidth(1), 133);
    EXPECT_EQ(grid->columnWidth(2), 137);
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("x50y"));
    EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("2024/01/50 12:00:00"));
    EXPECT_EQ(grid->toolTip(), QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸでメイン画面が移動します。"));
    EXPECT_EQ(hits->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("1 件見つかりました｡"));

    // A double-click moves the main list: current row and top row; the
    // results stay open.
    const QPoint hit = grid->visualItemRect(grid->item(0, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, hit);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, hit);
    EXPECT_EQ(w->grid().row(), 50);
    EXPECT_EQ(w->grid().rowSel(), 50);
    EXPECT_EQ(w->grid().topRow(), 50);
    EXPECT_TRUE(hits->isVisible());

    // Another list was put in while the results stayed open: the hit's
    // entry is gone.
    fill(w->state(), w->grid(), 10);
    w->grid().setRow(3);
    hits->MSFlexGrid1_DblClick(1);
    EXPECT_EQ(w->grid().row(), 3);

    // "再検索" closes the results and opens the find dialog again.
    int finds = 0;
    w->findHook = [&] { ++finds; };
    hits->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(finds, 1);
    EXPECT_EQ(results(), nullptr);
}

TEST_F(FindTest, TwoHitsGiveTwoRows)
{
    load(3);
    w->state().ScheduleList.at(0, SummaryValue) = QStringLiteral("xABCy");
    w->state().ScheduleList.at(2, SummaryValue) = QStringLiteral("abc");
    w->Grid_refresh();
    w->FindColumn = 2;
    frmFind find(*w, dialogs);
    typeAndSearch(find, QStringLiteral("abc"));
    ASSERT_NE(results(), nullptr);
    EXPECT_EQ(results()->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"))->rowCount(), 2);
    EXPECT_EQ(results()->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("2 件見つかりました｡"));

    // Whole match: only "abc" itself.
    frmFind again(*w, dialogs);
    again.findChild<QRadioButton *>(QStringLiteral("Option1"))->setChecked(true);
    typeAndSearch(again, QStringLiteral("ABC"));
    ASSERT_NE(results(), nullptr);
    EXPECT_EQ(results()->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"))->rowCount(), 1);
    ASSERT_EQ(w->state().FoundEntries.size(), 1u);
    EXPECT_EQ(w->state().ScheduleList.indexOf(w->state().FoundEntries[0]), 2);
}

// The results stay open while the user works in the list: after a sort by
// a header click the hit still moves to its entry; once that entry is
// deleted, its hit does nothing (and a Delete after it cannot hit another
// entry).
TEST_F(FindTest, AHitFollowsItsEntryThroughASortAndADelete)
{
    load(5);
    w->show();
    w->FindColumn = 2;
    frmFind find(*w, dialogs);
    typeAndSearch(find, QStringLiteral("2"));
    frmFindEx *hits = results();
    ASSERT_NE(hits, nullptr);

    // Start column twice: descending, so entry "2" moves to row 4.
    QHeaderView *h = w->gridView()->horizontalHeader();
    const int x = h->sectionViewportPosition(3) + h->sectionSize(3) / 2;
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    ASSERT_EQ(summaries(w->state().ScheduleList), QStringList({"5", "4", "3", "2", "1"}));
    hits->MSFlexGrid1_DblClick(1);
    EXPECT_EQ(w->grid().row(), 4);
    EXPECT_EQ(w->grid().text(w->grid().row(), 2), QStringLiteral("2"));

    dialogs.answers.push_back(Answer::Yes);
    w->findChild<QAction *>(QStringLiteral("mnuDEl"))->trigger();
    ASSERT_EQ(summaries(w->state().ScheduleList), QStringList({"5", "4", "3", "1"}));
    w->grid().setRow(1);
    hits->MSFlexGrid1_DblClick(1);
    EXPECT_EQ(w->grid().row(), 1) << "the deleted entry's hit selects nothing";
    hits->close();
}
