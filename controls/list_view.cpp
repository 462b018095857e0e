#include "controls/list_view.h"

namespace lumora {

ListView::ListView(std::string name, std::vector<Column> columns, Colour text, int tag)
    : Control(std::move(name), tag), m_columns(std::move(columns)), m_colour(text) {}

int ListView::InsertRow() {
    int index;
    {
        std::lock_guard lock(m_mutex);
        m_rows.emplace_back(m_columns.size());
        index = static_cast<int>(m_rows.size()) - 1;
    }
    changed().Notify({index, -1});
    return index;
}

void ListView::SetCell(int row, int column, Text text) {
    {
        std::lock_guard lock(m_mutex);
        if (row < 0 || row >= static_cast<int>(m_rows.size()) || column < 0) return;
        auto& cells = m_rows[static_cast<std::size_t>(row)];
        if (column >= static_cast<int>(cells.size())) cells.resize(static_cast<std::size_t>(column) + 1);
        cells[static_cast<std::size_t>(column)] = std::move(text);
    }
    changed().Notify({row, column});
}

Text ListView::Cell(int row, int column) const {
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || column < 0) return {};
    const auto& cells = m_rows[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(cells.size())) return {};
    return cells[static_cast<std::size_t>(column)];
}

int ListView::RowCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

int ListView::SelectedRow() const {
    std::lock_guard lock(m_mutex);
    return m_selected;
}

void ListView::SetSelectedRow(int row) {
    std::lock_guard lock(m_mutex);
    m_selected = (row >= 0 && row < static_cast<int>(m_rows.size())) ? row : -1;
}

void ListView::Clear() {
    {
        std::lock_guard lock(m_mutex);
        m_rows.clear();
        m_selected = -1;
    }
    changed().Notify({});
}

std::vector<std::vector<Text>> ListView::Rows() const {
    std::lock_guard lock(m_mutex);
    return m_rows;
}

int ListBox::Add(Text text) {
    int index;
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back({std::move(text), false});
        index = static_cast<int>(m_items.size()) - 1;
    }
    changed().Notify({index, -1});
    return index;
}

void ListBox::Delete(int index) {
    {
        std::lock_guard lock(m_mutex);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return;
        m_items.erase(m_items.begin() + index);
    }
    changed().Notify({});
}

int ListBox::Count() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_items.size());
}

Text ListBox::ItemText(int index) const {
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return {};
    return m_items[static_cast<std::size_t>(index)].text;
}

std::vector<int> ListBox::SelectedIndexes() const {
    std::lock_guard lock(m_mutex);
    std::vector<int> selected;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].selected) selected.push_back(static_cast<int>(i));
    return selected;
}

void ListBox::SetSelected(int index, bool selected) {
    std::lock_guard lock(m_mutex);
    if (index >= 0 && index < static_cast<int>(m_items.size())) m_items[static_cast<std::size_t>(index)].selected = selected;
}

}  // namespace lumora
