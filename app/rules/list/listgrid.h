// The list grid's own state, kept apart from any widget.
//
// It behaves like the flex grid the list was first drawn with: row 0 is the
// fixed header, there are 11 columns (0 is a narrow blank column), the grid
// never has fewer than two rows, and every cell keeps the text it was last
// given, so a renderer that leaves a cell alone leaves its old text visible.
// The current row, the other end of the selection and the top row are part of
// the state; commands act on the band between the current row and the
// selection end. A thin Qt view shows it (gridview.h).
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace skedra {

constexpr int GridColumns = 11;
constexpr int GridLastColumn = GridColumns - 1;

class ListGrid {
public:
    using RowTexts = std::array<QString, GridColumns>;

    ListGrid();

    // Rows including the header row; never fewer than 2.
    int rows() const { return static_cast<int>(m_cells.size()); }
    int dataRows() const { return rows() - 1; }
    int lastRow() const { return rows() - 1; }

    const QString &text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    const RowTexts &rowTexts(int row) const { return m_cells[static_cast<size_t>(row)]; }

    // Header row (row 0) from a format string such as "|<種別|<件名": fields
    // separated by "|", a leading "<" (left), "^" (centre) or ">" (right) is an
    // alignment mark and not shown.
    void setFormatString(const QString &format);

    // Appends one empty row.
    void addRow();
    // Removes data row `row`. Refused (false) when only one data row is left
    // or the row is out of range: the grid keeps its blank row.
    bool removeRow(int row);
    // Data rows become exactly `n` (at least 1); rows that stay keep their
    // texts, new rows are empty.
    void setDataRows(int n);
    // Empties cells `fromCol`..10 of `row`.
    void clearRow(int row, int fromCol = 0);
    // The grid of an empty list: header and one blank row (cells 1 to 10 of
    // row 1 emptied; row 0 untouched).
    void clearToBlank();
    // Exchanges all cell texts of two data rows.
    void swapRows(int a, int b);

    // Current row: setting it also collapses the selection to that row, as
    // the flex grid does.
    int row() const { return m_row; }
    void setRow(int row);
    // The other end of the selection band.
    int rowSel() const { return m_rowSel; }
    void setRowSel(int row);
    // The band the commands act on: min and max of row() and rowSel().
    int bandFirst() const { return m_row < m_rowSel ? m_row : m_rowSel; }
    int bandLast() const { return m_row < m_rowSel ? m_rowSel : m_row; }
    bool singleRowSelected() const { return m_row == m_rowSel; }

    // First data row shown at the top.
    int topRow() const { return m_topRow; }
    void setTopRow(int row);

    // Rows that the scrolling rules treat as fitting in the view:
    // Int(grid height / (row height + 13) - 4), all in twips. The view keeps
    // it up to date; 20 until it first does.
    int fitRows() const { return m_fitRows; }
    void setFitRows(int n) { m_fitRows = n; }

    // Sort marks: 0 not sorted, 1 ascending, 2 descending; at most one
    // column non-zero.
    std::array<int, GridColumns> sortState{};

private:
    int clampRow(int row) const;
    void clampSelection();

    std::vector<RowTexts> m_cells;
    int m_row = 1;
    int m_rowSel = 1;
    int m_topRow = 1;
    int m_fitRows = 20;
};

// Int(gridHeight / (rowHeight + 13) - 4) with heights in twips; Int rounds
// towards minus infinity.
int fitRowsFor(double gridHeightTwips, double rowHeightTwips);

} // namespace skedra
