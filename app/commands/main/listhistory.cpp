#include "listhistory.h"

#include "menutable.h"

#include <QUndoCommand>

#include <algorithm>

namespace skedra {

// A recorded change. It is pushed after the command ran, so the stack's
// first redo has nothing to do.
class ListStep : public QUndoCommand {
public:
    ListStep(ListHistory &history, const QString &name, ListChange change, const SortMarks &before,
             const SortMarks &after)
        : QUndoCommand(name)
        , m_history(history)
        , m_change(std::move(change))
        , m_before(before)
        , m_after(after)
    {
    }

    void undo() override { m_history.apply(m_change, false, m_before); }
    void redo() override
    {
        if (m_justRecorded) {
            m_justRecorded = false;
            return;
        }
        m_history.apply(m_change, true, m_after);
    }

private:
    ListHistory &m_history;
    ListChange m_change;
    SortMarks m_before;
    SortMarks m_after;
    bool m_justRecorded = true;
};

ListHistory::ListHistory(SessionState &state, ListGrid &grid, WindowHooks &hooks)
    : addStepName(defaultAddStepName())
    , m_state(state)
    , m_grid(grid)
    , m_hooks(hooks)
{
    m_stack.setUndoLimit(StepLimit);
    QObject::connect(&m_stack, &QUndoStack::indexChanged, &m_stack, [this] { followStack(); });
}

ListHistory::~ListHistory()
{
    // The stack empties itself as it goes; whoever listened may be gone.
    QObject::disconnect(&m_stack, nullptr, nullptr, nullptr);
}

QString ListHistory::defaultAddStepName()
{
    return stepName(u"mnuAdd");
}

ListHistory::Step::Step(ListHistory &history, const QString &name)
    : m_history(history)
{
    m_history.begin(name);
}

ListHistory::Step::~Step()
{
    m_history.end();
}

void ListHistory::Step::startOver(bool always)
{
    if (m_history.m_depth == 1)
        m_history.m_ending = always ? Ending::StartOver : Ending::StartOverIfChanged;
}

void ListHistory::begin(const QString &name)
{
    if (m_depth++ > 0)
        return;
    m_name = name;
    m_ending = Ending::Step;
    m_before = std::make_unique<ScheduleList>(m_state.ScheduleList);
    m_marksBefore = sortMarksOf(m_grid);
}

void ListHistory::end()
{
    if (--m_depth > 0)
        return;
    ListChange change = ListChange::between(*m_before, m_state.ScheduleList);
    m_before.reset();
    const SortMarks marksAfter = sortMarksOf(m_grid);
    const bool changed = !change.isEmpty() || marksAfter != m_marksBefore;
    switch (m_ending) {
    case Ending::StartOver:
        clear();
        return;
    case Ending::StartOverIfChanged:
        if (!change.isEmpty())
            clear();
        return;
    case Ending::Step:
        if (changed)
            m_stack.push(new ListStep(*this, m_name, std::move(change), m_marksBefore, marksAfter));
        return;
    }
}

void ListHistory::clear()
{
    m_state.Dirty = QStringLiteral("0");
    m_stack.clear();
}

void ListHistory::markSaved()
{
    m_state.Dirty = QStringLiteral("0");
    m_stack.setClean();
}

void ListHistory::undo()
{
    if (m_depth == 0)
        m_stack.undo();
}

void ListHistory::redo()
{
    if (m_depth == 0)
        m_stack.redo();
}

void ListHistory::followStack()
{
    m_state.Dirty = m_stack.isClean() ? QStringLiteral("0") : QStringLiteral("1");
}

void ListHistory::apply(const ListChange &change, bool forward, const SortMarks &marks)
{
    ScheduleList &list = m_state.ScheduleList;
    const std::vector<int> touched = forward ? change.redo(list) : change.undo(list);
    setSortMarks(m_grid, marks);
    fitGridToList(list, m_grid, false);

    // The rows the step changed become the selection, in view.
    const int last = m_grid.lastRow();
    int first = std::clamp(m_grid.row(), 1, last);
    int end = first;
    if (!touched.empty()) {
        first = std::clamp(touched.front() + 1, 1, last);
        end = std::clamp(touched.back() + 1, 1, last);
    }
    m_grid.setRow(first);
    m_grid.setRowSel(end);
    const int top = m_grid.topRow();
    const int fit = m_grid.fitRows();
    if (first < top || end - first > fit)
        m_grid.setTopRow(first);
    else if (end > top + fit)
        m_grid.setTopRow(end - fit);

    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
}

} // namespace skedra
