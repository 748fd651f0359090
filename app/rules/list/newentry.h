// Building an entry for the editor: a new entry from the entry defaults, and
// the handset properties an existing entry lacks. Widget-free.
#pragma once

#include "entrydefaults.h"
#include "schedule.h"

#include <QDateTime>
#include <QString>

namespace skedra {

// Parameters of every quoted-printable text property.
inline const QString QpParameters = QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE");
// Parameters the attachment always carries.
inline const QString AttachParameters =
    QStringLiteral("CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:VALUE=URL:file=");

// Start of a new entry as 14 digits: the reference moment raised to the next
// quarter hour (minute 0 stays), seconds "00".
QString startMoment(const QDateTime &reference);

// `dateTime14` moved by `minutes` (may be negative), as 14 digits; the text
// unchanged when it is not a valid 14-digit date-time.
QString shiftDateTime14(const QString &dateTime14, long long minutes);

// A new entry built from the defaults for `modelCode`, starting at
// startMoment(reference).
ScheduleEntry makeNewEntry(const QString &modelCode, const EntryDefaults &defaults,
                           const QDateTime &reference);
// The same, starting at `start` (a DateTime14) as it is: an entry brought
// in from another calendar.
ScheduleEntry makeNewEntryAt(const QString &modelCode, const EntryDefaults &defaults, const QString &start);

// Adds the handset properties an existing entry lacks (name slot empty):
// "X-JPGSH-CMBLT-NO" for every model but SH51, and for 601SH to 604SH the
// alarm, protection, standby, colour, pre-alarm, snooze and attachment
// properties with their default values.
void addMissingHandsetProperties(ScheduleEntry &entry, const QString &modelCode);

} // namespace skedra
