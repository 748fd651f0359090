// skedra-vcs vcard FILE.vcf: the records the telephone book's import would
// add, one "number,name" line each in file order (before the book sorts
// them).
#include "commands.h"
#include "vcard.h"

namespace skedra::tool {

int runVCard(const QStringList &args)
{
    if (args.size() != 1) {
        printErr(QStringLiteral("usage: skedra-vcs vcard FILE.vcf\n"));
        return 1;
    }
    VCardRecords read;
    const BookMessage message = readVCardFile(args[0], read);
    if (!message.ok()) {
        QString text = message.text();
        text.replace(u'\n', u' ');
        printErr(message.title() + QStringLiteral(": ") + text.trimmed() + u'\n');
        return 1;
    }
    QString out;
    for (const AddressRecord &r : read.records)
        out += r.number + u',' + r.name + u'\n';
    printOut(out);
    return 0;
}

} // namespace skedra::tool
