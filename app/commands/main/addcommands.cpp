#include "addcommands.h"

#include "gridrender.h"
#include "menutable.h"

#include <QTimeZone>

namespace skedra {

namespace {
const QString ReferenceFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
}

AddCommands::AddCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs,
                         WindowHooks &hooks, ListCommands &list)
    : m_state(state)
    , m_grid(grid)
    , m_dialogs(dialogs)
    , m_hooks(hooks)
    , m_list(list)
{
}

QDateTime AddCommands::referenceMoment(const QString &referenceDateTime)
{
    // A clock reading the new entry starts from, not a moment of the PC's
    // zone (where daylight saving skips an hour a year).
    const QStringList parts = referenceDateTime.split(QLatin1Char(' '));
    if (parts.size() != 2)
        return QDateTime();
    const QDate date = QDate::fromString(parts[0], QStringLiteral("yyyy/MM/dd"));
    const QTime time = QTime::fromString(parts[1], QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, QTimeZone::utc());
}

void AddCommands::recordReference(const QDateTime &now)
{
    if (m_state.CallerView != QLatin1String("Main"))
        return;
    m_state.ReferenceDate = now.date().toString(QStringLiteral("yyyy/MM/dd"));
    m_state.ReferenceDateTime = now.toString(ReferenceFormat);
    m_state.ReferenceRow = m_grid.row();
}

void AddCommands::run(const QDateTime &now, bool copy)
{
    // The editor records the entry it stores under this command's name.
    ListHistory &history = m_list.history();
    history.addStepName = stepName(copy ? u"mnuCopyAdd" : u"mnuAdd");
    runEditor(now, copy);
    history.addStepName = ListHistory::defaultAddStepName();
}

void AddCommands::runEditor(const QDateTime &now, bool copy)
{
    recordReference(now);
    const int n = m_grid.dataRows();
    if (n >= MaxEntries) {
        m_dialogs.error(QStringLiteral("これ以上追加できません！　　　"));
        return;
    }
    QDateTime reference = referenceMoment(m_state.ReferenceDateTime);
    if (!reference.isValid())
        reference = now;
    if (m_list.listIsEmpty() && n == 1) {
        // The blank row is edited in place.
        m_list.editRow(reference);
        return;
    }
    m_state.EditIndex = n + 1;
    prepareEntry(copy, reference);
    m_state.EditMode = QStringLiteral("add");
    if (m_list.editorHook)
        m_list.editorHook(m_state);
    afterEditor();
}

void AddCommands::prepareEntry(bool copy, const QDateTime &reference)
{
    ScheduleEntry &work = m_state.WorkEntry;
    work.clear();
    const ScheduleEntry &target = m_state.ScheduleList[m_state.EditIndex - 1];
    const int sourceRow = m_state.ReferenceRow;
    const bool sourceExists = sourceRow >= 1 && sourceRow <= MaxEntries
        && m_state.ScheduleList[sourceRow - 1].exists();
    if (target.exists()) {
        work = target;
    } else if (copy && sourceExists) {
        work = m_state.ScheduleList[sourceRow - 1];
    } else {
        work = makeNewEntry(m_state.ModelCode, m_list.defaults, reference);
        return;
    }
    addMissingHandsetProperties(work, m_state.ModelCode);
}

void AddCommands::afterEditor()
{
    const int index = m_state.EditIndex;
    if (index < 1 || index > MaxEntries || !m_state.ScheduleList[index - 1].exists())
        return;  // cancelled
    if (m_state.EditMode == QLatin1String("add")) {
        m_grid.addRow();
        const int last = m_grid.lastRow();
        m_grid.setRow(last);
        const int v = m_grid.fitRows();
        if (last > m_grid.topRow() + v)
            m_grid.setTopRow(last - v);
    } else {
        m_grid.setRow(index);
        m_grid.setTopRow(index);
    }
    Grid_refresh(m_state.ScheduleList, m_grid);
    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
}

} // namespace skedra
