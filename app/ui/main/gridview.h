// The thin Qt view of the list grid: a table model over ListGrid and the
// table view "MSFlexGrid1" that shows it, reports clicks, keys and drops,
// and keeps the grid's current row, selection end and top row in step with
// what the user does.
#pragma once

#include "listgrid.h"

#include <QAbstractTableModel>
#include <QTableView>

namespace skedra {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(ListGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The grid changed: rows, texts or header.
    void reload();
    // One cell of data row `gridRow` (1-based) got a new text.
    void cellChanged(int gridRow, int col);

private:
    ListGrid &m_grid;
};

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(ListGrid &grid, QWidget *parent = nullptr);

    GridModel *gridModel() const { return m_model; }

    // Shows the grid state: texts, selection band and top row.
    void showGrid();
    // Column widths in twips, as the settings keep them. A column the user
    // has not resized since reports the twips it was given, so widths that
    // are no whole number of pixels survive being saved again.
    void setColumnWidthsTwips(const std::array<int, GridColumns> &twips);
    // The grid font, for the data rows and the header row alike; the row
    // height follows it.
    void setGridFont(const QFont &font);
    // The height of every data row; the number of rows that fit the view
    // is recomputed with it.
    void setRowHeight(int pixels);
    std::array<int, GridColumns> columnWidthsTwips() const;

signals:
    // A press of any button but the right one on header column `col`.
    void headerClicked(int col);
    // Right button released over the header (col) or a data row (row >= 1).
    void headerContextRequested(int col, const QPoint &globalPos);
    void rowContextRequested(int row, const QPoint &globalPos);
    void rowDoubleClicked(int row);
    void deletePressed();
    void filesDropped(const QStringList &paths);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeSelectionFromView();
    void updateFitRows();

    ListGrid &m_grid;
    GridModel *m_model;
    bool m_syncing = false;
    std::array<int, GridColumns> m_appliedTwips{};
};

// One twip is 1/15 pixel at 96 dots per inch.
constexpr int TwipsPerPixel = 15;
inline int twipsToPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
inline int pixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }

} // namespace skedra
