#pragma once

// The window operations the logic is written against, over the control models.

#include "controls/edit_box.h"
#include "controls/form.h"
#include "controls/grid.h"
#include "controls/list_view.h"

namespace lumora {

inline Text ReadText(const EditBox& box) { return box.ReadText(); }
inline void SetText(EditBox& box, Text text) { box.SetText(std::move(text)); }
inline bool IsChecked(const RadioButton& button) { return button.IsChecked(); }
inline void SetChecked(RadioButton& button, bool checked) { button.SetChecked(checked); }
inline Control* FindControlByTag(const Form& form, int tag) { return form.FindControlByTag(tag); }

inline bool GridSetColumnTitle(Grid& grid, const Text& title, int column) { return grid.SetColumnTitle(title, column); }
inline bool GridSetColumnWidth(Grid& grid, int column, int pixels) { return grid.SetColumnWidth(column, pixels); }
inline void GridSetCell(Grid& grid, int row, int column, Text text) { grid.SetCell(row, column, std::move(text)); }
inline Text GridGetCell(const Grid& grid, int row, int column) { return grid.Cell(row, column); }
inline int GridCurrentRow(const Grid& grid) { return grid.CurrentRow(); }

inline int ListViewInsertRow(ListView& list) { return list.InsertRow(); }
inline void ListViewSetCell(ListView& list, int row, int column, Text text) { list.SetCell(row, column, std::move(text)); }
inline Text ListViewGetCell(const ListView& list, int row, int column) { return list.Cell(row, column); }
inline int ListViewSelectedRow(const ListView& list) { return list.SelectedRow(); }
inline void ListViewClear(ListView& list) { list.Clear(); }

inline int ListBoxAdd(ListBox& box, Text text) { return box.Add(std::move(text)); }
inline void ListBoxDelete(ListBox& box, int index) { box.Delete(index); }
inline int ListBoxCount(const ListBox& box) { return box.Count(); }
inline Text ListBoxItemText(const ListBox& box, int index) { return box.ItemText(index); }
inline std::vector<int> ListBoxSelectedIndexes(const ListBox& box) { return box.SelectedIndexes(); }

}  // namespace lumora
