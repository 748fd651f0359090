// Add and copy-add (mnuAdd, tbrAdd, pmnuAdd; mnuCopyAdd, pmnuCopyAdd): a new
// entry from the defaults, or a copy of the current row's entry, handed to
// the entry editor as entry "rows + 1"; after the editor closed a stored
// entry gets its grid row. Widget-free.
#pragma once

#include "listcommands.h"

#include <QDateTime>

namespace skedra {

class AddCommands {
public:
    AddCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                ListCommands &list);

    // `now` is the reference moment when the main window starts the command.
    void add(const QDateTime &now) { run(now, false); }
    void copyAdd(const QDateTime &now) { run(now, true); }

    // Records ReferenceDate, ReferenceDateTime and ReferenceRow when the
    // main window starts the command (CallerView "Main").
    void recordReference(const QDateTime &now);

    // The reference moment recorded as text, as a date-time of no zone
    // (UTC; invalid when the text is not one).
    static QDateTime referenceMoment(const QString &referenceDateTime);

private:
    void run(const QDateTime &now, bool copy);
    void runEditor(const QDateTime &now, bool copy);
    // WorkEntry for entry EditIndex; a new one starts at `reference`.
    void prepareEntry(bool copy, const QDateTime &reference);
    void afterEditor();

    SessionState &m_state;
    ListGrid &m_grid;
    Dialogs &m_dialogs;
    WindowHooks &m_hooks;
    ListCommands &m_list;
};

} // namespace skedra
