// The calendar through the real main window, offscreen: open it on a month
// of the sample file, read a repeating entry's day, pick a day, step a
// month and switch back to the list; print its month.
#include "frmcalendar.h"
#include "frmmain.h"
#include "gridview.h"
#include "pdftext.h"
#include "scripted_dialogs.h"
#include "settings.h"
#include "test_entries.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace skedra;

namespace {

// The main window over the sample file on Monday 11 April 2005, when the
// sample's weekly meeting ("W1 MO #0" from 7 March 2005) falls on today.
class CalendarWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        w.today = [] { return QDate(2005, 4, 11); };
        w.show();
    }
    void TearDown() override { w.state().Dirty = QStringLiteral("0"); }
    void open() { w.openCommandLine(QStringLiteral("examples/sample.vcs")); }

    QTemporaryDir settings;
    test::ScriptedDialogs dialogs;
    frmMain w{nullptr, &dialogs};
};

} // namespace

TEST_F(CalendarWindow, OpensOnTodaysMonthListsADayStepsAndSwitchesBack)
{
    open();
    ASSERT_FALSE(w.state().ScheduleList.isEmpty());

    auto *command = w.findChild<QAction *>(QStringLiteral("tbrCal"));
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->isVisible());
    command->trigger();

    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.state().CallerView, QStringLiteral("Calendar"));
    EXPECT_EQ(calendar->windowTitle(), QStringLiteral("Skedra Ver.1.00"));

    auto *label = calendar->findChild<QLabel *>(QStringLiteral("lblYearMonth"));
    auto *month = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    auto *days = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid2"));
    ASSERT_TRUE(label && month && days);
    EXPECT_EQ(label->text(), QStringLiteral("2005年04月"));
    EXPECT_EQ(month->item(0, 0)->text(), QStringLiteral("Sun"));
    EXPECT_EQ(month->item(0, 0)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(month->item(0, 6)->foreground().color(), QColor(0, 0, 255));

    // 1 April 2005 is a Friday: day 11 is Monday of the third week; today's
    // cell is light green and selected, its list shows the meeting.
    QTableWidgetItem *eleventh = month->item(3, 1);
    EXPECT_TRUE(eleventh->text().startsWith(QStringLiteral("11\n 定例会議")));
    EXPECT_EQ(eleventh->background().color(), QColor(238, 255, 249));
    EXPECT_EQ(month->currentRow(), 3);
    EXPECT_EQ(month->currentColumn(), 1);
    EXPECT_EQ(days->item(0, 2)->text(), QStringLiteral("定例会議"));

    // Clicking the next Monday lists that day.
    const QRect cell = month->visualItemRect(month->item(4, 1));
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(w.state().ReferenceDate, QStringLiteral("20050418"));
    EXPECT_EQ(days->item(0, 2)->text(), QStringLiteral("定例会議"));

    // A cell outside the month keeps the selection and the list.
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, month->visualItemRect(month->item(1, 0)).center());
    EXPECT_EQ(month->currentRow(), 4);
    EXPECT_EQ(w.state().ReferenceDate, QStringLiteral("20050418"));

    // One month forward keeps the day: 18 May 2005, a Wednesday.
    auto *forward = calendar->findChild<QWidget *>(QStringLiteral("picBtn3"));
    ASSERT_NE(forward, nullptr);
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_EQ(label->text(), QStringLiteral("2005年05月"));
    EXPECT_EQ(w.state().ReferenceDate, QStringLiteral("20050518"));
    EXPECT_TRUE(month->item(month->currentRow(), month->currentColumn())->text().startsWith(QStringLiteral("18")));
    EXPECT_EQ(month->currentColumn(), 3);

    // The label opens the month picker; a picked date shows its month with
    // that day selected, and "今  日" comes back to today.
    auto *picker = calendar->findChild<QCalendarWidget *>(QStringLiteral("MonthView1"));
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(picker->isVisible());
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_TRUE(picker->isVisible());
    emit picker->clicked(QDate(2005, 6, 20));
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("2005年06月"));
    EXPECT_EQ(w.state().ReferenceDate, QStringLiteral("20050620"));
    auto *today = calendar->findChild<QPushButton *>(QStringLiteral("Command5"));
    ASSERT_NE(today, nullptr);
    EXPECT_EQ(today->text(), QStringLiteral("今  日"));
    QTest::mouseClick(today, Qt::LeftButton);
    EXPECT_EQ(label->text(), QStringLiteral("2005年04月"));
    EXPECT_EQ(w.state().ReferenceDate, QStringLiteral("20050411"));

    auto *back = calendar->findChild<QPushButton *>(QStringLiteral("Command6"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text(), QStringLiteral("表示切替"));
    QTest::mouseClick(back, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.calendarWindow(), nullptr);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.state().CallerView, QStringLiteral("Main"));
    EXPECT_TRUE(w.state().ReferenceDate.isEmpty());
    EXPECT_EQ(w.state().ReferenceRow, 1);
    EXPECT_TRUE(SettingsStore().calendarGeometry().top.has_value()) << "the place is kept for the next open";
}

// The day-list commands through the main window: Add on a day hands the
// day to the editor; a double-click outside the month adds nothing;
// deleting a daily entry from one day removes it from the month and the
// main list.
TEST_F(CalendarWindow, DayCommandsRunTheMainWindowsCommands)
{
    QStringList editorStarts;
    w.showModal = [&](QDialog &) {
        editorStarts << w.state().CallerView + QLatin1Char('|') + w.state().ReferenceDateTime;
    };
    w.SelectModel(QStringLiteral("601SH"));  // a model with an entry editor
    open();
    const int entries = w.state().ScheduleList.count();
    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    auto *month = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    auto *days = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid2"));

    // The window started with SH53; the calendar opened after the change
    // to 601SH heads its day list by stamp.
    EXPECT_EQ(days->horizontalHeaderItem(8)->text(), QStringLiteral("ｽﾀﾝﾌﾟ"));

    // 15 April 2005 is the Friday of the third week.
    const QRect fifteenth = month->visualItemRect(month->item(3, 5));
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, fifteenth.center());
    QTest::mouseDClick(month->viewport(), Qt::LeftButton, {}, fifteenth.center());
    ASSERT_EQ(editorStarts.size(), 1);
    EXPECT_TRUE(editorStarts[0].startsWith(QStringLiteral("Calendar|2005/04/15 "))) << editorStarts[0].toStdString();
    // Outside the month (the Sunday before 1 April): nothing.
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, month->visualItemRect(month->item(1, 0)).center());
    QTest::mouseDClick(month->viewport(), Qt::LeftButton, {}, month->visualItemRect(month->item(1, 0)).center());
    EXPECT_EQ(editorStarts.size(), 1);

    // The pop-up's secret item sets the entry of the row.
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, month->visualItemRect(month->item(3, 1)).center());
    QMenu *shown = nullptr;
    calendar->popupMenu = [&](QMenu *menu, const QPoint &) { shown = menu; };
    const QPoint firstRow = days->visualItemRect(days->item(0, 2)).center();
    QTest::mousePress(days->viewport(), Qt::RightButton, {}, firstRow);
    QTest::mouseRelease(days->viewport(), Qt::RightButton, {}, firstRow);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->objectName(), QStringLiteral("pmnuEdit"));
    auto *secretOn = shown->findChild<QMenu *>(QStringLiteral("pmnuSecret"));
    ASSERT_NE(secretOn, nullptr);
    EXPECT_EQ(secretOn->title(), QStringLiteral("ｼｰｸﾚｯﾄ(&S)"));
    ASSERT_FALSE(secretOn->actions().isEmpty());
    secretOn->actions().front()->trigger();
    EXPECT_EQ(days->item(0, 7)->text(), QStringLiteral("ON"));
    EXPECT_EQ(w.grid().text(1, 7), QStringLiteral("ON"));

    // A double-click on the row edits its entry as the main list's row.
    editorStarts.clear();
    int editedRow = 0;
    w.showModal = [&](QDialog &) { editedRow = w.grid().row(); };
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, firstRow);
    QTest::mouseDClick(days->viewport(), Qt::LeftButton, {}, firstRow);
    EXPECT_EQ(editedRow, 1);
    EXPECT_EQ(w.state().ReferenceRow, 1);
    EXPECT_EQ(days->currentRow(), 0);

    // 朝のジョギング runs daily from 31 March to 2 April; delete it on the
    // 2nd (Saturday of the first week).
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, month->visualItemRect(month->item(1, 6)).center());
    ASSERT_EQ(days->item(0, 2)->text(), QStringLiteral("朝のジョギング"));
    days->setCurrentCell(0, 2);
    dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(days, Qt::Key_Delete);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("削除してよろしいですか？　　　"));
    EXPECT_EQ(w.state().ScheduleList.count(), entries - 1);
    EXPECT_EQ(w.grid().dataRows(), entries - 1);
    EXPECT_FALSE(month->item(1, 5)->text().contains(QStringLiteral("朝のジョギング")));
    EXPECT_EQ(month->item(1, 6)->text(), QStringLiteral("2"));
    EXPECT_TRUE(days->item(0, 2)->text().isEmpty()) << "the emptied day keeps one empty row";
    calendar->close();
}

// Without the mouse: Enter on a day adds there as a double-click does, Tab
// goes on to the day list, and a delete from the day list is undone and
// redone with the main window's keys.
TEST_F(CalendarWindow, KeyboardAddTabAndUndoInTheCalendar)
{
    QStringList editorStarts;
    w.showModal = [&](QDialog &) { editorStarts << w.state().ReferenceDateTime; };
    w.SelectModel(QStringLiteral("601SH"));
    open();
    const int entries = w.state().ScheduleList.count();
    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    QApplication::setActiveWindow(calendar);
    ASSERT_TRUE(QTest::qWaitForWindowActive(calendar));
    auto *month = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    auto *days = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid2"));

    month->setFocus();
    month->setCurrentCell(3, 5);  // Friday 15 April 2005
    QTest::keyClick(month, Qt::Key_Return);
    ASSERT_EQ(editorStarts.size(), 1);
    EXPECT_TRUE(editorStarts[0].startsWith(QStringLiteral("2005/04/15 "))) << editorStarts[0].toStdString();

    month->setFocus();
    QTest::keyClick(month, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), days);

    // 朝のジョギング on Saturday 2 April, deleted from the day list.
    month->setCurrentCell(1, 6);
    ASSERT_EQ(days->item(0, 2)->text(), QStringLiteral("朝のジョギング"));
    days->setFocus();
    days->setCurrentCell(0, 2);
    dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(days, Qt::Key_Delete);
    EXPECT_EQ(w.state().ScheduleList.count(), entries - 1);
    EXPECT_TRUE(days->item(0, 2)->text().isEmpty());

    QTest::keyClick(days, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.state().ScheduleList.count(), entries);
    EXPECT_EQ(days->item(0, 2)->text(), QStringLiteral("朝のジョギング"));
    EXPECT_TRUE(month->item(1, 5)->text().contains(QStringLiteral("朝のジョギング")));
    QTest::keyClick(days, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.state().ScheduleList.count(), entries - 1);
    EXPECT_TRUE(days->item(0, 2)->text().isEmpty());
    calendar->close();
}

TEST_F(CalendarWindow, EmptyDayAndDeletingTheLastEntry)
{
    // One entry, on Monday 1 January 2024: row 1, column 1 of that month.
    w.today = [] { return QDate(2024, 1, 1); };
    w.SelectModel(QStringLiteral("601SH"));
    test::fill(w.state(), w.grid(), 1);
    w.Grid_refresh();
    w.UpdateCountPanel();
    int editorShown = 0;
    w.showModal = [&](QDialog &) { ++editorShown; };
    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    auto *month = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    auto *days = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid2"));

    // An empty day: Delete asks nothing and deletes nothing; Add works.
    const QPoint second = month->visualItemRect(month->item(1, 2)).center();
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, second);
    QTest::keyClick(days, Qt::Key_Delete);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w.state().ScheduleList.count(), 1);
    QTest::mouseDClick(month->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(editorShown, 1);

    // Deleting the only entry leaves one empty row and an empty count panel.
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, month->visualItemRect(month->item(1, 1)).center());
    ASSERT_EQ(days->item(0, 2)->text(), QStringLiteral("1"));
    days->setCurrentCell(0, 2);
    dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(days, Qt::Key_Delete);
    EXPECT_TRUE(w.state().ScheduleList.isEmpty());
    EXPECT_EQ(w.grid().dataRows(), 1);
    EXPECT_EQ(month->item(1, 1)->text(), QStringLiteral("1"));
    calendar->close();
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("Panel1"))->text(), QString());
}

// A and B on 31 January 2026, C on 5 March. One month forward the kept
// cell is empty and the day list still lists 31 January; deleting its rows
// one after the other deletes A and then B, never C.
TEST_F(CalendarWindow, DeletingFromTheKeptDayListAfterAMonthStep)
{
    w.today = [] { return QDate(2026, 1, 31); };
    ScheduleList &list = w.state().ScheduleList;
    list.clear();
    list[0] = test::entry(QStringLiteral("A"), QStringLiteral("20260131090000"));
    list[1] = test::entry(QStringLiteral("B"), QStringLiteral("20260131100000"));
    list[2] = test::entry(QStringLiteral("C"), QStringLiteral("20260305090000"));
    fitGridToList(list, w.grid(), true);
    w.Grid_refresh();
    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    auto *month = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    auto *days = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid2"));
    QTest::mouseClick(calendar->findChild<QWidget *>(QStringLiteral("picBtn3")), Qt::LeftButton);
    ASSERT_EQ(calendar->month().caption, QStringLiteral("2026年02月"));
    QTableWidgetItem *kept = month->item(month->currentRow(), month->currentColumn());
    EXPECT_TRUE(kept->text().isEmpty());
    EXPECT_FALSE(kept->isSelected()) << "an empty cell is not highlighted for the day listed below";
    ASSERT_EQ(days->rowCount(), 2);

    for (const char *summary : {"A", "B"}) {
        ASSERT_EQ(days->item(0, 2)->text(), QLatin1String(summary));
        days->setCurrentCell(0, 2);
        dialogs.answers.push_back(Answer::Yes);
        QTest::keyClick(days, Qt::Key_Delete);
    }
    EXPECT_EQ(test::summaries(list), QStringList{QStringLiteral("C")});
    EXPECT_EQ(days->rowCount(), 1);
    EXPECT_TRUE(days->item(0, 2)->text().isEmpty());
    calendar->close();
}

// The seven columns and six weeks fill the month grid to the pixel at any
// window size: no strip after Saturday or under the last week.
TEST_F(CalendarWindow, TheMonthFillsItsGrid)
{
    w.disp_calendar();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    auto *month = calendar->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    for (const QSize size : {calendar->minimumSize(), QSize(900, 640), QSize(1001, 767), QSize(1283, 701)}) {
        calendar->resize(size);
        QApplication::processEvents();
        int width = 0;
        for (int column = 0; column < 7; ++column)
            width += month->columnWidth(column);
        int height = 0;
        for (int row = 0; row < 7; ++row)
            height += month->rowHeight(row);
        EXPECT_EQ(width, month->viewport()->width()) << size.width() << "x" << size.height();
        EXPECT_EQ(height, month->viewport()->height()) << size.width() << "x" << size.height();
    }
    calendar->close();
}

// The calendar comes back where it was closed, however often it is
// reopened (the window's frame must not be counted into its place), and a
// stored place off every screen does not lose it.
TEST_F(CalendarWindow, ReopensWhereItWasClosed)
{
    auto openCalendar = [this] {
        w.disp_calendar();
        return qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    };
    auto closeCalendar = [](QWidget *calendar) {
        calendar->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    calendar::frmCalendar *calendar = openCalendar();
    ASSERT_NE(calendar, nullptr);
    calendar->move(120, 90);
    calendar->resize(700, 520);
    QApplication::processEvents();
    const QPoint corner = calendar->pos();
    const QSize size = calendar->size();
    closeCalendar(calendar);
    for (int reopen = 1; reopen <= 3; ++reopen) {
        calendar = openCalendar();
        ASSERT_NE(calendar, nullptr);
        QApplication::processEvents();
        EXPECT_EQ(calendar->pos(), corner) << "reopened " << reopen << " times";
        EXPECT_EQ(calendar->size(), size) << "reopened " << reopen << " times";
        closeCalendar(calendar);
    }

    QSettings stored(QStringLiteral("Skedra"), QStringLiteral("Skedra"));
    stored.setValue(QStringLiteral("Settings/CalendarLeft"), QStringLiteral("-300000"));
    stored.setValue(QStringLiteral("Settings/CalendarWidth"), QStringLiteral("900000"));
    stored.sync();
    calendar = openCalendar();
    ASSERT_NE(calendar, nullptr);
    QRect screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens |= screen->availableVirtualGeometry();
    EXPECT_TRUE(screens.contains(calendar->pos()));
    EXPECT_LE(calendar->width(), screens.width());
    closeCalendar(calendar);
}

// The month reaches paper by two roads: File ▸ PDFに書き出し… over the
// list's selected entry, and the calendar's print button after a step away
// and back. Both print April 2005 on one landscape A4 page with the same
// text; the calendar's road goes through the print preview.
TEST_F(CalendarWindow, PrintsTheSameMonthFromTheListAndFromTheCalendar)
{
    open();
    QTemporaryDir tmp;
    w.grid().setRow(3);  // the jogging from 1 April 2005
    dialogs.printChoices.push_back(print::PrintChoice{print::Subject::Month, QPageLayout::Landscape});
    dialogs.saveFiles.push_back(tmp.filePath(QStringLiteral("april")));
    auto *pdfCommand = w.findChild<QAction *>(QStringLiteral("mnuExportPdf"));
    ASSERT_NE(pdfCommand, nullptr);
    pdfCommand->trigger();
    ASSERT_EQ(dialogs.printQuestions.size(), 1u);
    EXPECT_EQ(dialogs.printQuestions[0].monthCaption, QStringLiteral("2005年04月"));
    QFile fromList(tmp.filePath(QStringLiteral("april.pdf")));
    ASSERT_TRUE(fromList.open(QIODevice::ReadOnly));
    const QByteArray listPdf = fromList.readAll();
    EXPECT_EQ(test::pdfPages(listPdf), 1);

    auto *print = w.findChild<QAction *>(QStringLiteral("mnuPrint"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));

    w.findChild<QAction *>(QStringLiteral("tbrCal"))->trigger();
    auto *calendar = qobject_cast<calendar::frmCalendar *>(w.calendarWindow());
    ASSERT_NE(calendar, nullptr);
    calendar->step(calendar::MonthStep::MonthForward);
    calendar->step(calendar::MonthStep::MonthBack);
    const QString previewPath = tmp.filePath(QStringLiteral("preview.pdf"));
    QString previewTitle;
    QPageLayout previewLayout;
    w.showPreview = [&](QPrintPreviewDialog &dialog) {
        previewTitle = dialog.windowTitle();
        QPrinter *printer = dialog.printer();
        previewLayout = printer->pageLayout();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(previewPath);
        emit dialog.paintRequested(printer);
    };
    auto *button = calendar->findChild<QPushButton *>(QStringLiteral("cmdPrint"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("印刷"));
    button->click();

    ASSERT_EQ(dialogs.printQuestions.size(), 2u);
    EXPECT_EQ(dialogs.printQuestions[1].preset.subject, print::Subject::Month);
    EXPECT_EQ(dialogs.printQuestions[1].monthCaption, QStringLiteral("2005年04月"));
    EXPECT_EQ(previewTitle, QStringLiteral("印刷プレビュー - 2005年04月"));
    EXPECT_EQ(previewLayout.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(previewLayout.pageSize().id(), QPageSize::A4);
    QFile fromCalendar(previewPath);
    ASSERT_TRUE(fromCalendar.open(QIODevice::ReadOnly));
    const QByteArray calendarPdf = fromCalendar.readAll();
    EXPECT_EQ(test::pdfPages(calendarPdf), 1);
    const QString text = test::pdfText(calendarPdf);
    EXPECT_TRUE(text.contains(QStringLiteral("06:30 朝のジョギング"))) << text.toStdString();
    EXPECT_EQ(text, test::pdfText(listPdf));

    // Ctrl+P in the calendar prints the month on screen too.
    calendar->step(calendar::MonthStep::MonthForward);
    calendar->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calendar));
    QTest::keySequence(calendar, QKeySequence(QStringLiteral("Ctrl+P")));
    // A button's shortcut clicks it after its pressed look has shown.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.printQuestions.size() == 3u; }, 2000));
    EXPECT_EQ(dialogs.printQuestions[2].monthCaption, QStringLiteral("2005年05月"));
    calendar->close();
}

// After a sort by the start column (descending: a header click twice) the
// rows print as they now stand: the month is the one of the entry on the
// first row, and the selected rows print in their new order.
TEST_F(CalendarWindow, PrintsWhatTheRowsShowAfterASort)
{
    open();
    QHeaderView *h = w.gridView()->horizontalHeader();
    const int x = h->sectionViewportPosition(3) + h->sectionSize(3) / 2;
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    ASSERT_EQ(w.grid().text(1, 2), QStringLiteral("予防接種"));
    ASSERT_EQ(w.grid().text(2, 2), QStringLiteral("母の誕生日"));

    QTemporaryDir tmp;
    auto *pdfCommand = w.findChild<QAction *>(QStringLiteral("mnuExportPdf"));
    w.grid().setRow(1);
    dialogs.printChoices.push_back(print::PrintChoice{print::Subject::Month, QPageLayout::Landscape});
    dialogs.saveFiles.push_back(tmp.filePath(QStringLiteral("month.pdf")));
    pdfCommand->trigger();
    ASSERT_EQ(dialogs.printQuestions.size(), 1u);
    EXPECT_EQ(dialogs.printQuestions[0].monthCaption, QStringLiteral("2005年05月"));
    QFile month(tmp.filePath(QStringLiteral("month.pdf")));
    ASSERT_TRUE(month.open(QIODevice::ReadOnly));
    EXPECT_TRUE(test::pdfText(month.readAll()).contains(QStringLiteral("10:00 予防接種")));

    w.grid().setRow(1);
    w.grid().setRowSel(2);
    dialogs.printChoices.push_back(print::PrintChoice{print::Subject::SelectedRows, QPageLayout::Portrait});
    dialogs.saveFiles.push_back(tmp.filePath(QStringLiteral("rows.pdf")));
    pdfCommand->trigger();
    QFile rows(tmp.filePath(QStringLiteral("rows.pdf")));
    ASSERT_TRUE(rows.open(QIODevice::ReadOnly));
    const QString text = test::pdfText(rows.readAll());
    const qsizetype first = text.indexOf(QStringLiteral("予防接種"));
    const qsizetype second = text.indexOf(QStringLiteral("母の誕生日"));
    EXPECT_GE(first, 0);
    EXPECT_GT(second, first);
    EXPECT_FALSE(text.contains(QStringLiteral("昭和の日")));
}
