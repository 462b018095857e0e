#include <thread>

#include <QHeaderView>

#include <gtest/gtest.h>

#include "tests/ui/ui_support.h"
#include "ui/grid_view.h"
#include "ui/qt_text.h"
#include "ui/tab_control.h"

namespace lumora::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

Grid& SetUpGrid(Form& form) {
    Grid& grid = form.Add<Grid>("高级表格1", 91, Grid::Shape{});
    GridSetColumnTitle(grid, "a", 1);
    GridSetColumnTitle(grid, "b", 2);
    GridSetColumnTitle(grid, "c", 3);
    GridSetColumnWidth(grid, 4, 0);
    return grid;
}

TEST(GridViewTest, CellShowsOneLineAndKeepsItsTextInTheTooltip) {
    Form form;
    Grid& grid = SetUpGrid(form);
    GridWidget view(grid, nullptr);
    const Text category = "\n\n\n\n\n\n\n\n[\xBA\xEC\xB0\xFC]";  // GBK: eight line breaks, [红包]
    GridSetCell(grid, 1, 1, category);
    DrainEvents();
    const QModelIndex cell = view.model()->index(0, 0);
    EXPECT_EQ(view.model()->data(cell, Qt::DisplayRole).toString(), U("[红包]"));
    EXPECT_EQ(view.model()->data(cell, Qt::ToolTipRole).toString(), ToQt(category));
    EXPECT_EQ(GridGetCell(grid, 1, 1), category) << "the text itself stays as written";
    EXPECT_FALSE(view.model()->data(view.model()->index(1, 0), Qt::ToolTipRole).isValid());
}

TEST(GridViewTest, WorkerWritesReachTheViewInOneQueuedRepaint) {
    Form form;
    Grid& grid = SetUpGrid(form);
    GridWidget view(grid, nullptr);
    std::vector<std::pair<int, int>> changed;  // first and last view row of each repaint
    QObject::connect(view.model(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& first, const QModelIndex& last) { changed.emplace_back(first.row(), last.row()); });
    std::thread worker([&grid] {
        for (int row = 1; row <= 49; ++row) grid.SetRow(row, 1, {"c", "title " + std::to_string(row), "a", "l"});
    });
    worker.join();
    EXPECT_TRUE(changed.empty()) << "nothing is drawn from the worker's thread";
    DrainEvents();
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], std::make_pair(0, 48));
    EXPECT_EQ(view.model()->data(view.model()->index(48, 1)).toString(), QStringLiteral("title 49"));
}

TEST(GridViewTest, ViewGoneBeforeAQueuedRepaintIsSafe) {
    Form form;
    Grid& grid = SetUpGrid(form);
    {
        GridWidget view(grid, nullptr);
        std::thread worker([&grid] { grid.SetCell(1, 1, "x"); });
        worker.join();
    }
    DrainEvents();
    std::thread later([&grid] { grid.SetCell(2, 1, "y"); });
    later.join();
    DrainEvents();
    EXPECT_EQ(GridGetCell(grid, 2, 1), "y");
}

class GridDoubleClickTest : public testing::Test {
protected:
    GridDoubleClickTest() { ui.window->show(); }

    GridWidget& View() { return *ui.window->findChild<GridWidget*>(U("高级表格1")); }
    Grid& Model() { return View().grid(); }
    void DoubleClickRow(int viewRow) {
        GridWidget& view = View();
        const QRect cell = view.visualRect(view.model()->index(viewRow, 1));
        DoubleClick(view.viewport(), cell.center());
    }

    WindowUnderTest ui;
};

TEST_F(GridDoubleClickTest, OpensTheRowsLinkWithTheDesktop) {
    Model().SetRow(1, 1, {"c", "t1", "a", "http://www.example.com/thread-1-1-1.html"});
    Model().SetRow(2, 1, {"c", "t2", "a", "http://www.example.com/thread-2-1-1.html"});
    DrainEvents();
    DoubleClickRow(1);
    EXPECT_EQ(GridCurrentRow(Model()), 2);
    ASSERT_EQ(ui.desktop.opened.size(), 1u);
    EXPECT_EQ(ui.desktop.opened[0], QStringLiteral("http://www.example.com/thread-2-1-1.html"));
    EXPECT_TRUE(ui.desktop.started.empty());
}

TEST(GridDoubleClickBrowserTest, StartsTheBrowserSettingWithTheLinkAsOneArgument) {
    WindowConfig config;
    config.settings.browser = "/opt/browser/bin/browser";
    WindowUnderTest ui(std::move(config));
    ui.window->show();
    auto& view = *ui.window->findChild<GridWidget*>(U("高级表格1"));
    const std::string link = "http://www.example.com/forum.php?mod=viewthread&tid=7&extra=page%3D1";
    view.grid().SetRow(1, 1, {"c", "t", "a", link});
    DrainEvents();
    DoubleClick(view.viewport(), view.visualRect(view.model()->index(0, 1)).center());
    ASSERT_EQ(ui.desktop.started.size(), 1u);
    EXPECT_EQ(ui.desktop.started[0].program, QStringLiteral("/opt/browser/bin/browser"));
    EXPECT_EQ(ui.desktop.started[0].arguments, QStringList{QString::fromStdString(link)});
    EXPECT_TRUE(ui.desktop.opened.empty());
}

TEST_F(GridDoubleClickTest, LinksThatAreNotWebAddressesAreNotOpened) {
    const std::vector<std::string> links = {"", "javascript:alert(1)", "file:///etc/passwd", "thread-1-1-1.html",
                                            "http://www.example.com/a b"};
    int row = 1;
    for (const std::string& link : links) Model().SetRow(row++, 1, {"c", "t", "a", link});
    DrainEvents();
    for (int i = 0; i < static_cast<int>(links.size()); ++i) DoubleClickRow(i);
    EXPECT_EQ(GridCurrentRow(Model()), static_cast<int>(links.size()));
    EXPECT_TRUE(ui.desktop.opened.empty());
    EXPECT_TRUE(ui.desktop.started.empty());
}

TEST_F(GridDoubleClickTest, WithoutACurrentRowNothingOpens) {
    Model().SetRow(1, 1, {"c", "t", "a", "http://www.example.com/thread-1-1-1.html"});
    DrainEvents();
    ASSERT_EQ(GridCurrentRow(Model()), -1);
    DoubleClick(View().horizontalHeader()->viewport());
    DoubleClick(View().verticalHeader()->viewport(), QPoint(5, 5));
    EXPECT_TRUE(ui.desktop.opened.empty());
    EXPECT_TRUE(ui.window->isVisible());
}

}  // namespace
}  // namespace lumora::test
