#include "ui/grid_view.h"

#include <algorithm>

#include <QHeaderView>
#include <QMouseEvent>

#include "ui/change_relay.h"
#include "ui/qt_text.h"

namespace lumora {

GridTableModel::GridTableModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid) {
    Reload();
    m_relay = new ChangeRelay(
        grid,
        [this](const ChangeRelay::Pending& pending) {
            if (pending.whole) {
                beginResetModel();
                Reload();
                endResetModel();
                emit shapeChanged();
                return;
            }
            if (pending.firstRow < m_fixedRows) emit headerDataChanged(Qt::Horizontal, 0, std::max(0, m_columns - 1));
            const int first = std::max(pending.firstRow, m_fixedRows) - m_fixedRows;
            const int last = std::min(pending.lastRow - m_fixedRows, m_rows - 1);
            if (first > last || m_columns == 0) return;
            emit dataChanged(index(first, 0), index(last, m_columns - 1));
            if (m_fixedColumns > 0) emit headerDataChanged(Qt::Vertical, first, last);
        },
        this);
}

void GridTableModel::Reload() {
    m_fixedRows = std::min(m_grid.FixedRows(), m_grid.RowCount());
    m_fixedColumns = std::min(m_grid.FixedColumns(), m_grid.ColumnCount());
    m_rows = m_grid.RowCount() - m_fixedRows;
    m_columns = m_grid.ColumnCount() - m_fixedColumns;
}

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_columns; }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return OneLine(ToQt(m_grid.Cell(index.row() + m_fixedRows, index.column() + m_fixedColumns)));
    case Qt::ToolTipRole: {
        QString text = ToQt(m_grid.Cell(index.row() + m_fixedRows, index.column() + m_fixedColumns));
        if (text.trimmed().isEmpty()) return {};
        return text;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    // The fixed row holds the column titles, the fixed column the row marks.
    const Text cell = orientation == Qt::Horizontal
                          ? (m_fixedRows > 0 ? m_grid.Cell(0, section + m_fixedColumns) : Text())
                          : (m_fixedColumns > 0 ? m_grid.Cell(section + m_fixedRows, 0) : Text());
    if (role == Qt::ToolTipRole) return cell.empty() ? QVariant() : QVariant(ToQt(cell));
    return OneLine(ToQt(cell));
}

GridWidget::GridWidget(Grid& grid, QWidget* parent) : QTableView(parent), m_model(new GridTableModel(grid, this)) {
    setObjectName(QString::fromStdString(grid.name()));
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    connect(m_model, &GridTableModel::shapeChanged, this, &GridWidget::ApplyShape);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { this->grid().SetCurrentRow(-1); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                this->grid().SetCurrentRow(current.isValid() ? current.row() + this->grid().FixedRows() : -1);
            });
    ApplyShape();
}

void GridWidget::ApplyShape() {
    Grid& model = grid();
    const int height = model.RowHeight();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(model.FixedRows() > 0 ? height : 0);
    verticalHeader()->setFixedWidth(model.FixedColumns() > 0 ? model.ColumnWidth(0) : 0);
    horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const int width = model.ColumnWidth(column + model.FixedColumns());
        setColumnHidden(column, width == 0);
        if (width > 0) setColumnWidth(column, width);
    }
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit doubleClickedInside();
}

}  // namespace lumora
