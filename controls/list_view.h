#pragma once

#include <mutex>
#include <vector>

#include "controls/control.h"
#include "core/text.h"

namespace lumora {

/// A report-style list: titled columns, rows of text cells, one selectable row.
/// Rows, columns count from 0; -1 means none.
class ListView : public Control {
public:
    struct Column {
        Text title;
        int width;
    };
    struct Colour {
        int red, green, blue;
    };

    ListView(std::string name, std::vector<Column> columns, Colour text, int tag = 0);

    const std::vector<Column>& columns() const { return m_columns; }
    Colour textColour() const { return m_colour; }

    /// Appends an empty row and gives its index.
    int InsertRow();
    void SetCell(int row, int column, Text text);
    /// A missing row or column reads as empty text.
    Text Cell(int row, int column) const;
    int RowCount() const;
    /// First selected row, -1 when none.
    int SelectedRow() const;
    void SetSelectedRow(int row);
    void Clear();
    /// Every row, for the window to draw.
    std::vector<std::vector<Text>> Rows() const;

private:
    const std::vector<Column> m_columns;
    const Colour m_colour;
    mutable std::mutex m_mutex;
    std::vector<std::vector<Text>> m_rows;
    int m_selected = -1;
};

/// A multi-selection list box of texts, unsorted.
class ListBox : public Control {
public:
    explicit ListBox(std::string name, int tag = 0) : Control(std::move(name), tag) {}

    /// Appends; gives the new item's index.
    int Add(Text text);
    void Delete(int index);
    int Count() const;
    /// Empty when out of range.
    Text ItemText(int index) const;
    /// Selected items, ascending.
    std::vector<int> SelectedIndexes() const;
    void SetSelected(int index, bool selected);

private:
    struct Item {
        Text text;
        bool selected = false;
    };
    mutable std::mutex m_mutex;
    std::vector<Item> m_items;
};

}  // namespace lumora
