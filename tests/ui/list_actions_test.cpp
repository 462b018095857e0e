#include <QContextMenuEvent>

#include <gtest/gtest.h>

#include "core/charset.h"
#include "tests/ui/ui_support.h"
#include "ui/grid_view.h"
#include "ui/list_view_widget.h"
#include "ui/qt_text.h"
#include "ui/tab_control.h"

namespace lumora::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Rows as the sources fill them, row r of each list.
std::vector<std::string> RowOf(const std::string& list, int r) {
    const std::string n = std::to_string(r);
    if (list == "超级列表框1") return {"项目" + n, "http://sms.test/p" + n};
    if (list == "超级列表框2") return {"标题" + n, "http://xg.test/" + n + ".html"};
    if (list == "超级列表框3") return {"http://iq.test/qita/" + n + ".html", "标题" + n};
    if (list == "超级列表框4") return {"物品" + n, "item.jd.com/" + n + ".html", "9.9"};
    if (list == "超级列表框6") return {"100" + n, "名称" + n};
    if (list == "超级列表框7") return {n + ".html", "名称" + n};
    if (list == "超级列表框8") return {"http://xbg.test/" + n + ".html", "名称" + n};
    return {"奖励" + n, "名字" + n, "id" + n};
}

const char* const kLists[] = {"超级列表框1", "超级列表框2", "超级列表框3", "超级列表框4",
                              "超级列表框6", "超级列表框7", "超级列表框8", "超级列表框9"};

class ListActionsTest : public testing::Test {
protected:
    ListActionsTest() {
        WindowConfig config;
        config.settings.siteBase[static_cast<int>(Site::XianBaoBa)] = "http://xbb.test";
        config.settings.siteBase[static_cast<int>(Site::QingShengYuLe)] = "http://qs.test";
        config.settings.siteBase[static_cast<int>(Site::AiQShengHuo)] = "http://iq.test";
        ui = std::make_unique<WindowUnderTest>(std::move(config));
        ui->window->show();
        for (const char* name : kLists) {
            ListView& list = View(name).list();
            for (int r = 0; r < 5; ++r) {
                const int row = ListViewInsertRow(list);
                const auto cells = RowOf(name, r);
                for (std::size_t c = 0; c < cells.size(); ++c)
                    ListViewSetCell(list, row, static_cast<int>(c), Utf8ToGbk(cells[c]));
            }
        }
        GridSetCell(ui->window->monitors().GridOf(1), 1, 2, "kept");
        DrainEvents();
    }

    ListViewWidget& View(const char* name) { return *ui->window->findChild<ListViewWidget*>(U(name)); }
    void ShowPageOf(ListViewWidget& view) {
        for (int i = 0; i < ui->window->tabs().count(); ++i)
            if (ui->window->tabs().page(i) == view.parentWidget()) ui->window->tabs().setCurrentIndex(i);
    }
    void RightClick(ListViewWidget& view, QPoint at) {
        ShowPageOf(view);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &event);
    }
    void RightClickRow(const char* list, int row) {
        ListViewWidget& view = View(list);
        RightClick(view, view.visualRect(view.model()->index(row, 0)).center());
    }
    void RightClickBelowTheRows(const char* list) {
        ListViewWidget& view = View(list);
        RightClick(view, QPoint(10, view.viewport()->height() - 5));
    }
    void Choose(const char* menu, const char* item) {
        for (QAction* action : ui->window->popupMenu(menu)->actions())
            if (action->text() == U(item)) action->trigger();
    }

    std::unique_ptr<WindowUnderTest> ui;
};

struct ActionCase {
    const char* list;
    const char* menu;
    const char* item;
    const char* copied;  // nullptr: nothing copied
    const char* opened;  // nullptr: nothing opened
};

const ActionCase kRowThree[] = {
    {"超级列表框1", "菜单", "复制活动地址", "http://sms.test/p3", nullptr},
    {"超级列表框1", "菜单", "打开活动地址", nullptr, "http://sms.test/p3"},
    {"超级列表框2", "菜单1", "打开查看", nullptr, "http://xg.test/3.html"},
    {"超级列表框3", "菜单2", "打开活动网址", nullptr, "http://iq.test"},
    {"超级列表框3", "菜单2", "复制链接", "http://iq.test/qita/3.html", nullptr},
    {"超级列表框4", "菜单3", "打开链接查看", nullptr, "https://item.jd.com/3.html"},
    {"超级列表框4", "菜单3", "复制名字+链接", "物品3\r\nhttps://item.jd.com/3.html", nullptr},
    {"超级列表框6", "菜单4", "打开查看活动详情", nullptr,
     "http://xbb.test/forum.php?mod=viewthread&tid=1003&extra=page%3D1%26filter%3Dlastpost%26orderby%3Dlastpost"},
    {"超级列表框6", "菜单4", "复制活动链接+活动名称",
     "http://xbb.test/forum.php?mod=viewthread&tid=1003&extra=page%3D1%26filter%3Dlastpost%26orderby%3Dlastpost"
     "\r\n名称3",
     nullptr},
    {"超级列表框7", "菜单5", "打开地址", nullptr, "http://qs.test/info/3.html"},
    {"超级列表框7", "菜单5", "复制地址+名称", "http://qs.test/info/3.html\r\n名称3", nullptr},
    {"超级列表框8", "菜单6", "复制所有消息", "http://xbg.test/3.html\r\n名称3", nullptr},
    {"超级列表框8", "菜单6", "打开活动链接", nullptr, "http://xbg.test/3.html"},
};

TEST_F(ListActionsTest, RightClickedRowFeedsItsMenuItems) {
    for (const ActionCase& row : kRowThree) {
        SCOPED_TRACE(std::string(row.menu) + " / " + row.item);
        ui->popups.clear();
        ui->desktop.clipboard.clear();
        ui->desktop.opened.clear();
        RightClickRow(row.list, 3);
        ASSERT_EQ(ui->popups, std::vector<QString>{U(row.menu)});
        EXPECT_EQ(ListViewSelectedRow(View(row.list).list()), 3);
        Choose(row.menu, row.item);
        EXPECT_EQ(ui->desktop.clipboard, row.copied ? std::vector<QString>{U(row.copied)} : std::vector<QString>{});
        EXPECT_EQ(ui->desktop.opened, row.opened ? std::vector<QString>{U(row.opened)} : std::vector<QString>{});
        EXPECT_TRUE(ui->desktop.started.empty());
    }
}

TEST_F(ListActionsTest, WithNoRowSelectedCellsReadAsEmpty) {
    RightClickRow("超级列表框8", 2);
    RightClickBelowTheRows("超级列表框8");
    EXPECT_EQ(ListViewSelectedRow(View("超级列表框8").list()), -1);
    EXPECT_TRUE(View("超级列表框8").selectionModel()->selectedRows().isEmpty());
    Choose("菜单6", "复制所有消息");
    EXPECT_EQ(ui->desktop.clipboard, std::vector<QString>{QStringLiteral("\r\n")});

    RightClickBelowTheRows("超级列表框4");
    Choose("菜单3", "复制名字+链接");
    Choose("菜单3", "打开链接查看");
    EXPECT_EQ(ui->desktop.clipboard.back(), QStringLiteral("\r\nhttps://"));
    EXPECT_TRUE(ui->desktop.opened.empty()) << "a bare https:// is no address";

    RightClickBelowTheRows("超级列表框3");
    Choose("菜单2", "打开活动网址");
    EXPECT_EQ(ui->desktop.opened, std::vector<QString>{QStringLiteral("http://iq.test")});
}

TEST_F(ListActionsTest, AiQLinkGivenRelativeIsCompletedWithTheSite) {
    ListView& list = View("超级列表框3").list();
    ListViewSetCell(list, 1, 0, "/qita/77.html");
    ListViewSetCell(list, 2, 0, "qita/78.html");
    RightClickRow("超级列表框3", 1);
    Choose("菜单2", "复制链接");
    RightClickRow("超级列表框3", 2);
    Choose("菜单2", "复制链接");
    EXPECT_EQ(ui->desktop.clipboard, (std::vector<QString>{QStringLiteral("http://iq.test/qita/77.html"),
                                                          QStringLiteral("http://iq.test/qita/78.html")}));
}

TEST_F(ListActionsTest, CellsGoIntoTheTextsAsTheyStand) {
    ListView& list = View("超级列表框8").list();
    const Text odd = "\r\n  \xBA\xEC\xB0\xFC\t<b>&amp;</b> ";  // GBK: line break, blanks, 红包, tab, markup
    ListViewSetCell(list, 0, 1, odd);
    RightClickRow("超级列表框8", 0);
    Choose("菜单6", "复制所有消息");
    EXPECT_EQ(ui->desktop.clipboard.back(), QStringLiteral("http://xbg.test/0.html\r\n") + ToQt(odd));
    EXPECT_EQ(View("超级列表框8").model()->data(View("超级列表框8").model()->index(0, 1)).toString(),
              U("红包 <b>&amp;</b>"));
}

TEST_F(ListActionsTest, ClearEmptiesOnlyItsOwnList) {
    const std::vector<std::pair<const char*, std::pair<const char*, const char*>>> clears = {
        {"超级列表框1", {"菜单", "删除所有"}},       {"超级列表框2", {"菜单1", "清空列表"}},
        {"超级列表框3", {"菜单2", "清空"}},         {"超级列表框4", {"菜单3", "删除所有列表"}},
        {"超级列表框6", {"菜单4", "删除所有信息"}}, {"超级列表框7", {"菜单5", "清除信息"}},
        {"超级列表框8", {"菜单6", "删除所有消息"}},
    };
    std::vector<std::string> cleared;
    for (const auto& [list, item] : clears) {
        SCOPED_TRACE(list);
        RightClickRow(list, 1);
        Choose(item.first, item.second);
        cleared.push_back(list);
        for (const char* other : kLists) {
            const bool gone = std::find(cleared.begin(), cleared.end(), other) != cleared.end();
            EXPECT_EQ(View(other).model()->rowCount(), gone ? 0 : 5) << other;
            EXPECT_EQ(View(other).list().RowCount(), gone ? 0 : 5) << other;
        }
        EXPECT_EQ(View(list).model()->columnCount(), static_cast<int>(View(list).list().columns().size()));
        EXPECT_EQ(ListViewSelectedRow(View(list).list()), -1);
    }
    EXPECT_EQ(GridGetCell(ui->window->monitors().GridOf(1), 1, 2), "kept");

    // The next rows append from row 0 again.
    ListView& list = View("超级列表框6").list();
    ListViewSetCell(list, ListViewInsertRow(list), 0, "7");
    EXPECT_EQ(View("超级列表框6").model()->rowCount(), 1);
    EXPECT_EQ(View("超级列表框6").model()->data(View("超级列表框6").model()->index(0, 0)).toString(),
              QStringLiteral("7"));
}

TEST_F(ListActionsTest, LendingListHasNoMenu) {
    RightClickRow("超级列表框9", 1);
    EXPECT_TRUE(ui->popups.empty());
}

}  // namespace
}  // namespace lumora::test
