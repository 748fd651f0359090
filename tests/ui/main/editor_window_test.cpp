// The entry editor through the real main window, offscreen: a row edited by
// double-click, a new entry through mnuAdd, and the older models' editor.
#include "bookfile.h"
#include "frmeditadd.h"
#include "frmeditr.h"
#include "frmmain.h"
#include "gridview.h"
#include "declared_png.h"
#include "nullablepicker.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"
#include "test_entries.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace skedra;
using namespace skedra::test;

namespace {

class EditorWindowTest : public WindowFixture {
protected:
    // Three entries from 1 January 2024, model 603SH, today 1 January 2024.
    void SetUp() override
    {
        WindowFixture::SetUp();
        w->today = [] { return QDate(2024, 1, 1); };
        w->findChild<QAction *>(QStringLiteral("mnu603SH"))->trigger();
        load(3);
        w->show();
    }
    template <typename T>
    static T *child(QWidget &d, const char *name)
    {
        auto *c = d.findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void type(QWidget *target, const QString &text)
    {
        target->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(target, &commit);
    }
};

} // namespace

TEST_F(EditorWindowTest, DoubleClickEditsTheRowAndOkShowsItInTheList)
{
    int shown = 0;
    w->showModal = [&](QDialog &d) {
        ++shown;
        EXPECT_EQ(d.objectName(), QStringLiteral("frmEditR"));
        auto *summary = child<QComboBox>(d, "txtSummary");
        EXPECT_EQ(summary->currentText(), QStringLiteral("2"));
        // No end: both end pickers show their empty state.
        EXPECT_TRUE(child<NullablePicker>(d, "dtpToDate")->isEmpty());
        EXPECT_TRUE(child<QLineEdit>(d, "dtpToDate_empty")->isVisibleTo(&d));
        EXPECT_EQ(child<QLineEdit>(d, "dtpToDate_empty")->text(), NullablePicker::emptyText());

        summary->lineEdit()->selectAll();
        type(summary->lineEdit(), QStringLiteral("打合せ"));
        child<QRadioButton>(d, "optWeek")->click();
        EXPECT_TRUE(child<QRadioButton>(d, "optTue")->isChecked());  // 2024/01/02 is a Tuesday
        auto *loop = child<QLineEdit>(d, "txtLoop");
        loop->selectAll();
        QTest::keyClicks(loop, "3");
        child<QPushButton>(d, "cmdOk")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    ASSERT_EQ(shown, 1);
    EXPECT_TRUE(w->state().isDirty());
    EXPECT_EQ(w->grid().text(2, 2), QStringLiteral("打合せ"));
    EXPECT_EQ(w->state().ScheduleList.at(1, RRuleValue), QStringLiteral("W1 TU #3"));
    EXPECT_EQ(w->grid().text(2, 4), QStringLiteral("2024/01/16 12:00:00"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditorWindowTest, TelephoneBookButtonFillsTheAlarmNumber)
{
    // The book in the user's data folder of a home of its own.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    const QString bookPath = BookLocation::standard().userFile;
    QDir().mkpath(QFileInfo(bookPath).path());
    QFile book(bookPath);
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    book.write("090-1234-5678,A\r\n");
    book.close();

    QTimer pick;
    pick.setInterval(10);
    QObject::connect(&pick, &QTimer::timeout, [&] {
        if (auto *b = qobject_cast<frmEditAdd *>(QApplication::activeModalWidget())) {
            auto *grid = b->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                               grid->visualItemRect(grid->item(0, 1)).center());
        }
    });
    w->showModal = [&](QDialog &d) {
        pick.start();
        child<QPushButton>(d, "Command1")->click();
        pick.stop();
        EXPECT_EQ(child<QLineEdit>(d, "txtArTel")->text(), QStringLiteral("090-1234-5678"));
        child<QPushButton>(d, "cmdOk")->click();
    };
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    QStandardPaths::setTestModeEnabled(false);
    qputenv("HOME", oldHome);
    EXPECT_EQ(w->state().AddressListCaller, QStringLiteral("EditR"));
    EXPECT_EQ(w->state().ScheduleList.at(0, TelValue), QStringLiteral("090-1234-5678"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditorWindowTest, AddStoresANewRow)
{
    w->showModal = [&](QDialog &d) {
        child<QComboBox>(d, "txtSummary")->setEditText(QStringLiteral("新規"));
        // The empty end is set and cleared from the keyboard: Space on the
        // empty field sets it, Delete in the time clears the end again.
        auto *toDate = child<NullablePicker>(d, "dtpToDate");
        ASSERT_TRUE(toDate->isEmpty());
        QTest::keyClick(child<QLineEdit>(d, "dtpToDate_empty"), Qt::Key_Space);
        EXPECT_FALSE(toDate->isEmpty());
        EXPECT_FALSE(child<NullablePicker>(d, "dtpToTime")->isEmpty());
        QTest::keyClick(child<QWidget>(d, "dtpToTime_edit"), Qt::Key_Delete);
        EXPECT_TRUE(child<NullablePicker>(d, "dtpToTime")->isEmpty());
        EXPECT_TRUE(toDate->isEmpty());
        QTest::keyClick(child<QLineEdit>(d, "dtpToDate_empty"), Qt::Key_Return);
        child<QPushButton>(d, "cmdOk")->click();
    };
    w->findChild<QAction *>(QStringLiteral("tbrAdd"))->trigger();
    EXPECT_EQ(w->grid().rows(), 5);
    EXPECT_EQ(w->grid().row(), 4);
    EXPECT_EQ(w->grid().text(4, 2), QStringLiteral("新規"));
    const ScheduleEntry &added = w->state().ScheduleList[3];
    EXPECT_EQ(added[DtEndValue], added[DtStartValue]);
    EXPECT_EQ(w->findChild<QLabel *>(QStringLiteral("Panel1"))->text(), QStringLiteral("全 4 件"));
}

// SH51 to SH53 edit in frmEdit from every command that opens the editor;
// on SH52 an alarm set off empties the telephone number.
TEST_F(EditorWindowTest, OlderModelsEditInFrmEdit)
{
    w->findChild<QAction *>(QStringLiteral("mnuSH52"))->trigger();
    QStringList opened;
    w->showModal = [&](QDialog &d) { opened.append(d.objectName()); };
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    for (const char *command : {"tbrEdit", "mnuEditLine", "mnuAdd", "mnuCopyAdd"})
        w->findChild<QAction *>(QLatin1String(command))->trigger();
    EXPECT_EQ(opened, QStringList(5, QStringLiteral("frmEdit")));

    ScheduleEntry &first = w->state().ScheduleList[0];
    first[TelValue] = QStringLiteral("03-1234");
    first[DAlarmValue] = QStringLiteral("20240101113000;会議");
    w->showModal = [&](QDialog &d) {
        EXPECT_EQ(d.findChild<QWidget *>(QStringLiteral("TabStrip1")), nullptr);
        EXPECT_EQ(d.findChild<QWidget *>(QStringLiteral("Command1")), nullptr);
        EXPECT_EQ(d.findChild<QWidget *>(QStringLiteral("optSnoozeOn")), nullptr);
        EXPECT_EQ(child<QGroupBox>(d, "fraArarm")->title(), QStringLiteral("ｱﾗｰﾑ設定"));
        EXPECT_EQ(child<QRadioButton>(d, "optRmpSmall")->text(), QStringLiteral("SMAF連動"));
        EXPECT_FALSE(child<QWidget>(d, "cmbRmp3")->isVisibleTo(&d));
        auto *tel = child<QLineEdit>(d, "txtArTel");
        EXPECT_EQ(tel->text(), QStringLiteral("03-1234"));
        child<QRadioButton>(d, "optArarmOff")->click();
        EXPECT_FALSE(tel->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "cmdAddress")->isEnabled());
        child<QPushButton>(d, "cmdOk")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    EXPECT_EQ(first[DAlarmValue], QStringLiteral("00000000000000;"));
    EXPECT_EQ(first[TelValue], QString());
    EXPECT_TRUE(dialogs.messages.empty());

    // A number the editor would refuse, in an entry whose alarm is off: it
    // will not be stored, so OK does not refuse over it.
    first[TelValue] = QStringLiteral("(111) 555-1212");
    w->showModal = [&](QDialog &d) {
        EXPECT_FALSE(child<QLineEdit>(d, "txtArTel")->isEnabled());
        child<QPushButton>(d, "cmdOk")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    EXPECT_EQ(first[TelValue], QString());
    EXPECT_TRUE(dialogs.messages.empty());
}

// With the real dialogs: the refusal comes in a message box over the
// editor, and the editor stays open on the same entry until cancelled.
TEST_F(EditorWindowTest, RefusalShowsOverTheEditorInARealMessageBox)
{
    w.reset();
    w = std::make_unique<frmMain>();
    w->findChild<QAction *>(QStringLiteral("mnu603SH"))->trigger();
    fill(w->state(), w->grid(), 2);
    w->Grid_refresh();
    w->show();

    QStringList seen;
    bool okClicked = false;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << box->windowTitle() << box->text()
                 << (box->parentWidget() ? box->parentWidget()->objectName() : QString());
            box->button(QMessageBox::Ok)->click();
        } else if (modal && modal->objectName() == QLatin1String("frmEditR")) {
            if (!seen.isEmpty()) {
                modal->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
                driver.stop();
                return;
            }
            if (okClicked)
                return;
            okClicked = true;
            modal->findChild<QComboBox *>(QStringLiteral("txtSummary"))->setEditText(QString());
            // Clicked after this tick, so the box it opens meets the next.
            QMetaObject::invokeMethod(modal->findChild<QPushButton *>(QStringLiteral("cmdOk")), "click",
                                      Qt::QueuedConnection);
        }
    });
    driver.start();
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    EXPECT_EQ(seen, QStringList({"エラー", "件名を入力して下さい。　　　", "frmEditR"}));
    EXPECT_EQ(w->state().ScheduleList.at(0, SummaryValue), QStringLiteral("1"));
    EXPECT_FALSE(w->state().isDirty());
}

TEST_F(EditorWindowTest, AlarmPageGreysWhenOffAndStoresWhatWasChosen)
{
    w->showModal = [&](QDialog &d) {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        // The list's entries have the alarm off: the group is grey but the telephone.
        EXPECT_TRUE(child<QRadioButton>(d, "optArarmOff")->isChecked());
        for (const char *name : {"dtpArDate", "txtArMessage", "optRing0", "cmbArmVol", "optRmpSmall",
                                 "optPreArarmOn", "optSnoozeOn", "optArmTime"})
            EXPECT_FALSE(child<QWidget>(d, name)->isEnabled()) << name;
        EXPECT_TRUE(child<QWidget>(d, "txtArTel")->isEnabled());
        EXPECT_TRUE(child<QWidget>(d, "Command1")->isEnabled());
        // Captions written beside a control grey with it.
        const auto caption = [&d](const QString &text) {
            for (auto *l : d.findChildren<QLabel *>())
                if (l->text() == text)
                    return l->isEnabled();
            ADD_FAILURE() << "no caption " << text.toStdString();
            return false;
        };
        for (const char *text : {"バイブ", "点滅", "カラー"})
            EXPECT_FALSE(caption(QString::fromUtf8(text))) << text;

        child<QRadioButton>(d, "optArarmOn")->click();
        EXPECT_TRUE(child<QWidget>(d, "txtArMessage")->isEnabled());
        EXPECT_TRUE(caption(QStringLiteral("バイブ")));
        EXPECT_TRUE(caption(QStringLiteral("点滅")));
        child<QRadioButton>(d, "optRmpSmall")->click();
        EXPECT_FALSE(child<QWidget>(d, "cmbRmp1")->isEnabled());
        EXPECT_FALSE(caption(QStringLiteral("点滅")));
        auto *small = child<QComboBox>(d, "cmbRmp3");
        small->setCurrentIndex(4);
        emit small->activated(4);
        child<QRadioButton>(d, "optSnoozeOn")->click();
        auto *snooze = child<QLineEdit>(d, "txtSnooze");
        EXPECT_EQ(snooze->text(), QStringLiteral("2"));
        snooze->selectAll();
        QTest::keyClicks(snooze, "7");
        child<QRadioButton>(d, "optPreArarmOn")->click();
        EXPECT_EQ(child<QLabel>(d, "Label32")->text(), QStringLiteral("(2～99)"));
        auto *unit = child<QComboBox>(d, "cmbPreArarm");
        unit->setCurrentIndex(1);
        emit unit->activated(1);
        EXPECT_EQ(child<QLabel>(d, "Label32")->text(), QStringLiteral("(1～24)"));
        auto *pre = child<QLineEdit>(d, "txtPreArarm");
        pre->setFocus();
        pre->selectAll();
        QTest::keyClicks(pre, "30");
        auto *seconds = child<QLineEdit>(d, "optArmTime");
        seconds->setFocus();
        seconds->selectAll();
        QTest::keyClicks(seconds, "1");
        child<QPushButton>(d, "cmdOk")->setFocus();  // the fields' limits apply on leaving them
        EXPECT_EQ(pre->text(), QStringLiteral("24"));
        EXPECT_EQ(seconds->text(), QStringLiteral("2"));
        // OK (by Enter) while a number is still being typed: its limit still applies.
        snooze->setFocus();
        snooze->selectAll();
        QTest::keyClicks(snooze, "50");
        child<QPushButton>(d, "cmdOk")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    const ScheduleList &list = w->state().ScheduleList;
    EXPECT_EQ(list.at(0, DAlarmValue), QStringLiteral("20240101120000;"));
    EXPECT_EQ(list.at(0, CmbltNoValue), QStringLiteral("ON2;4;0"));
    EXPECT_EQ(list.at(0, SnoozeValue), QStringLiteral("ON;PT20M"));
    EXPECT_EQ(list.at(0, PreAlarmValue), QStringLiteral("ON;PT24H"));
    EXPECT_EQ(list.at(0, SecValue), QStringLiteral("2"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditorWindowTest, ChoosersFillTheNamesAndThePreviewShowsThePicture)
{
    const QString pictureFolder =
        QStringLiteral(SKEDRA_SHARED_DIR "/testdata/png-extra/image-png-tests/bugfixes/");
    const QString pictureName = QStringLiteral("gama-srgb-order-issue_304.png");  // 320 x 480
    dialogs.openFiles = {QStringLiteral("/home/u/音声/song.mp4"), pictureFolder + pictureName};
    w->showModal = [&](QDialog &d) {
        child<QRadioButton>(d, "optArarmOn")->click();
        child<QRadioButton>(d, "optRing2")->click();
        for (auto *folder : d.findChildren<QRadioButton *>(QStringLiteral("opt_folder"))) {
            if (folder->property("index").toInt() == 1)
                folder->click();
        }
        child<QPushButton>(d, "btnRing")->click();
        EXPECT_EQ(child<QLineEdit>(d, "txtRing2")->text(), QStringLiteral("song.mp4"));

        child<QTabBar>(d, "TabStrip1")->setCurrentIndex(1);
        EXPECT_FALSE(child<QWidget>(d, "btnPic")->isEnabled());
        EXPECT_EQ(child<QGroupBox>(d, "Frame1")->title(), QStringLiteral(" ﾌﾟﾚﾋﾞｭｰ "));
        EXPECT_EQ(child<QLabel>(d, "Label33")->text(), QStringLiteral("(JPG/PNGのみ対応)"));
        child<QRadioButton>(d, "optPicOn")->click();
        child<QPushButton>(d, "btnPic")->click();
        EXPECT_EQ(child<QLineEdit>(d, "txtPic")->text(), pictureName);
        // Portrait: 330 twips from the top, 1.5 times as high as wide.
        auto *image = child<QLabel>(d, "Image1");
        EXPECT_TRUE(image->isVisibleTo(&d));
        EXPECT_EQ(image->y(), 22);
        EXPECT_EQ(image->height(), image->width() * 3 / 2);
        EXPECT_EQ(image->pixmap().size(), QSize(320, 480));
        child<QPushButton>(d, "cmdOk")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    const ScheduleList &list = w->state().ScheduleList;
    EXPECT_EQ(list.at(0, SndValue), QStringLiteral("3;song.mp4"));
    EXPECT_EQ(list.at(0, AttachValue), pictureName);
    // Both first uses showed their note; the folders are kept for the next run.
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("注意事項"));
    EXPECT_EQ(w->attachmentFolder(AttachmentFolder::Audio), QStringLiteral("/home/u/音声/"));
    EXPECT_EQ(w->attachmentFolder(AttachmentFolder::Image), pictureFolder);
    EXPECT_EQ(SettingsStore().attachmentFolder(AttachmentFolder::Image), pictureFolder);
}

// Clicks that leave the start where it was leave the alarm where it was:
// 毎週 on an entry whose start is already that weekday, then the weekday.
TEST_F(EditorWindowTest, WeeklyClickKeepsTheAlarmOfAnUnmovedStart)
{
    ScheduleEntry &e = w->state().ScheduleList[0];
    e[DtStartValue] = QStringLiteral("20240104153000");  // a Thursday
    e[DAlarmValue] = QStringLiteral("20240104150000;会議");
    w->showModal = [&](QDialog &d) {
        child<QRadioButton>(d, "optWeek")->click();
        ASSERT_TRUE(child<QRadioButton>(d, "optThu")->isChecked());
        child<QRadioButton>(d, "optThu")->click();
        EXPECT_EQ(child<QTimeEdit>(d, "dtpArTime")->time(), QTime(15, 0));
        child<QPushButton>(d, "cmdOk")->click();
    };
    w->grid().setRow(1);
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    EXPECT_EQ(e[RRuleValue], QStringLiteral("W1 TH #0"));
    EXPECT_EQ(e[DAlarmValue], QStringLiteral("20240104150000;会議"));
    EXPECT_EQ(e[ShAlarmValue], QStringLiteral("20240104150000"));
}

// An entry opened, walked through with Tab and stored untouched keeps what
// it loaded: a message with ";", numbers beyond their fields' limits or
// with a leading zero, line breaks as CR LF. A lamp without its colour
// shows none and is repaired as the store repairs a missing colour.
// Line breaks typed into the description are stored as CR LF too.
TEST_F(EditorWindowTest, AnEntryStoredUntouchedKeepsWhatItLoaded)
{
    ScheduleEntry &e = w->state().ScheduleList[0];
    const std::vector<std::pair<int, QString>> loaded = {
        {DAlarmValue, QStringLiteral("20240101113000;会議;3F")},
        {SecValue, QStringLiteral("100")},
        {PreAlarmValue, QStringLiteral("ON;PT150M")},
        {SnoozeValue, QStringLiteral("ON;PT05M")},
        {DescriptionValue, QStringLiteral("会議室\r\n3F")},
        {CmbltNoValue, QStringLiteral("ON1;2")},
    };
    for (const auto &[slot, value] : loaded) {
        e[slot % PositionCount] = QStringLiteral("X");  // the property is present
        e[slot] = value;
    }
    w->showModal = [&](QDialog &d) {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        EXPECT_EQ(child<QLineEdit>(d, "txtArMessage")->text(), QStringLiteral("会議;3F"));
        EXPECT_EQ(child<QLineEdit>(d, "optArmTime")->text(), QStringLiteral("100"));
        EXPECT_EQ(child<QLineEdit>(d, "txtPreArarm")->text(), QStringLiteral("150"));
        EXPECT_EQ(child<QLineEdit>(d, "txtSnooze")->text(), QStringLiteral("05"));
        EXPECT_EQ(child<QComboBox>(d, "cmbRmp1")->currentIndex(), 2);
        EXPECT_EQ(child<QComboBox>(d, "cmbRmp2")->currentIndex(), -1);
        // Into and out of every field of the alarm page, typing nothing.
        child<QLineEdit>(d, "txtArMessage")->setFocus();
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        child<QPushButton>(d, "cmdOk")->click();
    };
    w->grid().setRow(1);
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    for (const auto &[slot, value] : loaded) {
        if (slot != CmbltNoValue)
            EXPECT_EQ(e[slot], value) << slot;
    }
    EXPECT_EQ(e[CmbltNoValue], QStringLiteral("ON1;2;3"));

    w->showModal = [&](QDialog &d) {
        auto *description = child<QPlainTextEdit>(d, "txtDescription");
        description->setFocus();
        description->moveCursor(QTextCursor::End);
        QTest::keyClick(description, Qt::Key_Return);
        QTest::keyClicks(description, "4F");
        child<QPushButton>(d, "cmdOk")->click();
    };
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    EXPECT_EQ(e[DescriptionValue], QStringLiteral("会議室\r\n3F\r\n4F"));
    EXPECT_TRUE(dialogs.messages.empty());
}

// Next and Back through the real editors: the middle entry stores what it
// stores when opened directly, though its neighbours hold the whole alarm
// group and it holds none of it but the alarm; a weekly meeting without
// end stays "needs action" however it is reached.
TEST_F(EditorWindowTest, NextAndBackStoreWhatOpeningStores)
{
    ScheduleEntry rich = entry(QStringLiteral("通院"), QStringLiteral("20240110100000"));
    const std::vector<std::pair<int, const char *>> alarmGroup = {
        {DAlarmValue, "20240110093000;診察"}, {SndValue, "1;song.mmf"}, {CmbltNoValue, "ON2;4;0"},
        {SnoozeValue, "ON;PT7M"}, {PreAlarmValue, "ON;PT3H"}, {CalColorValue, "PINK"},
        {AttachValue, "a.png"}, {TelValue, "090-1234-5678"}, {VivValue, "ON"}, {VolValue, "2"},
        {SecValue, "30"}, {NoAutoDelValue, "ON"}, {NoDispDefWinValue, "OFF"}};
    for (const auto &[slot, value] : alarmGroup) {
        rich[slot % PositionCount] = QStringLiteral("X");
        rich[slot] = QString::fromUtf8(value);
    }
    ScheduleEntry meeting = entry(QStringLiteral("定例会議"), QStringLiteral("20230102100000"));
    meeting[DtEndValue] = QStringLiteral("20230102110000");
    meeting[RRuleName] = QStringLiteral("RRULE");
    meeting[RRuleValue] = QStringLiteral("W1 MO #0");
    meeting[DAlarmValue] = QStringLiteral("20230102093000;");  // on, so that every alarm field counts

    for (const char *model : {"mnu603SH", "mnuSH53"}) {
        w->findChild<QAction *>(QLatin1String(model))->trigger();
        std::optional<ScheduleEntry> direct;
        for (const char *road : {"", "Command6", "Command7"}) {
            SCOPED_TRACE(std::string(model) + " " + road);
            SessionState &s = w->state();
            s.ScheduleList.clear();
            s.ScheduleList[0] = rich;
            s.ScheduleList[1] = meeting;
            s.ScheduleList[2] = rich;
            fitGridToList(s.ScheduleList, w->grid(), true);
            w->Grid_refresh();
            const QString button = QLatin1String(road);
            w->showModal = [&](QDialog &d) {
                if (!button.isEmpty())
                    child<QPushButton>(d, road)->click();
                ASSERT_EQ(s.EditIndex, 2);
                EXPECT_EQ(child<QComboBox>(d, "txtSummary")->currentText(), QStringLiteral("定例会議"));
                child<QPushButton>(d, "cmdOk")->click();
            };
            w->grid().setRow(button.isEmpty() ? 2 : button == QLatin1String("Command6") ? 1 : 3);
            w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
            const ScheduleEntry &stored = s.ScheduleList[1];
            EXPECT_EQ(stored[StatusValue], QStringLiteral("NEEDS ACTION"));
            if (!direct) {
                direct = stored;
                continue;
            }
            for (int slot = 0; slot < SlotCount; ++slot)
                EXPECT_EQ(stored[slot], (*direct)[slot]) << slot;
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// The input method is closed while any of the six date and time pickers
// has the focus (what the platform's input method asks of the focused
// control), and open in the text fields.
TEST_F(EditorWindowTest, DateAndTimePickersCloseTheInputMethod)
{
    ScheduleEntry &e = w->state().ScheduleList[0];
    e[DtEndValue] = QStringLiteral("20240101130000");
    e[DAlarmValue] = QStringLiteral("20240101113000;");
    w->showModal = [&](QDialog &d) {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        const auto inputMethodOpen = [](QWidget *target) {
            target->setFocus();
            QInputMethodQueryEvent query(Qt::ImEnabled);
            QCoreApplication::sendEvent(QGuiApplication::focusObject(), &query);
            return query.value(Qt::ImEnabled).toBool();
        };
        for (const char *name : {"dtpFrDate", "dtpFrTime", "dtpToDate", "dtpToTime", "dtpArDate", "dtpArTime"})
            EXPECT_FALSE(inputMethodOpen(child<QWidget>(d, name))) << name;
        EXPECT_TRUE(inputMethodOpen(child<QComboBox>(d, "txtSummary")));
        EXPECT_TRUE(inputMethodOpen(child<QLineEdit>(d, "txtArMessage")));
        d.reject();
    };
    w->grid().setRow(1);
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
}

// frmEditR is sized once for both pages: showing ｵﾌﾟｼｮﾝ設定 changes neither
// its size nor where OK sits. And it fits a 1366 x 768 screen with a
// panel and a title bar.
TEST_F(EditorWindowTest, EditorKeepsOneSizeForBothPagesAndFitsA768Screen)
{
    w->showModal = [&](QDialog &d) {
        d.show();
        QCoreApplication::processEvents();
        auto *ok = child<QPushButton>(d, "cmdOk");
        const QSize size = d.size();
        const QPoint okAt = ok->mapTo(&d, QPoint(0, 0));
        for (int tab : {1, 0, 1}) {
            child<QTabBar>(d, "TabStrip1")->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            EXPECT_EQ(d.size(), size) << tab;
            EXPECT_EQ(ok->mapTo(&d, QPoint(0, 0)), okAt) << tab;
        }
        constexpr int Panel = 40, TitleBar = 32;
        EXPECT_LE(d.minimumSizeHint().height(), 768 - Panel - TitleBar);
        EXPECT_LE(d.height(), 768 - Panel - TitleBar);
        EXPECT_LE(d.width(), 1366);
        d.reject();
    };
    w->grid().setRow(1);
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
}

// Option buttons are radio groups as in desktop dialogs: one Tab stop per
// group (its selected option), Tab from top to bottom, arrow keys select
// within the group and run its handler once, Ctrl+Tab and Ctrl+PgDn (with
// Shift, Ctrl+PgUp) switch the pages.
TEST_F(EditorWindowTest, OptionGroupsTabAndArrowKeysAsInDesktopDialogs)
{
    ScheduleEntry &e = w->state().ScheduleList[0];
    const std::vector<std::pair<int, const char *>> values = {
        {DAlarmValue, "20240101113000;会議"}, {SndValue, "0;3"},   {CmbltNoValue, "ON1;2;5"},
        {PreAlarmValue, "ON;PT3H"},           {SnoozeValue, "OFF"}, {VivValue, "OFF"}};
    for (const auto &[slot, value] : values) {
        e[slot % PositionCount] = QStringLiteral("X");
        e[slot] = QString::fromUtf8(value);
    }
    w->showModal = [&](QDialog &d) {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        // The controls Tab visits from `first` on, `count` of them (a date
        // picker's Tab steps through its year, month and day first).
        const auto chain = [&d](const char *first, int count) {
            child<QWidget>(d, first)->setFocus();
            QStringList names;
            while (names.size() < count) {
                QWidget *f = QApplication::focusWidget();
                const QString name = f ? f->objectName() : QString();
                if (names.isEmpty() || names.last() != name)
                    names << name;
                QTest::keyClick(f, Qt::Key_Tab);
            }
            return names;
        };
        // The alarm page, top to bottom; greyed controls take no stop.
        EXPECT_EQ(chain("optArarmOn", 19),
                  QStringList({"optArarmOn", "dtpArDate", "dtpArTime", "txtArMessage", "txtArTel", "Command1",
                               "optRing0", "cmbRing0", "cmbArmVol", "optVivOff", "optArmTime", "optRmpMobile",
                               "cmbRmp1", "cmbRmp2", "optPreArarmOn", "txtPreArarm", "cmbPreArarm",
                               "optSnoozeOff", "Command7"}));

        // Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and
        // Ctrl+PgUp to the one before; two pages take turns.
        auto *tabs = child<QTabBar>(d, "TabStrip1");
        auto *summary = child<QComboBox>(d, "txtSummary");
        const std::vector<std::pair<QKeyCombination, int>> switches = {
            {Qt::CTRL | Qt::Key_Tab, 1},      {Qt::CTRL | Qt::Key_Tab, 0},
            {Qt::CTRL | Qt::Key_PageDown, 1}, {Qt::CTRL | Qt::Key_PageUp, 0},
            {Qt::CTRL | Qt::Key_PageUp, 1},   {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 0},
        };
        for (const auto &[key, page] : switches) {
            summary->setFocus();
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            EXPECT_EQ(tabs->currentIndex(), page);
            EXPECT_EQ(child<QWidget>(d, "fraOption")->isVisible(), page == 1);
            EXPECT_EQ(child<QWidget>(d, "fraArarm")->isVisible(), page == 0);
        }

        // The option page, top to bottom.
        tabs->setCurrentIndex(1);
        EXPECT_EQ(chain("optSecretOff", 9),
                  QStringList({"optSecretOff", "cmbCategories", "cmbPriority", "optNeeds", "optAutoDelOff",
                               "optDifpDefOn", "cmbDateColor", "optPicOff", "Command7"}));

        // An arrow key selects the next option of its group and runs the
        // group's handler as a click does, once.
        tabs->setCurrentIndex(0);
        EditorModel &m = static_cast<frmEditR &>(d).model();
        auto *ring0 = child<QRadioButton>(d, "optRing0");
        auto *ring2 = child<QRadioButton>(d, "optRing2");
        long calls = m.handlerCalls();
        ring2->click();
        const long perClick = m.handlerCalls() - calls;
        ring0->click();
        ring0->setFocus();
        calls = m.handlerCalls();
        QTest::keyClick(ring0, Qt::Key_Down);
        EXPECT_TRUE(ring2->isChecked());
        EXPECT_FALSE(ring0->isChecked());
        EXPECT_TRUE(ring2->hasFocus());
        EXPECT_TRUE(child<QLineEdit>(d, "txtRing2")->isEnabled());
        EXPECT_EQ(m.handlerCalls() - calls, perClick);
        QTest::keyClick(ring2, Qt::Key_Up);
        EXPECT_TRUE(ring0->isChecked());
        EXPECT_TRUE(child<QComboBox>(d, "cmbRing0")->isEnabled());
        auto *vibration = child<QRadioButton>(d, "optVivOff");
        vibration->setFocus();
        QTest::keyClick(vibration, Qt::Key_Left);
        EXPECT_TRUE(child<QRadioButton>(d, "optVivOn")->isChecked());
        child<QPushButton>(d, "cmdOk")->click();
    };
    w->grid().setRow(1);
    w->findChild<QAction *>(QStringLiteral("mnuEditLine"))->trigger();
    EXPECT_EQ(e[VivValue], QStringLiteral("ON"));
    EXPECT_EQ(e[SndValue], QStringLiteral("0;0"));  // the folder option cleared the melody
}

// An entry whose picture is a file of a few bytes declaring 20000 x 20000
// pixels opens with an empty preview and one line saying why, instead of
// decoding gigabytes; OK keeps the picture's name.
TEST_F(EditorWindowTest, APictureDeclaringAHugeSizeOpensWithoutAPreview)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeDeclaredPng(dir.filePath(QStringLiteral("huge.png")), 20000, 20000, 2));
    w->state().AttachmentFolders[size_t(AttachmentFolder::Image)] = dir.path() + u'/';
    w->state().ScheduleList.at(0, AttachName) = QStringLiteral("X-JPGSH-ATTACH");
    w->state().ScheduleList.at(0, AttachValue) = QStringLiteral("huge.png");
    w->showModal = [&](QDialog &d) {
        EXPECT_EQ(child<QLineEdit>(d, "txtPic")->text(), QStringLiteral("huge.png"));
        EXPECT_FALSE(child<QLabel>(d, "Image1")->isVisibleTo(&d));
        child<QPushButton>(d, "cmdOk")->click();
    };
    testing::internal::CaptureStderr();
    QTest::mouseClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    QTest::mouseDClick(w->gridView()->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(said.count(QStringLiteral("skedra: no preview of ")), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("20000 x 20000 pixels"))) << said.toStdString();
    EXPECT_EQ(w->state().ScheduleList.at(0, AttachValue), QStringLiteral("huge.png"));
    EXPECT_TRUE(dialogs.messages.empty());
}
