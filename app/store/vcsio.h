// Reading and writing the handset's .vcs files.
//
// proc_open reads state.OpenFileName into the schedule table (replacing it
// when state.OpenMode is "new", appending when "add"); proc_write writes
// entries state.FirstIndex..state.LastIndex to state.SaveFileName. Neither
// touches a window: the caller shows the loading notice from the progress
// callback, turns the result's messages into message boxes and gives the
// list one row per entry afterwards.
#pragma once

#include "session.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace skedra {

// Everything a read or a write can report. The Japanese text is made in one
// place, StoreMessage::text(); callers test codes, never text.
enum class StoreCode {
    Ok,
    NotVCalendar,    // the first line is not "...:VCALENDAR"
    ListFull,        // appending to a list that already holds 500 entries
    TooManyObjects,  // reading stopped after 500 entries; number = the object not read
    OpenFailed,      // the file could not be opened or read
    BadValues,       // number = values that could not be converted (kept as read); line = first
    CoderMissing,    // the quoted-printable coding object is not available
    WriteInUse,      // the target is in use or access was denied
    WriteFailed,     // any other failure to create or write the target
    Unencodable,     // number = characters written as "?" (no Shift_JIS form)
    NotShiftJis,     // number = bytes that are not Shift_JIS (read as U+FFFD); line = first
    MissingStart,    // number = objects without DTSTART/DUE, kept with an empty start; line = first
    TooLarge,        // the file is larger than any schedule file can be (MaxFileBytes)
    NoObjects,       // the file passed the first-line test but held no calendar object
    NotICalendar,    // an .ics import: the file is not iCalendar
    BrokenICalendar, // an .ics import: the file is cut short or broken beyond reading
};

enum class MessageIcon { Critical, Warning, Information, Question };

struct StoreMessage {
    StoreCode code = StoreCode::Ok;
    QString file;    // the file read or written
    int line = 0;    // 1-based line of the file the message is about, 0 for none
    int number = 0;  // the count or object number the message names

    bool ok() const { return code == StoreCode::Ok; }
    QString title() const;  // "エラー", "警告", ...
    QString text() const;   // the exact message text
    MessageIcon icon() const;
};

// A message about `file`.
inline StoreMessage storeMessage(StoreCode code, const QString &file, int number = 0)
{
    StoreMessage m;
    m.code = code;
    m.file = file;
    m.number = number;
    return m;
}

// Files above this size are refused before reading (a full handset file of
// 500 entries is well under 1 MiB).
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

// Called when each calendar object begins: objectsSeen of objectsTotal.
using ReadProgress = std::function<void(int objectsSeen, int objectsTotal)>;

struct ReadResult {
    // False when the read was refused before any entry was touched in "add"
    // mode, or the file could not be read (NotVCalendar, ListFull, OpenFailed,
    // TooLarge, CoderMissing). In "new" mode NotVCalendar and ListFull come
    // after the list was cleared; the others leave the list as it was.
    bool read = false;
    // 1-based number of the first entry this read filled.
    int firstEntry = 1;
    // What to tell the user after reading, in order (may be empty).
    QList<StoreMessage> messages;
};

ReadResult proc_open(SessionState &state, const ReadProgress &progress = {});

// The reading work of proc_open over bytes already in memory (state.OpenMode
// applies; state.OpenFileName is not used). `fileName` only names the file in
// messages.
ReadResult readVcsData(SessionState &state, const QByteArray &bytes, const QString &fileName = QString(),
                       const ReadProgress &progress = {});

// Writes the range through a temporary file that replaces the target only
// when complete, so a failure leaves the previous file whole; where no
// temporary file can be made beside the target it is written in place. A
// symbolic link keeps pointing where it did, its target getting the new
// contents; a FIFO or device is written in place. Returns Ok, or the failure
// to report; a warning (Unencodable) may come with success.
//
// Every entry is written as a complete calendar object. An entry with an
// empty component name (read from a file without "BEGIN:VEVENT" or
// "BEGIN:VTODO") is written as a VTODO when its start is named "DUE" and as
// a VEVENT otherwise, rather than without its BEGIN:/END: component lines,
// so the handset can take it. Values kept as read (they did not decode or
// convert) are written back exactly as read.
struct WriteResult {
    bool written = false;
    QList<StoreMessage> messages;
};

WriteResult proc_write(SessionState &state);

// Puts `bytes` in the file at `path` as proc_write puts a file there
// (replaced whole, or left as it was on failure).
WriteResult writeFileBytes(const QString &path, const QByteArray &bytes);

// The file proc_write would write for entries state.FirstIndex..LastIndex,
// as CP932 bytes. `unencodable` (optional) receives the number of characters
// written as "?". Needs state.HexCoder.
QByteArray renderVcsData(const SessionState &state, int *unencodable = nullptr);

// One entry's calendar object as proc_write writes it, as CP932 bytes.
QByteArray renderVcsEntry(const ScheduleEntry &entry, HexCoding &coder);

} // namespace skedra
