#include "listcommands.h"

#include "gridrender.h"
#include "menutable.h"

#include <algorithm>
#include <vector>

namespace skedra {

ListCommands::ListCommands(SessionState &state, ListGrid &grid, Dialogs &dialogs,
                           WindowHooks &hooks, ListHistory &history)
    : m_state(state)
    , m_grid(grid)
    , m_dialogs(dialogs)
    , m_hooks(hooks)
    , m_history(history)
{
}

bool ListCommands::listIsEmpty() const
{
    return m_state.ScheduleList.isEmpty();
}

void ListCommands::deleteRows()
{
    if (listIsEmpty())
        return;
    if (m_dialogs.message(QStringLiteral("確認"), QStringLiteral("削除してよろしいですか？　　　"),
                          MessageIcon::Question, MessageButtons::YesNo)
        != Answer::Yes)
        return;

    ListHistory::Step step(m_history, stepName(u"mnuDEl"));
    m_state.markDirty();
    ScheduleList &list = m_state.ScheduleList;
    // Rows and entries go together, so the band never reaches past the last
    // entry even when the grid was out of step.
    const int first = m_grid.bandFirst();
    const int last = std::min(m_grid.bandLast(), std::max(list.count(), first));
    const int count = last - first + 1;

    for (int i = 0; i < count; ++i)
        list.removeAt(first - 1);

    const int top = m_grid.topRow();
    for (int i = 0; i < count; ++i) {
        if (!m_grid.removeRow(first))
            m_grid.clearRow(1, 1);
    }

    if (first > m_grid.lastRow())
        m_grid.setRow(m_grid.lastRow());
    else
        m_grid.setRow(first);
    if (top <= m_grid.lastRow())
        m_grid.setTopRow(top);
    if (m_grid.row() < m_grid.topRow())
        m_grid.setTopRow(m_grid.row());

    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
}

void ListCommands::moveUp()
{
    ListHistory::Step step(m_history, stepName(u"mnuUp"));
    m_state.markDirty();
    if (m_grid.row() == 1 || m_grid.rowSel() == 1)
        return;
    const int first = m_grid.bandFirst();
    const int last = m_grid.bandLast();
    ScheduleList &list = m_state.ScheduleList;
    for (int k = first; k <= last; ++k)
        list.swap(k - 1, k - 2);
    for (int k = first; k <= last; ++k)
        m_grid.swapRows(k, k - 1);

    const int row = m_grid.row() - 1;
    const int rowSel = m_grid.rowSel() - 1;
    m_grid.setRow(row);
    m_grid.setRowSel(rowSel);
    if (m_grid.topRow() + 1 < first)
        m_grid.setTopRow(m_grid.topRow() - 1);
    // Keep the band's new first row in view.
    if (first - 1 < m_grid.topRow())
        m_grid.setTopRow(first - 1);
    m_hooks.gridChanged();
}

void ListCommands::moveDown()
{
    ListHistory::Step step(m_history, stepName(u"mnuDown"));
    m_state.markDirty();
    const int lastRow = m_grid.lastRow();
    if (m_grid.row() == lastRow || m_grid.rowSel() == lastRow)
        return;
    const int first = m_grid.bandFirst();
    const int last = m_grid.bandLast();
    ScheduleList &list = m_state.ScheduleList;
    for (int k = last; k >= first; --k)
        list.swap(k - 1, k);
    for (int k = last; k >= first; --k)
        m_grid.swapRows(k, k + 1);

    const int row = m_grid.row() + 1;
    const int rowSel = m_grid.rowSel() + 1;
    m_grid.setRow(row);
    m_grid.setRowSel(rowSel);
    if (last + 1 > m_grid.topRow() + m_grid.fitRows())
        m_grid.setTopRow(m_grid.topRow() + 1);
    m_hooks.gridChanged();
}

void ListCommands::selectAll()
{
    m_grid.setRow(1);
    m_grid.setRowSel(m_grid.lastRow());
    m_hooks.gridChanged();
}

void ListCommands::deleteCompleted()
{
    if (listIsEmpty())
        return;
    if (m_dialogs.message(QStringLiteral("確認"),
                          QStringLiteral("状態が『完了』の予定を全て削除します。　　　\nよろしいですか？"),
                          MessageIcon::Warning, MessageButtons::YesNo)
        != Answer::Yes)
        return;

    ListHistory::Step step(m_history, stepName(u"mnuOldDel"));
    m_state.markDirty();
    ScheduleList &list = m_state.ScheduleList;
    list.removeIf([](const ScheduleEntry &e) { return e.exists() && e[StatusValue] == QLatin1String("COMPLETED"); });

    const int keptCount = list.count();
    while (m_grid.dataRows() > std::max(keptCount, 1))
        m_grid.removeRow(m_grid.lastRow());
    if (keptCount == 0)
        m_grid.clearRow(1, 1);

    Grid_refresh(list, m_grid);
    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
}

bool ListCommands::headerClick(int col)
{
    if (sortSlotOfColumn(col) < 0)
        return false;
    ListHistory::Step step(m_history, QStringLiteral("並べ替え（%1）").arg(headerCaption(m_grid, col)));
    m_state.markDirty();
    m_hooks.setBusy(true);
    sortByColumn(m_state.ScheduleList, m_grid, col);
    m_hooks.setBusy(false);
    m_hooks.gridChanged();
    return true;
}

RowBand ListCommands::selectedBand() const
{
    return RowBand::between(m_grid.row(), m_grid.rowSel());
}

void ListCommands::applyCellUpdates(const CellUpdates &updates)
{
    for (const CellUpdate &u : updates)
        m_grid.setText(u.row, u.column, u.text);
    m_hooks.gridChanged();
}

void ListCommands::setAttribute(AttributeCommand command)
{
    ListHistory::Step step(m_history, stepName(attributeItemName(command)));
    applyCellUpdates(ApplyAttribute(m_state, selectedBand(), command));
}

void ListCommands::setCategory(categories::Menu menu, int index)
{
    const QString item = menu == categories::Menu::Cate2 ? QStringLiteral("mnuCatego2_") : QStringLiteral("mnuCatego_");
    ListHistory::Step step(m_history, stepName(item + QString::number(index)));
    applyCellUpdates(SetCategory(m_state, selectedBand(), menu, index));
}

void ListCommands::halfWidth(int index)
{
    const std::optional<Question> question = ZtoHQuestion(m_state, index);
    if (!question)
        return;
    if (m_dialogs.message(question->title, question->text, MessageIcon::Warning, MessageButtons::YesNo)
        != Answer::Yes)
        return;
    ListHistory::Step step(m_history, stepName(QStringLiteral("mnuZtoH_") + QString::number(index)));
    if (!ZtoH(m_state, index)) {
        m_dialogs.error(QStringLiteral("全角文字を半角に変換できませんでした。　　"));
        return;
    }
    Grid_refresh(m_state.ScheduleList, m_grid);
    m_hooks.gridChanged();
}

void ListCommands::prepareEdit(const QDateTime &now)
{
    const int row = m_grid.row();
    m_state.EditIndex = row;
    ScheduleEntry &work = m_state.WorkEntry;
    work.clear();
    const ScheduleEntry &entry = m_state.ScheduleList[row - 1];
    if (entry.exists()) {
        work = entry;
        addMissingHandsetProperties(work, m_state.ModelCode);
    } else {
        work = makeNewEntry(m_state.ModelCode, defaults, now);
    }
    m_state.EditMode = QStringLiteral("edit");
}

bool ListCommands::editRow(const QDateTime &now)
{
    prepareEdit(now);
    if (!editorHook)
        return false;
    editorHook(m_state);
    Grid_refresh(m_state.ScheduleList, m_grid);
    m_hooks.updateCountPanel();
    m_hooks.gridChanged();
    return true;
}

} // namespace skedra
