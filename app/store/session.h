// The state of one run: the schedule table and everything that goes with it.
// The main window owns the one instance and hands it to the other windows by
// reference.
#pragma once

#include "schedule.h"

#include <QHash>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace skedra {

class HexCoding;

constexpr int SummaryHistorySize = 501;

using SummaryHistoryList = std::array<QString, SummaryHistorySize>;

// Offers the summaries of one read (of a .vcs or an .ics file) to the
// editors' drop-down list: a summary is added unless one of the first 200
// texts of the list equals it. Each read fills the list from its start; the
// texts beyond the new ones remain.
class SummaryRecorder {
public:
    explicit SummaryRecorder(SummaryHistoryList &history)
        : m_history(history)
    {
    }
    void remember(const QString &summary);

private:
    static constexpr int Compared = 200;
    SummaryHistoryList &m_history;
    int m_index = 0;
    // The first 200 texts, counted in a hash (made at the first summary)
    // rather than compared one by one for every summary.
    bool m_countsMade = false;
    QHash<QString, int> m_counts;
};

struct SessionState {
    SessionState();
    ~SessionState();
    SessionState(const SessionState &) = delete;
    SessionState &operator=(const SessionState &) = delete;

    skedra::ScheduleList ScheduleList;

    QString Dirty = QStringLiteral("0");      // "1" after any change to the list
    QString OpenFileName;                     // what the reader opens
    QString SaveFileName;                     // what the writer creates
    QString OpenMode = QStringLiteral("new"); // "new" or "add"
    int FirstIndex = 1;                       // 1-based range the writer writes
    int LastIndex = 1;
    QString SaveDone = QStringLiteral("0");   // "1" when save-as wrote the file
    SummaryHistoryList SummaryHistory;
    std::unique_ptr<HexCoding> HexCoder;      // null when it could not be created
    int EditIndex = 0;                        // 1-based entry being edited
    QString EditMode;                         // "add" when creating an entry
    skedra::ScheduleEntry WorkEntry;          // the editor's buffer
    QString ModelCode = QStringLiteral("SH53");
    std::vector<EntryKey> FoundEntries;       // the entries of the last search's hits, in row order
    QString AddressListCaller;                // "EditR" or "Edit": the editor that opened the telephone book
    // The last folders the attachment choosers used, each with its trailing
    // "/": ImagePath, MusicPath, AudioPath, VoicePath (AttachmentFolder order).
    std::array<QString, 4> AttachmentFolders;

    // The view that starts add and copy-add ("Main" or "Calendar") and the
    // reference moments and row it recorded for the new entry.
    QString CallerView = QStringLiteral("Main");
    QString ReferenceDate;      // "yyyy/mm/dd"
    QString ReferenceDateTime;  // "yyyy/mm/dd hh:nn:ss"
    int ReferenceRow = 1;       // grid row current when the command started

    // Empties the table and marks it unchanged.
    void clearList();
    // Marks the list as changed.
    void markDirty() { Dirty = QStringLiteral("1"); }
    bool isDirty() const { return Dirty == QLatin1String("1"); }
};

} // namespace skedra
