// The undo history of the list. Every command that changes the schedule
// table records what it changed as one step of a QUndoStack (ListChange:
// only the entries it touched, before and after); undoing or redoing a step
// puts the table, its keys and the sort marks back as they were, gives the
// grid one row per entry and selects the rows the step changed.
//
// Dirty follows the stack: the list counts as unchanged exactly when the
// stack stands where it stood when the file was last opened or saved. Open
// and close start the history anew; save keeps it. Widget-free.
#pragma once

#include "dialogs.h"
#include "gridrender.h"
#include "listchange.h"
#include "listgrid.h"
#include "session.h"

#include <QString>
#include <QUndoStack>

#include <memory>

namespace skedra {

class ListHistory {
public:
    // The steps kept; the oldest goes when one more is recorded.
    static constexpr int StepLimit = 100;

    ListHistory(SessionState &state, ListGrid &grid, WindowHooks &hooks);
    ~ListHistory();
    ListHistory(const ListHistory &) = delete;
    ListHistory &operator=(const ListHistory &) = delete;

    // One command's changes, recorded from construction to destruction as a
    // step named `name` (nothing is recorded when the table is unchanged).
    // A step begun inside another belongs to the outer one.
    class Step {
    public:
        Step(ListHistory &history, const QString &name);
        ~Step();
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

            // The table now holds another file: instead of a step, the history
        // starts anew when the table changed, or in any case when `always`.
        void startOver(bool always);

    private:
        ListHistory &m_history;
    };

    // Forgets every step; the list counts as unchanged.
    void clear();
    // The list is as the file it was just saved to.
    void markSaved();

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // The name of the step an undo or redo would take back or do again.
    QString undoName() const { return m_stack.undoText(); }
    QString redoName() const { return m_stack.redoText(); }
    int steps() const { return m_stack.count(); }
    void undo();
    void redo();

    // Its signals tell when a step was recorded, undone or redone.
    QUndoStack &stack() { return m_stack; }

    // The name the entry editor stores a new entry under: "データを追加"
    // unless the command that opened it says otherwise ("ｺﾋﾟｰして追加").
    QString addStepName;
    static QString defaultAddStepName();

private:
    friend class ListStep;
    void begin(const QString &name);
    void end();
    // Applies a recorded step back (undo) or forward (redo) and shows it.
    void apply(const ListChange &change, bool forward, const SortMarks &marks);
    void followStack();

    SessionState &m_state;
    ListGrid &m_grid;
    WindowHooks &m_hooks;
    QUndoStack m_stack;
    int m_depth = 0;
    QString m_name;
    std::unique_ptr<ScheduleList> m_before;
    SortMarks m_marksBefore;
    enum class Ending { Step, StartOverIfChanged, StartOver } m_ending = Ending::Step;
};

} // namespace skedra
