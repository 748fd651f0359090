// The telephone book: its file, its order and the rules of its buttons.
#include "addressbook.h"
#include "bookfile.h"
#include "sjis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace skedra;

namespace {

QByteArray sjis(const QString &text)
{
    return Sjis::encode(text);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QList<AddressRecord> records(std::initializer_list<std::pair<const char *, const char *>> rows)
{
    QList<AddressRecord> out;
    for (const auto &[name, number] : rows)
        out.append({QString::fromUtf8(name), QString::fromUtf8(number)});
    return out;
}

} // namespace

TEST(BookFile, ReadsAndWritesRecordLines)
{
    const struct {
        const char *file;
        QList<AddressRecord> read;
        const char *written;
    } cases[] = {
        {"090-1234-5678,山田\r\n", records({{"山田", "090-1234-5678"}}), "090-1234-5678,山田\r\n"},
        // Comments and empty lines are skipped and are not written back.
        {"# 会社\r\n\r\n03-1111-2222,本社\r\n#\r\n", records({{"本社", "03-1111-2222"}}), "03-1111-2222,本社\r\n"},
        // A second comma ends the name.
        {"011,札幌,支店\r\n", records({{"札幌", "011"}}), "011,札幌\r\n"},
        // A line without a comma is a number without a name.
        {"117\r\n", records({{"", "117"}}), "117,\r\n"},
        // A number starting with "#" is kept after a space, not as a comment.
        {" #9110,相談\r\n", records({{"相談", "#9110"}}), " #9110,相談\r\n"},
        {"", {}, ""},
    };
    for (const auto &c : cases) {
        const QList<AddressRecord> read = parseBook(sjis(QString::fromUtf8(c.file)));
        EXPECT_EQ(read, c.read) << c.file;
        EXPECT_EQ(renderBook(read), sjis(QString::fromUtf8(c.written))) << c.file;
    }
    // A comma the file cannot carry is written full-width, so the name
    // comes back whole.
    const QByteArray withComma = renderBook(records({{"Doe;John;Richter,James", "1,2"}}));
    EXPECT_EQ(withComma, sjis(QStringLiteral("1，2,Doe;John;Richter，James\r\n")));
    int unencodable = 0;
    renderBook(records({{"Ñandú", "1"}}), &unencodable);
    EXPECT_EQ(unencodable, 2);  // Ñ and ú
}

// The "#" that marks a comment line is kept off the start of every line
// written, and whatever number was written reads back as it was: a number
// that starts with spaces and "#" is written with one space more.
TEST(BookFile, EveryNumberReadsBackAsWritten)
{
    const struct {
        const char *number;
        const char *line;  // as written
    } cases[] = {
        {"#9110", " #9110,x\r\n"},
        {" #3", "  #3,x\r\n"},
        {"  #3", "   #3,x\r\n"},
        {" 3", " 3,x\r\n"},
        {"3 #", "3 #,x\r\n"},
        {" ", " ,x\r\n"},
        {"＃3", "＃3,x\r\n"},
    };
    for (const auto &c : cases) {
        const QList<AddressRecord> saved = records({{"x", c.number}});
        const QByteArray file = renderBook(saved);
        EXPECT_EQ(file, sjis(QString::fromUtf8(c.line))) << c.number;
        EXPECT_EQ(parseBook(file), saved) << c.number;
    }
}

TEST(BookFile, SortsByNameThenNumberNumbersAsNumbers)
{
    QList<AddressRecord> rows = records({{"山田", "2"},
                                         {"10", "x"},
                                         {"abd", "1"},
                                         {"9", "x"},
                                         {"ABC", "1"},
                                         {"山田", "10"},
                                         {"", ""},
                                         {"山田", "090-1"}});
    sortRecords(rows);
    EXPECT_EQ(rows, records({{"", ""},
                             {"9", "x"},
                             {"10", "x"},
                             {"ABC", "1"},
                             {"abd", "1"},
                             {"山田", "090-1"},
                             {"山田", "2"},
                             {"山田", "10"}}));
}

TEST(AddressBook, ButtonsKeepRowsAndScroll)
{
    AddressBook book;
    // Deleting the only row leaves one empty row.
    book.load(records({{"a", "1"}}));
    book.remove();
    EXPECT_EQ(book.rows(), records({{"", ""}}));
    EXPECT_TRUE(book.changed());

    // Adding to six rows: seven data rows and the header make eight grid
    // rows, so the top row becomes grid row 2 (the second record).
    book.load(records({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}}));
    EXPECT_FALSE(book.changed());
    book.add();
    EXPECT_EQ(book.rowCount(), 7);
    EXPECT_EQ(book.current(), 6);
    EXPECT_EQ(book.topRow(), 1);
    EXPECT_TRUE(book.changed());

    // Inserting puts an empty row at the current place, which stays current.
    book.setCurrent(2);
    book.insert();
    EXPECT_EQ(book.current(), 2);
    EXPECT_EQ(book.row(2), AddressRecord{});
    EXPECT_EQ(book.row(3).name, QStringLiteral("c"));

    // Deleting keeps the top row; the row below moves up into the current place.
    book.setTopRow(1);
    book.remove();
    EXPECT_EQ(book.topRow(), 1);
    EXPECT_EQ(book.row(book.current()).name, QStringLiteral("c"));

    // Typing the text a cell already has changes nothing.
    book.markSaved();
    book.setName(QStringLiteral("c"));
    EXPECT_FALSE(book.changed());
    book.setNumber(QStringLiteral("33"));
    EXPECT_TRUE(book.changed());
    EXPECT_EQ(book.row(book.current()).number, QStringLiteral("33"));

    // A row with both cells empty is not saved.
    EXPECT_EQ(book.recordsToSave().size(), 6);
}

TEST(AddressBook, ImportFillsTheOnlyEmptyRowFirst)
{
    AddressBook book;
    book.load({});
    book.importRecords(records({{"b", "2"}, {"a", "1"}}));
    EXPECT_EQ(book.rows(), records({{"a", "1"}, {"b", "2"}}));
    EXPECT_TRUE(book.changed());

    book.load(records({{"c", "3"}}));
    book.importRecords(records({{"d", "4"}}));
    EXPECT_EQ(book.rows(), records({{"c", "3"}, {"d", "4"}}));
}

// The book takes at most MaxBookRecords rows: an import past that is
// refused whole, the book unchanged. The one empty row of an empty book is
// filled, so it does not count.
TEST(AddressBook, ImportRefusedPastTheLargestBook)
{
    const struct {
        int rowsBefore;  // 0: the empty book's one empty row
        int imported;
        bool taken;
    } cases[] = {
        {0, MaxBookRecords, true},
        {0, MaxBookRecords + 1, false},
        {1, MaxBookRecords - 1, true},
        {1, MaxBookRecords, false},
        {MaxBookRecords, 0, false},  // an import of nothing still adds a row
    };
    for (const auto &c : cases) {
        QList<AddressRecord> before;
        for (int i = 0; i < c.rowsBefore; ++i)
            before.append({QStringLiteral("a"), QString::number(i)});
        QList<AddressRecord> imported;
        for (int i = 0; i < c.imported; ++i)
            imported.append({QStringLiteral("b"), QString::number(i)});
        AddressBook book;
        book.load(before);
        const QList<AddressRecord> rowsBefore = book.rows();
        EXPECT_EQ(book.importRecords(imported), c.taken) << c.rowsBefore << " + " << c.imported;
        if (c.taken) {
            EXPECT_EQ(book.rowCount(), std::max(1, c.rowsBefore + c.imported)) << c.rowsBefore << " + " << c.imported;
        } else {
            EXPECT_EQ(book.rows(), rowsBefore) << c.rowsBefore << " + " << c.imported;
            EXPECT_FALSE(book.changed()) << c.rowsBefore << " + " << c.imported;
        }
    }
}

// A book file is read when it holds at most MaxBookRecords records in at
// most MaxBookFileBytes; a larger one gives no record and TooLarge.
TEST(BookFile, LargestBookFileRead)
{
    QTemporaryDir dir;
    const BookLocation at{dir.filePath(QStringLiteral("address.txt")), QString()};
    const QByteArray record = "1,a\r\n";
    const struct {
        const char *what;
        QByteArray file;
        qsizetype records;  // -1: refused
    } cases[] = {
        {"the most records", record.repeated(MaxBookRecords) + "# and a comment\r\n", MaxBookRecords},
        {"one record more", record.repeated(MaxBookRecords + 1), -1},
        {"the largest file", "1,a\r\n#" + QByteArray(MaxBookFileBytes - 8, 'x') + "\r\n", 1},
        {"one byte more", "1,a\r\n#" + QByteArray(MaxBookFileBytes - 7, 'x') + "\r\n", -1},
    };
    for (const auto &c : cases) {
        writeFile(at.userFile, c.file);
        QList<AddressRecord> read;
        const BookMessage m = loadBook(at, read);
        if (c.records >= 0) {
            EXPECT_TRUE(m.ok()) << c.what;
            EXPECT_EQ(read.size(), c.records) << c.what;
        } else {
            EXPECT_EQ(m.code, BookCode::TooLarge) << c.what;
            EXPECT_EQ(m.text(), QDir::toNativeSeparators(at.userFile) + QStringLiteral("は大きすぎるため読み込めません。　　　"))
                << c.what;
            EXPECT_TRUE(read.isEmpty()) << c.what;
        }
    }
}

TEST(BookFile, KeptInTheUserDataFolder)
{
    QTemporaryDir dir;
    BookLocation at{dir.filePath(QStringLiteral("user/address.txt")), dir.filePath(QStringLiteral("program/address.txt"))};
    const auto load = [&at] {
        QList<AddressRecord> read;
        EXPECT_TRUE(loadBook(at, read).ok());
        return read;
    };
    // No book anywhere: an empty book, to be saved in the user's folder.
    EXPECT_TRUE(load().isEmpty());
    EXPECT_EQ(at.readPath(), at.userFile);

    // A book delivered beside the program is read while the user has none;
    // saving writes the user's copy and leaves the program's alone.
    writeFile(at.programFile, sjis(QStringLiteral("1,配布\r\n")));
    EXPECT_EQ(load(), records({{"配布", "1"}}));
    EXPECT_TRUE(saveBook(at, records({{"自分", "2"}})).ok());
    EXPECT_EQ(readAll(at.userFile), sjis(QStringLiteral("2,自分\r\n")));
    EXPECT_EQ(readAll(at.programFile), sjis(QStringLiteral("1,配布\r\n")));
    EXPECT_EQ(load(), records({{"自分", "2"}}));

    // A folder that cannot be made: the failure is reported, nothing is
    // written.
    writeFile(dir.filePath(QStringLiteral("blocker")), "x");
    BookLocation blocked{dir.filePath(QStringLiteral("blocker/sub/address.txt")), QString()};
    const BookMessage failed = saveBook(blocked, records({{"a", "1"}}));
    EXPECT_EQ(failed.code, BookCode::WriteFailed);
    EXPECT_EQ(failed.title(), QStringLiteral("エラー"));
    EXPECT_TRUE(failed.text().startsWith(QStringLiteral("電話帳を保存できませんでした。")));

    // The standard place is the application's data folder.
    QStandardPaths::setTestModeEnabled(true);
    const BookLocation standard = BookLocation::standard();
    EXPECT_EQ(standard.userFile,
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/address.txt"));
    EXPECT_TRUE(standard.programFile.endsWith(QStringLiteral("/address.txt")));
    QStandardPaths::setTestModeEnabled(false);
}

// What a double-click hands to the editor: the number as the editor takes
// it, whatever form a vCard wrote it in.
TEST(AddressBook, NumberHandedToTheEditor)
{
    const std::pair<const char *, const char *> cases[] = {
        {"(111) 555-1212", "111-555-1212"},
        {"tel:+1-418-656-9254;ext=102", "+1-418-656-9254"},
        {"TEL:+1-418-262-6501", "+1-418-262-6501"},
        {"(07) 3899-5174", "07-3899-5174"},
        {"905.555.1234", "905-555-1234"},
        {"+33 4 76 62 94 72", "+33-4-76-62-94-72"},
        {" 111 - 555 ", "111-555"},
        {"090-1234-5678", "090-1234-5678"},
        {"#9110", "#9110"},
        {"*67 555 0100", "*67-555-0100"},
        {"0300000000", "0300000000"},
        {"", ""},
    };
    for (const auto &[book, editor] : cases)
        EXPECT_EQ(editorNumber(QString::fromUtf8(book)), QString::fromUtf8(editor)) << book;
}

// Saving writes names and numbers in Shift_JIS: letters with a Latin base
// become ASCII first, and only what is left over would become "?".
TEST(BookFile, LatinLettersAreFoldedBeforeSaving)
{
    const struct {
        QList<AddressRecord> records;
        const char *written;
        int lost;
    } cases[] = {
        {records({{"Müller;Jürgen", "+49 30 1234"}}), "+49 30 1234,Muller;Jurgen\r\n", 0},
        {records({{"Ñ Ñ ;Ñ Ñ Ñ ;;;", "123456"}}), "123456,N N ;N N N ;;;\r\n", 0},
        {records({{"山田", "090"}, {"김", "1"}, {"Zoë 😀", "2"}}), "090,山田\r\n1,?\r\n2,Zoe ?\r\n", 2},
    };
    QTemporaryDir dir;
    const BookLocation at{dir.filePath(QStringLiteral("address.txt")), QString()};
    for (const auto &c : cases) {
        EXPECT_EQ(charactersLostInFile(c.records), c.lost) << c.written;
        ASSERT_TRUE(saveBook(at, c.records).ok()) << c.written;
        EXPECT_EQ(readAll(at.userFile), sjis(QString::fromUtf8(c.written)));
    }
}
