// Fuzz entry point: any bytes as the telephone book file. The book is
// loaded (and sorted) as the window does, saved and read back: the saved
// file reads back into the same rows, unless characters had to be written
// as "?".
#include "addressbook.h"
#include "bookfile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace skedra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AddressBook book;
    book.load(parseBook(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    const QList<AddressRecord> saved = book.recordsToSave();
    int unencodable = 0;
    const QByteArray file = renderBook(saved, &unencodable);
    if (unencodable > 0)
        return 0;
    if (parseBook(file) != saved)
        std::abort();
    return 0;
}
