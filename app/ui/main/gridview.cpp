#include "gridview.h"

#include "gridrender.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>

namespace skedra {

GridModel::GridModel(ListGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.dataRows();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridColumns;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_grid.text(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return isCentredColumn(index.column()) ? int(Qt::AlignCenter)
                                               : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return m_grid.text(0, section);
    if (role == Qt::TextAlignmentRole)
        return isCentredColumn(section) ? int(Qt::AlignCenter)
                                        : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void GridModel::reload()
{
    beginResetModel();
    endResetModel();
}

void GridModel::cellChanged(int gridRow, int col)
{
    if (gridRow < 1 || gridRow > m_grid.dataRows() || col < 0 || col >= GridColumns)
        return;
    const QModelIndex i = index(gridRow - 1, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

GridView::GridView(ListGrid &grid, QWidget *parent)
    : QTableView(parent)
    , m_grid(grid)
    , m_model(new GridModel(grid, this))
{
    setObjectName(QStringLiteral("MSFlexGrid1"));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    // Long texts are cut at the cell border, as in the grid of old.
    setTextElideMode(Qt::ElideNone);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(4);
    horizontalHeader()->viewport()->installEventFilter(this);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { takeSelectionFromView(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { takeSelectionFromView(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_syncing)
            m_grid.setTopRow(value + 1);
    });
}

void GridView::showGrid()
{
    m_syncing = true;
    m_model->reload();
    const int first = m_grid.bandFirst() - 1;
    const int last = m_grid.bandLast() - 1;
    QItemSelectionModel *sel = selectionModel();
    sel->setCurrentIndex(m_model->index(m_grid.row() - 1, 0), QItemSelectionModel::NoUpdate);
    sel->select(QItemSelection(m_model->index(first, 0), m_model->index(last, GridLastColumn)),
                QItemSelectionModel::ClearAndSelect);
    verticalScrollBar()->setValue(m_grid.topRow() - 1);
    m_syncing = false;
    // The view may not scroll as far as asked (the last rows fit already).
    m_grid.setTopRow(verticalScrollBar()->value() + 1);
    viewport()->update();
}

void GridView::setColumnWidthsTwips(const std::array<int, GridColumns> &twips)
{
    m_appliedTwips = twips;
    for (int c = 0; c < GridColumns; ++c)
        setColumnWidth(c, twipsToPixels(twips[static_cast<size_t>(c)]));
}

std::array<int, GridColumns> GridView::columnWidthsTwips() const
{
    std::array<int, GridColumns> twips{};
    for (int c = 0; c < GridColumns; ++c) {
        const int applied = m_appliedTwips[static_cast<size_t>(c)];
        const int pixels = columnWidth(c);
        twips[static_cast<size_t>(c)] = pixels == twipsToPixels(applied) ? applied : pixelsToTwips(pixels);
    }
    return twips;
}

void GridView::takeSelectionFromView()
{
    if (m_syncing)
        return;
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row() + 1;
    int lo = row;
    int hi = row;
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (!rows.isEmpty()) {
        lo = hi = rows.first().row() + 1;
        for (const QModelIndex &i : rows) {
            lo = std::min(lo, i.row() + 1);
            hi = std::max(hi, i.row() + 1);
        }
    }
    m_grid.setRow(row);
    if (row >= lo && row <= hi)
        m_grid.setRowSel(row == lo ? hi : lo);
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // A single-row selection follows the right click; a band of rows stays
        // so the pop-up commands act on all of it.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && m_grid.singleRowSelected()) {
            m_grid.setRow(index.row() + 1);
            showGrid();
        }
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            emit rowContextRequested(index.row() + 1, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            emit rowDoubleClicked(index.row() + 1);
            event->accept();
            return;
        }
    }
    QTableView::mouseDoubleClickEvent(event);
}

void GridView::setGridFont(const QFont &font)
{
    setFont(font);
    horizontalHeader()->setFont(font);
    setRowHeight(fontMetrics().height() + 6);
}

void GridView::setRowHeight(int pixels)
{
    verticalHeader()->setDefaultSectionSize(pixels);
    updateFitRows();
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    // Any Delete key: the main block's or the keypad's, also with Shift.
    const Qt::KeyboardModifiers extra = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (event->key() == Qt::Key_Delete && extra == Qt::NoModifier) {
        emit deletePressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

namespace {
QStringList localFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}
} // namespace

void GridView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void GridView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void GridView::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    updateFitRows();
}

void GridView::updateFitRows()
{
    const int rowHeight = verticalHeader()->defaultSectionSize();
    m_grid.setFitRows(fitRowsFor(pixelsToTwips(height()), pixelsToTwips(rowHeight)));
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport()) {
        QHeaderView *header = horizontalHeader();
        if (event->type() == QEvent::MouseButtonPress) {
            auto *me = static_cast<QMouseEvent *>(event);
            const QPoint pos = me->position().toPoint();
            const int col = header->logicalIndexAt(pos);
            if (me->button() != Qt::RightButton && col >= 0) {
                // A press on a column border resizes; only a press inside a
                // header cell sorts.
                const int left = header->sectionViewportPosition(col);
                const int right = left + header->sectionSize(col);
                constexpr int grip = 4;
                if (pos.x() > left + grip && pos.x() < right - grip)
                    emit headerClicked(col);
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::RightButton) {
                const int col = header->logicalIndexAt(me->position().toPoint());
                if (col >= 0)
                    emit headerContextRequested(col, me->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace skedra
