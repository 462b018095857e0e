#include "controls/grid.h"

namespace lumora {

Grid::Grid(std::string name, int tag, Shape shape)
    : Control(std::move(name), tag),
      m_rows(std::max(0, shape.rows)),
      m_fixedRows(shape.fixedRows),
      m_fixedColumns(shape.fixedColumns),
      m_defaultWidth(shape.defaultWidth),
      m_rowHeight(shape.rowHeight),
      m_widths(static_cast<std::size_t>(std::max(0, shape.columns)), shape.defaultWidth),
      m_cells(static_cast<std::size_t>(m_rows), std::vector<Text>(m_widths.size())),
      m_marked(static_cast<std::size_t>(m_rows), false) {}

int Grid::RowCount() const {
    std::lock_guard lock(m_mutex);
    return m_rows;
}

int Grid::ColumnCount() const {
    std::lock_guard lock(m_mutex);
    return ColumnsLocked();
}

int Grid::FixedRows() const {
    std::lock_guard lock(m_mutex);
    return m_fixedRows;
}

int Grid::FixedColumns() const {
    std::lock_guard lock(m_mutex);
    return m_fixedColumns;
}

int Grid::RowHeight() const {
    std::lock_guard lock(m_mutex);
    return m_rowHeight;
}

int Grid::ColumnWidth(int column) const {
    std::lock_guard lock(m_mutex);
    if (column < 0 || column >= ColumnsLocked()) return 0;
    return m_widths[static_cast<std::size_t>(column)];
}

bool Grid::SetColumnTitle(const Text& title, int column) {
    {
        std::lock_guard lock(m_mutex);
        if (m_rows == 0 && m_widths.empty()) {
            m_rows = 1;
            m_fixedRows = 1;
            m_fixedColumns = 1;
            m_widths.assign(1, m_defaultWidth);
            m_cells.assign(1, std::vector<Text>(1));
            m_marked.assign(1, false);
        }
        if (column < m_fixedColumns || column >= ColumnsLocked()) column = ColumnsLocked();
        auto at = static_cast<std::size_t>(column);
        m_widths.insert(m_widths.begin() + static_cast<std::ptrdiff_t>(at), m_defaultWidth);
        for (auto& row : m_cells) row.insert(row.begin() + static_cast<std::ptrdiff_t>(at), Text());
        if (m_rows > 0) m_cells[0][at] = title;
    }
    changed().Notify({});
    return true;
}

bool Grid::SetColumnWidth(int column, int pixels) {
    {
        std::lock_guard lock(m_mutex);
        if (column < 0 || column >= ColumnsLocked() || pixels < 0) return false;
        m_widths[static_cast<std::size_t>(column)] = pixels;
    }
    changed().Notify({});
    return true;
}

void Grid::SetCell(int row, int column, Text text) {
    {
        std::lock_guard lock(m_mutex);
        if (!Inside(row, column)) return;
        m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::move(text);
    }
    changed().Notify({row, column});
}

void Grid::SetRow(int row, int firstColumn, const std::vector<Text>& cells) {
    {
        std::lock_guard lock(m_mutex);
        if (row < 0 || row >= m_rows) return;
        auto& target = m_cells[static_cast<std::size_t>(row)];
        for (std::size_t i = 0; i < cells.size(); ++i) {
            int column = firstColumn + static_cast<int>(i);
            if (column >= 0 && column < ColumnsLocked()) target[static_cast<std::size_t>(column)] = cells[i];
        }
    }
    changed().Notify({row, -1});
}

Text Grid::Cell(int row, int column) const {
    std::lock_guard lock(m_mutex);
    if (!Inside(row, column)) return {};
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void Grid::SetRowMarked(int row, bool marked) {
    {
        std::lock_guard lock(m_mutex);
        if (row < 0 || row >= m_rows || m_marked[static_cast<std::size_t>(row)] == marked) return;
        m_marked[static_cast<std::size_t>(row)] = marked;
    }
    changed().Notify({row, -1});
}

bool Grid::RowMarked(int row) const {
    std::lock_guard lock(m_mutex);
    return row >= 0 && row < m_rows && m_marked[static_cast<std::size_t>(row)];
}

int Grid::CurrentRow() const {
    std::lock_guard lock(m_mutex);
    return m_currentRow;
}

void Grid::SetCurrentRow(int row) {
    std::lock_guard lock(m_mutex);
    m_currentRow = row;
}

}  // namespace lumora
