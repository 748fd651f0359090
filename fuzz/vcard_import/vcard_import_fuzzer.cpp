// Fuzz entry point: any bytes as a vCard file. The records read are
// imported into an empty book, which is saved and read back: every record
// must come back as imported (a comma as the full-width "，", which the
// file cannot carry, and a character CP932 maps one way only, such as
// ¬ → ￢, as it reads back), unless characters had to be written as "?".
#include "addressbook.h"
#include "bookfile.h"
#include "sjis.h"
#include "vcard.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace skedra;

namespace {

QString asSaved(QString text)
{
    return Sjis::decode(Sjis::encode(text.replace(u',', u'，')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const VCardRecords read = readVCardData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    AddressBook book;
    book.importRecords(read.records);
    const QList<AddressRecord> saved = book.recordsToSave();
    int unencodable = 0;
    const QList<AddressRecord> again = parseBook(renderBook(saved, &unencodable));
    if (unencodable > 0)
        return 0;
    if (again.size() != saved.size())
        std::abort();
    for (qsizetype i = 0; i < saved.size(); ++i) {
        if (again[i].number != asSaved(saved[i].number) || again[i].name != asSaved(saved[i].name))
            std::abort();
    }
    return 0;
}
