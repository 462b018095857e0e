#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "controls/list_view.h"

namespace lumora {

class ChangeRelay;

/// A list view model as Qt sees it: its columns and rows, cells on one line
/// with the full text as tooltip, drawn in the list's text colour.
class ListTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ListTableModel(ListView& list, QObject* parent);

    ListView& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ListView& m_list;
    int m_rows = 0;
    ChangeRelay* m_relay;
};

/// The view of a scrape list: report style, column titles, grid lines, one
/// whole row selectable, white background. Its selection goes back into the
/// model; a right click selects the row under the cursor (or none, below the
/// last row) before it asks for the list's menu.
class ListViewWidget : public QTableView {
    Q_OBJECT
public:
    ListViewWidget(ListView& list, QWidget* parent);

    ListView& list() const { return m_model->list(); }

signals:
    void menuRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SelectFromModel();

    ListTableModel* m_model;
};

}  // namespace lumora
