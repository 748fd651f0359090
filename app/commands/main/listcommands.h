// The list commands that need no editor: delete, move up, move down, select
// all, delete completed, sorting by a header click, the attribute commands
// on the selected band, and the preparation of the editor hand-off when a
// row is edited. They act on the schedule table and the grid state
// together, each change recorded as one step of the list's history; the
// window only redraws. Widget-free.
#pragma once

#include "attributes.h"
#include "dialogs.h"
#include "listgrid.h"
#include "listhistory.h"
#include "newentry.h"
#include "session.h"

#include <QDateTime>

#include <functional>

namespace skedra {

class ListCommands {
public:
    ListCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs, WindowHooks &hooks,
                 ListHistory &history);

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

    // The attribute commands (mnuSecretOn ... mnuWaitOff, mnuCatego_i,
    // mnuCatego2_i) on the selected band: the entries change and so do
    // their cells.
    void setAttribute(AttributeCommand command);
    void setCategory(categories::Menu menu, int index);
    // 文字数節約 (mnuZtoH): after the question, index 0 narrows every
    // description, 1 every alarm value, and the list is rendered again.
    void halfWidth(int index);

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

    // The history every change of the list is recorded in.
    ListHistory &history() { return m_history; }

private:
    RowBand selectedBand() const;
    void applyCellUpdates(const CellUpdates &updates);

    SessionState &m_state;
    ListGrid &m_grid;
    Dialogs &m_dialogs;
    WindowHooks &m_hooks;
    ListHistory &m_history;
};

} // namespace skedra
