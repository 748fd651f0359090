#include "listgrid.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skedra {

namespace {
const QString emptyText;
}

ListGrid::ListGrid()
    : m_cells(2)
{
}

const QString &ListGrid::text(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= GridColumns)
        return emptyText;
    return m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void ListGrid::setText(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= GridColumns)
        return;
    m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

void ListGrid::setFormatString(const QString &format)
{
    const QStringList fields = format.split(QLatin1Char('|'));
    for (int c = 0; c < GridColumns; ++c) {
        QString field = c < fields.size() ? fields[c] : QString();
        if (!field.isEmpty()
            && (field[0] == QLatin1Char('<') || field[0] == QLatin1Char('^')
                || field[0] == QLatin1Char('>')))
            field.remove(0, 1);
        setText(0, c, field);
    }
}

void ListGrid::addRow()
{
    m_cells.emplace_back();
}

bool ListGrid::removeRow(int row)
{
    if (rows() <= 2 || row < 1 || row >= rows())
        return false;
    m_cells.erase(m_cells.begin() + row);
    clampSelection();
    return true;
}

void ListGrid::setDataRows(int n)
{
    n = std::max(n, 1);
    m_cells.resize(static_cast<size_t>(n) + 1);
    clampSelection();
}

void ListGrid::clearRow(int row, int fromCol)
{
    if (row < 0 || row >= rows())
        return;
    for (int c = std::max(fromCol, 0); c < GridColumns; ++c)
        m_cells[static_cast<size_t>(row)][static_cast<size_t>(c)].clear();
}

void ListGrid::clearToBlank()
{
    setDataRows(1);
    clearRow(1, 1);
}

void ListGrid::swapRows(int a, int b)
{
    if (a < 1 || b < 1 || a >= rows() || b >= rows())
        return;
    std::swap(m_cells[static_cast<size_t>(a)], m_cells[static_cast<size_t>(b)]);
}

int ListGrid::clampRow(int row) const
{
    return std::clamp(row, 1, lastRow());
}

void ListGrid::setRow(int row)
{
    m_row = clampRow(row);
    m_rowSel = m_row;
}

void ListGrid::setRowSel(int row)
{
    m_rowSel = clampRow(row);
}

void ListGrid::setTopRow(int row)
{
    m_topRow = clampRow(row);
}

void ListGrid::clampSelection()
{
    m_row = clampRow(m_row);
    m_rowSel = clampRow(m_rowSel);
    m_topRow = clampRow(m_topRow);
}

int fitRowsFor(double gridHeightTwips, double rowHeightTwips)
{
    return static_cast<int>(std::floor(gridHeightTwips / (rowHeightTwips + 13.0) - 4.0));
}

} // namespace skedra
