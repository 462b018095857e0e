#include "ui/list_view_widget.h"

#include <algorithm>

#include <QBrush>
#include <QColor>
#include <QContextMenuEvent>
#include <QHeaderView>

#include "ui/change_relay.h"
#include "ui/qt_text.h"

namespace lumora {

ListTableModel::ListTableModel(ListView& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_rows(list.RowCount()) {
    m_relay = new ChangeRelay(
        list,
        [this](const ChangeRelay::Pending& pending) {
            const int rows = m_list.RowCount();
            if (pending.whole || rows < m_rows) {
                beginResetModel();
                m_rows = rows;
                endResetModel();
                return;
            }
            if (rows > m_rows) {
                beginInsertRows({}, m_rows, rows - 1);
                m_rows = rows;
                endInsertRows();
            }
            const int last = std::min(pending.lastRow, m_rows - 1);
            if (pending.firstRow <= last)
                emit dataChanged(index(pending.firstRow, 0), index(last, columnCount() - 1));
        },
        this);
}

int ListTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int ListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.columns().size());
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return OneLine(ToQt(m_list.Cell(index.row(), index.column())));
    case Qt::ToolTipRole: {
        QString text = ToQt(m_list.Cell(index.row(), index.column()));
        if (text.trimmed().isEmpty()) return {};
        return text;
    }
    case Qt::ForegroundRole: {
        const auto colour = m_list.textColour();
        return QBrush(QColor(colour.red, colour.green, colour.blue));
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return ToQt(m_list.columns()[static_cast<std::size_t>(section)].title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

ListViewWidget::ListViewWidget(ListView& list, QWidget* parent)
    : QTableView(parent), m_model(new ListTableModel(list, this)) {
    setObjectName(QString::fromStdString(list.name()));
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (std::size_t column = 0; column < list.columns().size(); ++column)
        setColumnWidth(static_cast<int>(column), list.columns()[column].width);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::AlternateBase, Qt::white);
    setPalette(colours);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = selectionModel()->selectedRows();
        int first = -1;
        for (const QModelIndex& row : rows) first = first < 0 ? row.row() : std::min(first, row.row());
        this->list().SetSelectedRow(first);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &ListViewWidget::SelectFromModel);
}

void ListViewWidget::SelectFromModel() {
    const int row = list().SelectedRow();
    if (row < 0)
        clearSelection();
    else
        selectRow(row);
}

void ListViewWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex under = indexAt(event->pos());  // viewport coordinates
        if (under.isValid()) {
            setCurrentIndex(under);
            selectRow(under.row());
        } else {
            clearSelection();
            list().SetSelectedRow(-1);
        }
    }
    emit menuRequested();
    event->accept();
}

}  // namespace lumora
