#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "tests/ui/ui_support.h"
#include "ui/grid_view.h"
#include "ui/list_view_widget.h"
#include "ui/tab_control.h"

namespace lumora::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QStringList ActionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << action->text();
    return texts;
}

QWidget* PageOf(const MainWindow& window, const char* caption) {
    TabControl& tabs = window.tabs();
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.tabText(i) == U(caption)) return tabs.page(i);
    return nullptr;
}

class MainWindowTest : public testing::Test {
protected:
    WindowUnderTest ui;
    MainWindow& window = *ui.window;
};

TEST_F(MainWindowTest, FrameIsFixedWithMinimiseAndCloseOnly) {
    EXPECT_EQ(window.windowTitle(), U("Lumora 活动线报采集工具V1.0  by:Tessaly"));
    EXPECT_EQ(window.size(), QSize(757, 473));
    EXPECT_EQ(window.minimumSize(), QSize(757, 473));
    EXPECT_EQ(window.maximumSize(), QSize(757, 473));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST_F(MainWindowTest, MenuBarOffersUpdateAndKeywords) {
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), U("工具"));
    EXPECT_EQ(ActionTexts(menus[0]->menu()), QStringList{U("软件更新")});
    EXPECT_EQ(menus[1]->text(), U("设置"));
    EXPECT_EQ(ActionTexts(menus[1]->menu()), QStringList{U("设置关键字")});
}

TEST_F(MainWindowTest, PopupMenusAreHiddenWithTheirItemsInOrder) {
    const std::vector<std::pair<const char*, QStringList>> expected = {
        {"托盘", {U("退出")}},
        {"菜单", {U("复制活动地址"), U("打开活动地址"), U("删除所有")}},
        {"菜单1", {U("打开查看"), U("清空列表")}},
        {"菜单2", {U("打开活动网址"), U("清空"), U("复制链接")}},
        {"菜单3", {U("打开链接查看"), U("删除所有列表"), U("复制名字+链接")}},
        {"菜单4", {U("打开查看活动详情"), U("复制活动链接+活动名称"), U("删除所有信息")}},
        {"菜单5", {U("打开地址"), U("复制地址+名称"), U("清除信息")}},
        {"菜单6", {U("复制所有消息"), U("删除所有消息"), U("打开活动链接")}},
    };
    for (const auto& [name, items] : expected) {
        SCOPED_TRACE(name);
        QMenu* menu = window.popupMenu(name);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), U(name));
        EXPECT_EQ(ActionTexts(menu), items);
        EXPECT_FALSE(menu->isVisible());
        for (const QAction* bar : window.menuBar()->actions()) EXPECT_NE(bar->menu(), menu);
    }
}

TEST_F(MainWindowTest, TabControlHoldsThirteenPagesInOrder) {
    TabControl& tabs = window.tabs();
    EXPECT_EQ(tabs.objectName(), U("活动线报"));
    EXPECT_EQ(tabs.geometry(), QRect(-1, 0, 753, 424));
    const QStringList pages = {U("活动线报"), U("大家谈"), U("赚品交换"), U("线报屋"), U("赚客之家"),
                               U("小高教学网"), U("爱Q生活网"), U("线报吧"), U("情圣娱乐网"), U("寻宝阁"),
                               U("理财活动"), U("京东物品"), U("号码短租")};
    ASSERT_EQ(tabs.count(), pages.size());
    for (int i = 0; i < tabs.count(); ++i) {
        EXPECT_EQ(tabs.tabText(i), pages[i]);
        EXPECT_EQ(tabs.page(i)->objectName(), pages[i]);
        EXPECT_EQ(tabs.page(i)->geometry(), tabs.rect()) << "controls are placed from the tab control's corner";
    }
    EXPECT_EQ(tabs.currentIndex(), 0);
}

enum class Kind { Label, Edit, Button, Radio, Grid, List };

struct ExpectedControl {
    const char* page;
    const char* name;
    Kind kind;
    QRect place;
    const char* text;
};

// The visible controls of every page, as the form lays them out.
const ExpectedControl kExpected[] = {
    {"活动线报", "标签10", Kind::Label, {17, 24, 392, 24}, "本软件仅采集网络上信息 如出现问题 本人不承担后果"},
    {"活动线报", "标签1", Kind::Label, {453, 23, 52, 24}, "监控间隔"},
    {"活动线报", "编辑框2", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"活动线报", "单选框1", Kind::Radio, {584, 23, 64, 24}, "开始监控"},
    {"活动线报", "按钮2", Kind::Button, {672, 23, 64, 24}, "取消监控"},
    {"活动线报", "高级表格1", Kind::Grid, {8, 56, 737, 360}, ""},
    {"大家谈", "标签11", Kind::Label, {16, 24, 392, 24}, "仅提供网络信息采集 如有使用违法途径本人不承担后果"},
    {"大家谈", "标签2", Kind::Label, {453, 23, 52, 24}, "监控间隔"},
    {"大家谈", "编辑框4", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"大家谈", "单选框2", Kind::Radio, {584, 23, 64, 24}, "开始监控"},
    {"大家谈", "按钮4", Kind::Button, {672, 23, 64, 24}, "取消监控"},
    {"大家谈", "高级表格2", Kind::Grid, {8, 56, 737, 360}, ""},
    {"赚品交换", "标签14", Kind::Label, {16, 24, 392, 24}, "仅提供网络信息采集 如有使用违法途径本人不承担后果"},
    {"赚品交换", "标签5", Kind::Label, {453, 23, 52, 24}, "监控间隔"},
    {"赚品交换", "编辑框9", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"赚品交换", "单选框5", Kind::Radio, {584, 23, 64, 24}, "开始监控"},
    {"赚品交换", "按钮9", Kind::Button, {672, 23, 64, 24}, "取消监控"},
    {"赚品交换", "高级表格5", Kind::Grid, {8, 56, 737, 360}, ""},
    {"线报屋", "标签17", Kind::Label, {16, 24, 392, 24}, "仅提供网络信息采集 如有使用违法途径本人不承担后果"},
    {"线报屋", "标签8", Kind::Label, {453, 23, 52, 24}, "监控间隔"},
    {"线报屋", "编辑框16", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"线报屋", "单选框8", Kind::Radio, {584, 23, 64, 24}, "开始监控"},
    {"线报屋", "按钮5", Kind::Button, {672, 23, 64, 24}, "取消监控"},
    {"线报屋", "高级表格8", Kind::Grid, {8, 56, 737, 360}, ""},
    {"赚客之家", "标签18", Kind::Label, {16, 24, 392, 24}, "仅提供网络信息采集 如有使用违法途径本人不承担后果"},
    {"赚客之家", "标签9", Kind::Label, {453, 23, 52, 24}, "监控间隔"},
    {"赚客之家", "编辑框18", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"赚客之家", "单选框9", Kind::Radio, {584, 23, 64, 24}, "开始监控"},
    {"赚客之家", "按钮7", Kind::Button, {672, 23, 64, 24}, "取消监控"},
    {"赚客之家", "高级表格9", Kind::Grid, {8, 56, 737, 360}, ""},
    {"小高教学网", "超级列表框2", Kind::List, {8, 56, 737, 360}, ""},
    {"小高教学网", "单选框11", Kind::Radio, {576, 24, 88, 24}, "开始监控"},
    {"小高教学网", "标签23", Kind::Label, {456, 24, 52, 24}, "监控间隔"},
    {"小高教学网", "编辑框19", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"小高教学网", "按钮12", Kind::Button, {680, 24, 64, 24}, "取消监控"},
    {"爱Q生活网", "超级列表框3", Kind::List, {8, 56, 737, 360}, ""},
    {"爱Q生活网", "单选框12", Kind::Radio, {576, 24, 88, 24}, "开始监控"},
    {"爱Q生活网", "标签25", Kind::Label, {456, 24, 52, 24}, "监控间隔"},
    {"爱Q生活网", "编辑框21", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"爱Q生活网", "按钮10", Kind::Button, {680, 24, 64, 24}, "取消监控"},
    {"线报吧", "超级列表框6", Kind::List, {8, 56, 737, 360}, ""},
    {"线报吧", "单选框15", Kind::Radio, {576, 24, 88, 24}, "开始监控"},
    {"线报吧", "标签12", Kind::Label, {456, 24, 52, 24}, "监控间隔"},
    {"线报吧", "编辑框24", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"线报吧", "按钮13", Kind::Button, {680, 24, 64, 24}, "取消监控"},
    {"情圣娱乐网", "超级列表框7", Kind::List, {8, 56, 737, 360}, ""},
    {"情圣娱乐网", "单选框16", Kind::Radio, {576, 24, 88, 24}, "开始监控"},
    {"情圣娱乐网", "标签26", Kind::Label, {456, 24, 52, 24}, "监控间隔"},
    {"情圣娱乐网", "编辑框25", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"情圣娱乐网", "按钮14", Kind::Button, {680, 24, 64, 24}, "取消监控"},
    {"寻宝阁", "超级列表框8", Kind::List, {8, 56, 737, 360}, ""},
    {"寻宝阁", "单选框17", Kind::Radio, {576, 24, 88, 24}, "开始监控"},
    {"寻宝阁", "标签13", Kind::Label, {456, 24, 52, 24}, "监控间隔"},
    {"寻宝阁", "编辑框26", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"寻宝阁", "按钮6", Kind::Button, {680, 24, 64, 24}, "取消监控"},
    {"理财活动", "超级列表框9", Kind::List, {8, 56, 737, 360}, ""},
    {"理财活动", "按钮15", Kind::Button, {577, 24, 88, 24}, "开始监控"},
    {"理财活动", "标签29", Kind::Label, {456, 24, 52, 24}, "监控间隔"},
    {"理财活动", "编辑框28", Kind::Edit, {512, 24, 49, 24}, "10"},
    {"理财活动", "按钮16", Kind::Button, {680, 24, 64, 24}, "取消监控"},
    {"京东物品", "超级列表框4", Kind::List, {8, 56, 737, 360}, ""},
    {"京东物品", "单选框14", Kind::Radio, {632, 24, 88, 24}, "开始监控"},
    {"京东物品", "编辑框22", Kind::Edit, {464, 24, 49, 24}, "避孕套"},
    {"京东物品", "编辑框23", Kind::Edit, {569, 24, 48, 24}, "0-1"},
    {"号码短租", "超级列表框1", Kind::List, {8, 56, 737, 360}, ""},
    {"号码短租", "单选框10", Kind::Radio, {649, 24, 88, 24}, "开始查看"},
    {"号码短租", "编辑框20", Kind::Edit, {480, 24, 33, 24}, "1"},
};

TEST_F(MainWindowTest, EveryControlHasItsNamePlaceAndText) {
    for (const ExpectedControl& row : kExpected) {
        SCOPED_TRACE(std::string(row.page) + " / " + row.name);
        QWidget* page = PageOf(window, row.page);
        ASSERT_NE(page, nullptr);
        auto* widget = page->findChild<QWidget*>(U(row.name), Qt::FindDirectChildrenOnly);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), row.place);
        EXPECT_FALSE(widget->isHidden());
        EXPECT_EQ(widget->mapTo(&window.tabs(), QPoint(0, 0)), row.place.topLeft());
        const QString text = U(row.text);
        switch (row.kind) {
        case Kind::Label:
            ASSERT_NE(qobject_cast<QLabel*>(widget), nullptr);
            EXPECT_EQ(qobject_cast<QLabel*>(widget)->text(), text);
            break;
        case Kind::Edit:
            ASSERT_NE(qobject_cast<QLineEdit*>(widget), nullptr);
            EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), text);
            break;
        case Kind::Button:
            ASSERT_NE(qobject_cast<QPushButton*>(widget), nullptr);
            EXPECT_EQ(qobject_cast<QPushButton*>(widget)->text(), text);
            break;
        case Kind::Radio:
            ASSERT_NE(qobject_cast<QRadioButton*>(widget), nullptr);
            EXPECT_EQ(qobject_cast<QRadioButton*>(widget)->text(), text);
            EXPECT_FALSE(qobject_cast<QRadioButton*>(widget)->isChecked());
            break;
        case Kind::Grid:
            EXPECT_NE(qobject_cast<GridWidget*>(widget), nullptr);
            break;
        case Kind::List:
            EXPECT_NE(qobject_cast<ListViewWidget*>(widget), nullptr);
            break;
        }
    }
}

TEST_F(MainWindowTest, EveryPageCarriesItsNotice) {
    const QString notice = U("仅提供网络信息采集 如有使用违法途径本人不承担后果");
    TabControl& tabs = window.tabs();
    for (int i = 0; i < tabs.count(); ++i) {
        SCOPED_TRACE(tabs.tabText(i).toStdString());
        int found = 0;
        for (auto* label : tabs.page(i)->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->text() != notice && label->objectName() != U("标签10")) continue;
            ++found;
            EXPECT_EQ(label->geometry().top(), 24);
            EXPECT_LE(label->geometry().left(), 17);
            EXPECT_TRUE(label->width() == 392 || label->width() == 385);
        }
        EXPECT_EQ(found, 1);
    }
}

TEST_F(MainWindowTest, ScrapePageInputsAreLabelled) {
    const std::vector<std::tuple<const char*, const char*, QRect>> labels = {
        {"京东物品", "物品名字", {408, 24, 52, 24}},
        {"京东物品", "物品价格", {520, 24, 52, 24}},
        {"号码短租", "查看第", {433, 24, 40, 24}},
        {"号码短租", "页项目（第一页为最新）", {521, 24, 128, 24}},
    };
    for (const auto& [page, text, place] : labels) {
        SCOPED_TRACE(text);
        bool found = false;
        for (auto* label : PageOf(window, page)->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (label->text() == U(text)) found = label->geometry() == place;
        EXPECT_TRUE(found);
    }
}

TEST_F(MainWindowTest, HiddenSlotsArePresentButOutOfSightAndReach) {
    QWidget* first = PageOf(window, "活动线报");
    const int pageBottom = window.tabs().height();
    // Address boxes of every slot, and all of slot 4, are hidden.
    for (const char* name : {"编辑框1", "编辑框3", "编辑框5", "编辑框7", "编辑框10", "编辑框12", "编辑框13", "编辑框15",
                             "编辑框17", "编辑框8", "单选框4", "按钮8", "高级表格4"}) {
        SCOPED_TRACE(name);
        auto* widget = window.findChild<QWidget*>(U(name));
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isHidden());
    }
    // The other controls of slots 3, 6 and 7 lie below the tab control's edge.
    for (const char* name : {"编辑框6", "单选框3", "高级表格3", "编辑框11", "单选框6", "按钮1", "高级表格6", "编辑框14",
                             "单选框7", "按钮3", "高级表格7"}) {
        SCOPED_TRACE(name);
        auto* widget = first->findChild<QWidget*>(U(name), Qt::FindDirectChildrenOnly);
        ASSERT_NE(widget, nullptr);
        EXPECT_GE(widget->geometry().top(), 448);
        EXPECT_GT(widget->geometry().top(), pageBottom);
        EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);
    }
    // Their address boxes hold the default board addresses.
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.findChild<QWidget*>(U("编辑框5")))->text(),
              U("http://127.0.0.1:9/forum-31-1.html"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.findChild<QWidget*>(U("编辑框17")))->text(),
              U("http://127.0.0.1:9/sort/huodong/page/1"));
}

TEST_F(MainWindowTest, MonitorGridsAreSetUpWhenTheWindowIsCreated) {
    for (int slot = 1; slot <= 9; ++slot) {
        SCOPED_TRACE(slot);
        auto* view = window.findChild<GridWidget*>(U("高级表格") + QString::number(slot));
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* model = view->model();
        ASSERT_EQ(model->columnCount(), 4);
        EXPECT_EQ(model->rowCount(), 49);
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), U("标签"));
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), U("标题 双击打开网址"));
        EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), U("提出者"));
        EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QString());
        EXPECT_EQ(view->columnWidth(0), 50);
        EXPECT_EQ(view->columnWidth(1), 500);
        EXPECT_EQ(view->columnWidth(2), 100);
        EXPECT_TRUE(view->isColumnHidden(3));
        EXPECT_EQ(view->verticalHeader()->width(), 60);
        EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), QString());
        EXPECT_EQ(view->rowHeight(0), 24);
        EXPECT_EQ(view->horizontalHeader()->height(), 24);
    }
}

TEST_F(MainWindowTest, ScrapeListsHaveTheirColumnsAndColours) {
    struct ExpectedList {
        const char* name;
        QStringList titles;
        std::vector<int> widths;
        QColor colour;
    };
    const std::vector<ExpectedList> lists = {
        {"超级列表框2", {U("活动标题"), U("活动地址")}, {380, 350}, QColor(255, 0, 0)},
        {"超级列表框3", {U("活动标题"), U("发稿时间")}, {380, 350}, QColor(255, 0, 0)},
        {"超级列表框6", {U("活动编号"), U("活动名称")}, {120, 610}, QColor(255, 128, 0)},
        {"超级列表框7", {U("活动编号"), U("活动名称")}, {120, 610}, QColor(60, 182, 196)},
        {"超级列表框8", {U("活动编号"), U("活动名称")}, {230, 500}, QColor(144, 0, 255)},
        {"超级列表框9", {U("活动奖励"), U("活动名字"), U("活动ID")}, {250, 230, 250}, QColor(192, 96, 0)},
        {"超级列表框4", {U("物品名字"), U("活动地址（物品ID）"), U("价格")}, {390, 220, 120}, QColor(192, 96, 0)},
        {"超级列表框1", {U("项目名字"), U("活动地址")}, {150, 580}, QColor(255, 0, 0)},
    };
    for (const ExpectedList& expected : lists) {
        SCOPED_TRACE(expected.name);
        auto* view = window.findChild<ListViewWidget*>(U(expected.name));
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->model()->columnCount(), expected.titles.size());
        for (int column = 0; column < expected.titles.size(); ++column) {
            EXPECT_EQ(view->model()->headerData(column, Qt::Horizontal).toString(), expected.titles[column]);
            EXPECT_EQ(view->columnWidth(column), expected.widths[static_cast<std::size_t>(column)]);
        }
        EXPECT_TRUE(view->showGrid());
        EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_TRUE(view->horizontalHeader()->isVisibleTo(view));
        EXPECT_EQ(view->palette().color(QPalette::Base), QColor(Qt::white));
        ListView& list = view->list();
        ListViewSetCell(list, ListViewInsertRow(list), 0, "x");
        EXPECT_EQ(view->model()->data(view->model()->index(0, 0), Qt::ForegroundRole).value<QBrush>().color(),
                  expected.colour);
    }
}

TEST_F(MainWindowTest, SwitchingPagesChangesOnlyThePageShown) {
    window.show();
    TabControl& tabs = window.tabs();
    for (int i = 0; i < tabs.count(); ++i) {
        tabs.setCurrentIndex(i);
        for (int j = 0; j < tabs.count(); ++j) EXPECT_EQ(tabs.page(j)->isVisible(), i == j);
    }
    EXPECT_TRUE(ui.desktop.opened.empty());
    EXPECT_TRUE(ui.popups.empty());
    EXPECT_FALSE(window.monitors().IsRunning(1));
}

}  // namespace
}  // namespace lumora::test
