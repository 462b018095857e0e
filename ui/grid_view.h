#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "controls/grid.h"

namespace lumora {

class ChangeRelay;

/// A grid model as Qt sees it: the fixed title row becomes the horizontal
/// header and the fixed column the vertical one, so view row r is grid row
/// r + 1 and view column c is grid column c + 1. Cells show on one line with
/// the full text as tooltip. Workers write the grid; this model hears of it on
/// the window's thread only.
class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridTableModel(Grid& grid, QObject* parent);

    Grid& grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    /// The columns or their widths changed: the view lays itself out again.
    void shapeChanged();

private:
    void Reload();

    Grid& m_grid;
    int m_fixedRows = 0;
    int m_fixedColumns = 0;
    int m_rows = 0;
    int m_columns = 0;
    ChangeRelay* m_relay;
};

/// The view of a monitor grid: fixed row heights, the grid's column widths
/// (width 0 hides a column), read-only, whole-row selection. The focus cell's
/// row goes back into the model as its current row.
class GridWidget : public QTableView {
    Q_OBJECT
public:
    GridWidget(Grid& grid, QWidget* parent);

    Grid& grid() const { return m_model->grid(); }

signals:
    /// Any double-click inside the cells' area.
    void doubleClickedInside();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ApplyShape();

    GridTableModel* m_model;
};

}  // namespace lumora
