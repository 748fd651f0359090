// The telephone book file "address.txt": CP932 text, CR LF line ends, one
// "number,name" record a line.
//
// The book is kept in the user's data folder, which stays writable when the
// program is installed in a folder the user cannot write to. A book
// delivered beside the program is read while the user has none of their
// own; saving always writes the user's copy.
#pragma once

#include "addressbook.h"
#include "vcsio.h"  // MessageIcon

#include <QByteArray>
#include <QList>
#include <QString>

namespace skedra {

// Everything the book and the vCard import report. The text is made in one
// place, BookMessage::text(); callers test codes.
enum class BookCode {
    Ok,
    ReadFailed,   // a vCard file could not be opened or read
    TooLarge,     // a vCard file larger than MaxVCardBytes, or a book file
                  // larger than MaxBookFileBytes or of more than MaxBookRecords records
    BookFull,     // a vCard import that would take the book past `number` (MaxBookRecords) rows
    NotVCard,     // the file holds no vCard
    WriteFailed,  // the book could not be saved; number unused
    Unencodable,  // asked before saving: `number` characters would be written as "?"
};

struct BookMessage {
    BookCode code = BookCode::Ok;
    QString file;
    int number = 0;

    bool ok() const { return code == BookCode::Ok; }
    QString title() const;
    QString text() const;
    MessageIcon icon() const;
};

// Where the book is read from and saved to.
struct BookLocation {
    QString userFile;     // the user's own book, always the one saved
    QString programFile;  // a book delivered beside the program

    // "address.txt" in the application's data folder and in the program's
    // folder.
    static BookLocation standard();
    // The user's book when it exists, else the program's when that exists,
    // else the user's (which does not exist yet).
    QString readPath() const;
};

// The records of a book file: empty lines and lines starting with "#" are
// skipped; the text before the first comma is the number, the text up to a
// second comma the name (a line without a comma is a number without name).
// A number written as spaces, "#" and more reads with one space less
// (" #9110" as "#9110").
QList<AddressRecord> parseBook(const QByteArray &bytes);

// The file for `records`, in their order, as "number,name" CR LF lines. A
// comma inside a name or number, which the file could not carry, is
// written as the full-width "，"; a number starting with "#", which would
// make the line a comment, is written after a space, and so is one starting
// with spaces and then "#" (which reading takes one space from). `unencodable`
// (optional) receives the number of characters written as "?".
QByteArray renderBook(const QList<AddressRecord> &records, int *unencodable = nullptr);

// Book files above this size are not read (a full book of MaxBookRecords
// records is a few megabytes).
constexpr qint64 MaxBookFileBytes = 16 * 1024 * 1024;

// Reads the book at location.readPath() into `records`. A book that is
// missing or cannot be read gives no record and Ok: the book starts empty.
// One larger than MaxBookFileBytes or of more than MaxBookRecords records
// gives no record and TooLarge.
BookMessage loadBook(const BookLocation &location, QList<AddressRecord> &records);

// The records as the file holds them: names and numbers with the letters
// Shift_JIS lacks folded to ASCII where they have a Latin base
// (Sjis::foldLatin: "Müller" gives "Muller").
QList<AddressRecord> recordsForFile(const QList<AddressRecord> &records);

// How many characters of `records` saving would still write as "?" (after
// the fold); the user is asked before that happens.
int charactersLostInFile(const QList<AddressRecord> &records);

// Replaces location.userFile with recordsForFile(records) (making its folder
// when needed). The old file stays whole when writing fails. Ok or
// WriteFailed.
BookMessage saveBook(const BookLocation &location, const QList<AddressRecord> &records);

} // namespace skedra
