// Reading telephone numbers from vCard files (2.1, 3.0 and 4.0) into the
// telephone book. Only the name and the TEL lines are read:
//
// - one record per TEL line of any type, its value as written (after
//   decoding), in file order;
// - the name is the card's first N value as written, ";" separators and
//   all; the card's first FN when it has no N with a name in it; the name
//   starts afresh at every BEGIN:VCARD;
// - "N;CHARSET=SHIFT_JIS" values are the handset's own form and are kept as
//   they are; other values are decoded as they declare: quoted-printable
//   (with soft line breaks), CHARSET=SHIFT_JIS / CP932 or UTF-8, and UTF-8
//   when nothing is declared and the bytes are valid UTF-8 (else CP932);
// - folded lines are joined before anything is decoded;
// - lines before the first BEGIN:VCARD are read as one card, so a file
//   whose header line is missing still gives its numbers.
#pragma once

#include "addressbook.h"
#include "bookfile.h"

#include <QByteArray>
#include <QList>

namespace skedra {

// vCard files above this size are refused.
constexpr qint64 MaxVCardBytes = 64 * 1024 * 1024;

struct VCardRecords {
    QList<AddressRecord> records;  // in file order
    // False for a file with no BEGIN:VCARD line and no number: not a vCard.
    bool isVCard = false;
};

VCardRecords readVCardData(const QByteArray &bytes);

// Reads a file; ReadFailed, TooLarge or NotVCard when it gives nothing.
BookMessage readVCardFile(const QString &path, VCardRecords &out);

} // namespace skedra
