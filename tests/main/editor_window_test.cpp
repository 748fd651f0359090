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
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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
