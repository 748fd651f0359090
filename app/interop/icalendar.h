// The iCalendar bridge: entries of the table to an RFC 5545 file (UTF-8) for
// today's calendar programs, and such a file back into entries.
//
// Export writes what the standard words can say (summary, times, repeat
// rule, alarm, class, categories, priority, description, status) and keeps
// every handset text they cannot carry exactly in X-SKEDRA- properties of
// the same event, so that .vcs -> .ics -> .vcs gives the same bytes.
//
// Import takes an .ics written by any program. Components Skedra wrote come
// back as they were, except where a calendar program changed a standard
// value (see the rule in icalendar.cpp); everything else gets the handset
// properties of a new entry, made by the caller as the add command makes one.
#pragma once

#include "session.h"
#include "vcsio.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace skedra::ics {

// Files above this size are refused before parsing.
constexpr qint64 MaxIcsBytes = 16 * 1024 * 1024;

// The fixed-offset zone of handset times; repeating entries are written in
// it so that a calendar program repeats them on the handset's days.
inline const char *const HandsetZone = "Asia/Tokyo";

struct ExportResult {
    QByteArray bytes;  // the file, UTF-8, CR LF line ends
    int entries = 0;
    // Repeat rules whose days a calendar program cannot be given exactly as
    // the month calendar shows them; each such event carries a COMMENT.
    int rulesNotAgreeing = 0;
};

// Entries first..last (1-based, inclusive; stops at the first empty entry)
// as one iCalendar file. Each event's UID is made from the entry as the .vcs
// writer writes it (through `coder`, set up as for saving), so the same file
// exported again gives the same UIDs, from the window and from the tool
// alike; an entry written the same as one before it in the export gets its
// ordinal ("-2", "-3", ...) so that no two events share a UID.
ExportResult exportEntries(const ScheduleList &list, HexCoding &coder, int first, int last);

// Builds the entry the add command would make, starting at `start14`
// (a DateTime14): the entry defaults for the current model.
using NewEntryAt = std::function<ScheduleEntry(const QString &start14)>;

struct ImportResult {
    // False when nothing was added because the file was refused (messages
    // say why); the list is then unchanged.
    bool read = false;
    int firstEntry = 1;  // 1-based number of the first entry added
    int added = 0;
    int droppedRules = 0;  // repeats the handset cannot express: first occurrence only
    int skipped = 0;       // components that are not events or to-dos, or have no start
    // What saving will not keep whole: summaries and descriptions longer
    // than the handset holds (they are cut), and characters it has no form
    // for, even after letters with a Latin base were made ASCII (they are
    // written as "?"). Counted over the added entries.
    int cutSummaries = 0;
    int cutDescriptions = 0;
    int unwritableCharacters = 0;
    int locationsLeftOut = 0;  // places with no room in their description
    int alarmsLeftOut = 0;     // alarms after an entry's first (the handset holds one)
    QStringList warnings;      // libical's warnings about the file, in its words
    QList<StoreMessage> messages;  // refusals and the reader's 500-entry warning

    // The one note after importing, about what was not taken whole; empty
    // when everything was.
    QString noteText() const;
};

// Appends the events and to-dos of an iCalendar file to `list` (after its
// last entry). `fileName` only names the file in messages.
ImportResult importIcs(ScheduleList &list, const QByteArray &bytes, const NewEntryAt &newEntry,
                       const QString &fileName = QString());

// The title of the note after importing.
QString importNoteTitle();

} // namespace skedra::ics
