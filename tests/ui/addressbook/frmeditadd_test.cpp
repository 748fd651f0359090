// The telephone book window: what it shows and saves, the save question,
// import through the file dialog and the pick into the calling editor.
#include "frmeditadd.h"
#include "notice_counter.h"
#include "scripted_dialogs.h"
#include "session.h"
#include "sjis.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace skedra;
using namespace skedra::test;

namespace {

class BookWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        at = {dir.filePath(QStringLiteral("user/address.txt")), dir.filePath(QStringLiteral("program/address.txt"))};
    }
    void writeBook(const QString &text)
    {
        QDir().mkpath(QFileInfo(at.userFile).absolutePath());
        QFile f(at.userFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Sjis::encode(text));
    }
    QByteArray bookBytes() const
    {
        QFile f(at.userFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    std::unique_ptr<frmEditAdd> open()
    {
        auto book = std::make_unique<frmEditAdd>(dialogs, nullptr, [this](const QString &n) { picked.append(n); }, at);
        book->show();
        return book;
    }
    static QString cell(const frmEditAdd &book, int row, int col)
    {
        return book.findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"))->item(row, col)->text();
    }
    static QLineEdit *box(const frmEditAdd &book, const char *name)
    {
        return book.findChild<QLineEdit *>(QLatin1String(name));
    }
    static void click(const frmEditAdd &book, const char *name)
    {
        book.findChild<QPushButton *>(QLatin1String(name))->click();
    }

    QTemporaryDir dir;
    BookLocation at;
    ScriptedDialogs dialogs;
    QStringList picked;
};

} // namespace

TEST_F(BookWindowTest, ShowsAndSavesTheBookUnchanged)
{
    writeBook(QStringLiteral("090-1234-5678,山田\r\n"));
    auto book = open();
    EXPECT_EQ(book->windowTitle(), QStringLiteral("電話帳"));
    EXPECT_EQ(cell(*book, 0, 1), QStringLiteral("山田"));
    EXPECT_EQ(cell(*book, 0, 2), QStringLiteral("090-1234-5678"));
    EXPECT_EQ(box(*book, "txtName")->text(), QStringLiteral("山田"));
    EXPECT_EQ(box(*book, "txtAddress")->text(), QStringLiteral("090-1234-5678"));
    click(*book, "btnOk");
    EXPECT_FALSE(book->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(bookBytes(), Sjis::encode(QStringLiteral("090-1234-5678,山田\r\n")));
}

TEST_F(BookWindowTest, SaveQuestionWhenClosingAChangedBook)
{
    const struct {
        Answer answer;
        bool closed;
        const char *file;
    } cases[] = {
        {Answer::Yes, true, "1,Ax\r\n"},
        {Answer::No, true, "1,A\r\n"},
        {Answer::Cancel, false, "1,A\r\n"},
    };
    for (const auto &c : cases) {
        writeBook(QStringLiteral("1,A\r\n"));
        dialogs.messages.clear();
        auto book = open();
        QLineEdit *name = box(*book, "txtName");
        name->end(false);
        QTest::keyClicks(name, "x");
        EXPECT_EQ(cell(*book, 0, 1), QStringLiteral("Ax"));  // the list follows the typing
        dialogs.answers = {c.answer};
        click(*book, "btnCancel");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.last().title, QStringLiteral("確認"));
        EXPECT_EQ(dialogs.last().text, QStringLiteral("電話帳データが更新されています。\n保存しますか？"));
        EXPECT_EQ(dialogs.last().icon, MessageIcon::Warning);
        EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(book->isVisible(), !c.closed);
        EXPECT_EQ(bookBytes(), QByteArray(c.file));
        dialogs.answers = {Answer::No};
        book->close();
    }
}

TEST_F(BookWindowTest, ImportThroughTheFileDialog)
{
    auto book = open();
    // Cancelled: nothing changes, and closing asks nothing.
    dialogs.openFiles = {QString()};
    click(*book, "btnImport");
    EXPECT_EQ(dialogs.fileDialogs, QStringList{QStringLiteral("open:ファイルを開く|vCard (*.vcf)")});
    EXPECT_FALSE(book->book().changed());
    EXPECT_EQ(book->book().rowCount(), 1);

    // Not a vCard: one message, nothing added.
    QFile notCard(dir.filePath(QStringLiteral("note.vcf")));
    ASSERT_TRUE(notCard.open(QIODevice::WriteOnly));
    notCard.write("just a note\r\n");
    notCard.close();
    dialogs.openFiles = {notCard.fileName()};
    click(*book, "btnImport");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.last().text.startsWith(QStringLiteral("vCardファイルではないようです")));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    EXPECT_FALSE(book->book().changed());

    // A phone's file fills the empty book, sorted.
    dialogs.openFiles = {QStringLiteral(SKEDRA_SHARED_DIR "/testdata/vcard-corpus/gammu__yahoo.vcf")};
    click(*book, "btnImport");
    EXPECT_EQ(book->book().rowCount(), 2);
    EXPECT_EQ(cell(*book, 0, 1), QStringLiteral(";ACENET;;;"));
    EXPECT_EQ(cell(*book, 0, 2), QStringLiteral("(07) 3899-1411"));
    EXPECT_TRUE(book->book().changed());
    dialogs.answers = {Answer::No};
    book->close();
}

TEST_F(BookWindowTest, FailedSaveKeepsTheBookOpen)
{
    writeBook(QStringLiteral("1,A\r\n"));
    // The user's folder became a file: the book cannot be written there.
    at.userFile = dir.filePath(QStringLiteral("user/address.txt/address.txt"));
    auto book = open();
    EXPECT_EQ(cell(*book, 0, 1), QString());
    click(*book, "btnAdd");
    QTest::keyClicks(box(*book, "txtName"), "B");
    click(*book, "btnOk");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_TRUE(book->isVisible());
    EXPECT_TRUE(book->book().changed());
    EXPECT_EQ(book->book().recordsToSave().size(), 1);
    dialogs.answers = {Answer::No};
    book->close();
}

TEST_F(BookWindowTest, DoubleClickHandsTheNumberToTheEditor)
{
    // Through the call the editors make, with the book in the user's data
    // folder of a home of its own.
    qputenv("HOME", dir.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    at = BookLocation::standard();
    writeBook(QStringLiteral("03-1234-5678,A\r\n(111) 555-1212,B\r\n"));
    SessionState state;
    QLineEdit txtArTel;
    QTimer pick;
    pick.setInterval(10);
    QObject::connect(&pick, &QTimer::timeout, [&] {
        if (auto *book = qobject_cast<frmEditAdd *>(QApplication::activeModalWidget())) {
            auto *grid = book->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 1)).center());
        }
    });
    pick.start();
    openAddressList(state, dialogs, nullptr, QStringLiteral("EditR"), &txtArTel);
    pick.stop();
    QStandardPaths::setTestModeEnabled(false);
    EXPECT_EQ(state.AddressListCaller, QStringLiteral("EditR"));
    EXPECT_EQ(txtArTel.text(), QStringLiteral("111-555-1212")) << "as the editor takes it";
    EXPECT_TRUE(dialogs.messages.empty());
}

// Imported names that Shift_JIS cannot hold: letters with a Latin base are
// saved in ASCII without a word; characters that would still become "?"
// are counted in a question first, and the user may go back.
TEST_F(BookWindowTest, SavingAsksBeforeCharactersBecomeQuestionMarks)
{
    auto book = open();
    dialogs.openFiles = {QStringLiteral(SKEDRA_SHARED_DIR "/testdata/vcard-corpus/opensync__kdepim-umlaute-2.1.vcf")};
    click(*book, "btnImport");
    ASSERT_GT(book->book().rowCount(), 1);
    click(*book, "btnAdd");
    QTest::keyClicks(box(*book, "txtAddress"), "1");
    box(*book, "txtName")->setText(QStringLiteral("김철수"));
    emit box(*book, "txtName")->textEdited(QStringLiteral("김철수"));

    dialogs.answers = {Answer::No};
    click(*book, "btnOk");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("警告"));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Shift_JISで表せない文字が3文字あります。　　　\n「?」に置き換えて保存しますか？"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.last().buttons, MessageButtons::YesNo);
    EXPECT_TRUE(book->isVisible()) << "going back keeps the book open and unsaved";
    EXPECT_EQ(bookBytes(), QByteArray("<missing>"));

    dialogs.answers = {Answer::Yes};
    click(*book, "btnOk");
    EXPECT_FALSE(book->isVisible());
    const QString saved = Sjis::decode(bookBytes());
    EXPECT_TRUE(saved.contains(QStringLiteral("1,???\r\n")));
    EXPECT_EQ(saved.count(u'?'), 3) << "the umlauts were written as letters";
}

// What an import brought in is what the book shows after saving and opening
// again, numbers that start with spaces and "#" included.
TEST_F(BookWindowTest, ImportedRecordsComeBackAfterSaving)
{
    QFile card(dir.filePath(QStringLiteral("codes.vcf")));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("BEGIN:VCARD\r\nN:A\r\nTEL: #3\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:B\r\nTEL:#9110\r\nEND:VCARD\r\n"
               "BEGIN:VCARD\r\nN:C\r\nTEL:  #8\r\nEND:VCARD\r\n");
    card.close();
    auto book = open();
    dialogs.openFiles = {card.fileName()};
    click(*book, "btnImport");
    click(*book, "btnOk");
    EXPECT_TRUE(dialogs.messages.empty());

    auto again = open();
    ASSERT_EQ(again->book().rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(*again, row, 1), QString(QChar(u'A' + row)));
        EXPECT_EQ(cell(*again, row, 2), QStringList({QStringLiteral(" #3"), QStringLiteral("#9110"), QStringLiteral("  #8")})[row]);
    }
    EXPECT_FALSE(again->book().changed());
}

// The largest book: an import that would take it past MaxBookRecords rows is
// refused with one message and changes nothing (the loading notice is up
// while the file is read); a book file too large to
// read is reported and the book is not opened, so nothing can be saved over
// it.
TEST_F(BookWindowTest, BookSizeLimits)
{
    writeBook(QStringLiteral("1,A\r\n"));
    QFile card(dir.filePath(QStringLiteral("many.vcf")));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("BEGIN:VCARD\r\nN:B\r\n");
    for (int i = 0; i < MaxBookRecords; ++i)
        card.write("TEL:" + QByteArray::number(i) + "\r\n");
    card.write("END:VCARD\r\n");
    card.close();
    auto book = open();
    dialogs.openFiles = {card.fileName()};
    NoticeCounter notices;
    click(*book, "btnImport");
    EXPECT_EQ(notices.shown, 1) << "the loading notice while the file is read";
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs.last().text, QStringLiteral("電話帳は100000件までです。\n") + QDir::toNativeSeparators(card.fileName())
                                       + QStringLiteral("の電話番号を加えるとこれを超えるため、読み込みませんでした。　　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    EXPECT_EQ(book->book().rowCount(), 1);
    EXPECT_EQ(cell(*book, 0, 1), QStringLiteral("A"));
    EXPECT_FALSE(book->book().changed());
    book->close();

    // Through the call the editors make.
    qputenv("HOME", dir.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    at = BookLocation::standard();
    writeBook(QStringLiteral("1,A\r\n#") + QString(MaxBookFileBytes, u'x') + QStringLiteral("\r\n"));
    dialogs.messages.clear();
    SessionState state;
    QTimer closeAny;  // should the book open after all
    QObject::connect(&closeAny, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closeAny.start(100);
    openAddressList(state, dialogs, nullptr, QStringLiteral("EditR"), nullptr);
    closeAny.stop();
    QStandardPaths::setTestModeEnabled(false);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs.last().text,
              QDir::toNativeSeparators(at.userFile) + QStringLiteral("は大きすぎるため読み込めません。　　　"));
    EXPECT_EQ(dialogs.last().icon, MessageIcon::Critical);
    EXPECT_EQ(bookBytes().size(), MaxBookFileBytes + 8) << "the file is left as it was";
}
