#pragma once

#include <algorithm>
#include <mutex>
#include <vector>

#include "controls/control.h"
#include "core/text.h"

namespace lumora {

/// A grid with fixed title rows and columns. Rows and columns count from 0 with
/// the fixed ones included, so data starts at row 1, column 1. Cells are plain
/// text. Any thread may write cells (monitor workers do); observers hear of
/// every change on the writing thread.
class Grid : public Control {
public:
    struct Shape {
        int rows = 50;
        int fixedRows = 1;
        int columns = 2;
        int fixedColumns = 1;
        int defaultWidth = 60;
        int rowHeight = 24;
    };

    Grid(std::string name, int tag, Shape shape);

    int RowCount() const;
    int ColumnCount() const;
    int FixedRows() const;
    int FixedColumns() const;
    int RowHeight() const;
    int ColumnWidth(int column) const;

    /// Inserts a column at column with title in row 0; a column among the fixed
    /// ones or not below the count appends instead. An empty grid first gets one
    /// fixed row and one fixed column.
    bool SetColumnTitle(const Text& title, int column);
    /// False (and no change) outside the grid.
    bool SetColumnWidth(int column, int pixels);
    /// A cell outside the grid is not written.
    void SetCell(int row, int column, Text text);
    /// Writes several cells of one row under one lock and one notification.
    void SetRow(int row, int firstColumn, const std::vector<Text>& cells);
    /// Empty text outside the grid.
    Text Cell(int row, int column) const;
    /// A row marked as holding something new; the window tints it. Not a cell:
    /// the text of the row stays what was written.
    void SetRowMarked(int row, bool marked);
    bool RowMarked(int row) const;
    /// Row of the focus cell; -1 when none.
    int CurrentRow() const;
    void SetCurrentRow(int row);

private:
    bool Inside(int row, int column) const { return row >= 0 && row < m_rows && column >= 0 && column < ColumnsLocked(); }
    int ColumnsLocked() const { return static_cast<int>(m_widths.size()); }

    mutable std::mutex m_mutex;
    int m_rows;
    int m_fixedRows;
    int m_fixedColumns;
    int m_defaultWidth;
    int m_rowHeight;
    std::vector<int> m_widths;
    std::vector<std::vector<Text>> m_cells;  // [row][column]
    std::vector<bool> m_marked;  // per row
    int m_currentRow = -1;
};

}  // namespace lumora
