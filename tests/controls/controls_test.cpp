#include <gtest/gtest.h>

#include <atomic>

#include "controls/toolkit.h"

namespace lumora {
namespace {

TEST(Grid, TitlesInsertColumnsSoTheUntitledOneMovesOn) {
    Grid grid("grid", 91, {});
    ASSERT_EQ(grid.ColumnCount(), 2);
    EXPECT_TRUE(GridSetColumnTitle(grid, "a", 1));
    EXPECT_TRUE(GridSetColumnTitle(grid, "b", 2));
    EXPECT_TRUE(GridSetColumnTitle(grid, "c", 3));
    ASSERT_EQ(grid.ColumnCount(), 5);
    EXPECT_EQ(GridGetCell(grid, 0, 1), "a");
    EXPECT_EQ(GridGetCell(grid, 0, 3), "c");
    EXPECT_EQ(GridGetCell(grid, 0, 4), "");
    EXPECT_EQ(grid.ColumnWidth(4), 60);

    // Among the fixed columns, or past the end: appended.
    EXPECT_TRUE(GridSetColumnTitle(grid, "d", 0));
    EXPECT_TRUE(GridSetColumnTitle(grid, "e", 99));
    EXPECT_EQ(GridGetCell(grid, 0, 5), "d");
    EXPECT_EQ(GridGetCell(grid, 0, 6), "e");
}

TEST(Grid, EmptyGridFirstGetsAFixedRowAndColumn) {
    Grid grid("grid", 0, {.rows = 0, .fixedRows = 0, .columns = 0, .fixedColumns = 0});
    EXPECT_TRUE(GridSetColumnTitle(grid, "t", 1));
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.ColumnCount(), 2);
    EXPECT_EQ(GridGetCell(grid, 0, 1), "t");
}

TEST(Grid, OutsideTheGridNothingIsWrittenOrRead) {
    Grid grid("grid", 0, {});
    GridSetCell(grid, 49, 1, "last");
    GridSetCell(grid, 50, 1, "beyond");
    GridSetCell(grid, -1, 1, "before");
    GridSetCell(grid, 1, 2, "beyond column");
    EXPECT_EQ(GridGetCell(grid, 49, 1), "last");
    EXPECT_EQ(GridGetCell(grid, 50, 1), "");
    EXPECT_EQ(GridGetCell(grid, 1, 2), "");
    EXPECT_FALSE(GridSetColumnWidth(grid, 2, 10));
    EXPECT_FALSE(GridSetColumnWidth(grid, -1, 10));
    EXPECT_EQ(GridCurrentRow(grid), -1);
}

TEST(Grid, ObserversHearEveryWrite) {
    Grid grid("grid", 0, {});
    std::atomic<int> heard = 0;
    int id = grid.changed().Subscribe([&](const Change& change) {
        EXPECT_EQ(change.row, 3);
        ++heard;
    });
    GridSetCell(grid, 3, 1, "x");
    grid.SetRow(3, 1, {"a", "b"});
    grid.changed().Unsubscribe(id);
    GridSetCell(grid, 4, 1, "y");
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(GridGetCell(grid, 3, 1), "a");
}

TEST(ListView, RowsCellsSelectionClear) {
    ListView list("list", {{"t", 380}, {"u", 350}}, {255, 0, 0});
    EXPECT_EQ(ListViewInsertRow(list), 0);
    EXPECT_EQ(ListViewInsertRow(list), 1);
    ListViewSetCell(list, 1, 1, "b");
    ListViewSetCell(list, 5, 0, "nowhere");
    EXPECT_EQ(ListViewGetCell(list, 1, 1), "b");
    EXPECT_EQ(ListViewGetCell(list, 7, 0), "");
    EXPECT_EQ(ListViewSelectedRow(list), -1);
    list.SetSelectedRow(1);
    EXPECT_EQ(ListViewSelectedRow(list), 1);
    ListViewClear(list);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(ListViewSelectedRow(list), -1);
}

TEST(ListBox, AddDeleteAndSelectedAscending) {
    ListBox box("box");
    EXPECT_EQ(ListBoxAdd(box, "b"), 0);
    EXPECT_EQ(ListBoxAdd(box, "a"), 1);  // unsorted
    EXPECT_EQ(ListBoxAdd(box, "c"), 2);
    box.SetSelected(2, true);
    box.SetSelected(0, true);
    EXPECT_EQ(ListBoxSelectedIndexes(box), (std::vector<int>{0, 2}));
    ListBoxDelete(box, 1);
    EXPECT_EQ(ListBoxCount(box), 2);
    EXPECT_EQ(ListBoxItemText(box, 1), "c");
    EXPECT_EQ(ListBoxItemText(box, 9), "");
}

TEST(Form, FindsByNameAndTag) {
    Form form;
    form.Add<EditBox>("edit", "10");
    auto& grid = form.Add<Grid>("grid", 93, Grid::Shape{});
    EXPECT_EQ(FindControlByTag(form, 93), &grid);
    EXPECT_EQ(FindControlByTag(form, 94), nullptr);
    ASSERT_NE(form.Find<EditBox>("edit"), nullptr);
    EXPECT_EQ(ReadText(*form.Find<EditBox>("edit")), "10");
    EXPECT_EQ(form.Find<Grid>("edit"), nullptr);
}

}  // namespace
}  // namespace lumora
