// The list commands that need no editor: delete, move up, move down, select
// all, delete completed, sorting by a header click, and the preparation of
// the editor hand-off when a row is edited. They act on the schedule table
// and the grid state together; the window only redraws. Widget-free.
#pragma once

#include "dialogs.h"
#include "listgrid.h"
#include "newentry.h"
#include "session.h"

#include <QDateTime>

#include <functional>

namespace skedra {

class ListCommands {
public:
    ListCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks);

    // True when entry 0 has no start value.
    bool listIsEmpty() const;

    // Delete (mnuDEl, tbrDel, Delete key): removes the selected band after
    // the question.
    void deleteRows();
    // Move up / move down (mnuUp, mnuDown): the band moves one row.
    void moveUp();
    void moveDown();
    // Select all (mnuAllSel).
    void selectAll();
    // Delete completed (mnuOldDel): removes every entry whose status is
    // "COMPLETED" after the question.
    void deleteCompleted();
    // Header click on a column: marks the list changed and sorts by it.
    // Returns true when it sorted (column 0 has no key).
    bool headerClick(int col);

    // Edit a row (double-click, tbrEdit, mnuEditLine): sets EditIndex to the
    // current row, fills WorkEntry with its entry plus the handset properties
    // it lacks, or with a new entry from the defaults when the row holds no
    // entry, and sets EditMode to "edit". `now` is the reference moment of a
    // new entry.
    void prepareEdit(const QDateTime &now);
    // prepareEdit(), then the editor hook (when there is one), then the grid
    // is refreshed. Returns false when no editor is available.
    bool editRow(const QDateTime &now);

    // Shows the entry editor for the current model modally; installed by the
    // editor's owner. Until then editing prepares the hand-off only.
    std::function<void(SessionState &)> editorHook;

    EntryDefaults defaults;

private:
    SessionState &m_state;
    ListGrid &m_grid;
    Dialogs &m_dialogs;
    WindowHooks &m_hooks;
};

} // namespace skedra
