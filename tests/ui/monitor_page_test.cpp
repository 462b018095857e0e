#include <atomic>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "monitor/monitors.h"
#include "tests/support/board_pages.h"
#include "tests/support/handler_gate.h"
#include "tests/support/loopback_server.h"
#include "tests/ui/ui_support.h"
#include "ui/grid_view.h"
#include "ui/keyword_window.h"
#include "ui/qt_text.h"
#include "ui/tab_control.h"

namespace lumora::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// GBK: 红包
const Text kRedPacket = "\xBA\xEC\xB0\xFC";

class MonitorPageTest : public testing::Test {
protected:
    explicit MonitorPageTest(PauseFunction pause = InterruptiblePause) {
        WindowConfig config;
        config.settings = SettingsAt(server.base());
        config.pause = std::move(pause);
        ui = std::make_unique<WindowUnderTest>(std::move(config));
        window().show();
    }

    MainWindow& window() { return *ui->window; }
    template <typename T>
    T& Widget(const char* name) {
        T* widget = window().findChild<T*>(U(name));
        if (!widget) throw std::runtime_error(name);
        return *widget;
    }
    QString ShownTitle(const char* grid, int viewRow) {
        auto& view = Widget<GridWidget>(grid);
        return view.model()->data(view.model()->index(viewRow, 1)).toString();
    }
    void ShowPage(const char* caption) {
        TabControl& tabs = window().tabs();
        for (int i = 0; i < tabs.count(); ++i)
            if (tabs.tabText(i) == U(caption)) tabs.setCurrentIndex(i);
    }

    LoopbackServer server;
    std::unique_ptr<WindowUnderTest> ui;
};

TEST_F(MonitorPageTest, StartFillsTheGridAndStopTakesEffectAtOnce) {
    server.Serve("/forum-19-1.html", ForumPage(Site::ZhuanKeBa, server.base(), 35));
    auto& start = Widget<QRadioButton>("单选框1");
    Click(&start);
    EXPECT_TRUE(start.isChecked());
    EXPECT_TRUE(window().monitors().IsRunning(1));

    const BoardPost first = ExpectedPost(Site::ZhuanKeBa, server.base(), 1);
    const BoardPost last = ExpectedPost(Site::ZhuanKeBa, server.base(), 35);
    ASSERT_TRUE(WaitUntil([&] { return ShownTitle("高级表格1", 34) == OneLine(ToQt(last.title)); }));
    EXPECT_EQ(ShownTitle("高级表格1", 0), OneLine(ToQt(first.title)));
    EXPECT_EQ(GridGetCell(window().monitors().GridOf(1), 1, 4), first.link);
    EXPECT_EQ(server.Hits("/forum-19-1.html"), 1) << "35 kept posts: one read, then the ten-second pause";

    // Clicking the ticked radio again starts nothing more.
    Click(&start);
    EXPECT_TRUE(start.isChecked());

    Click(&Widget<QPushButton>("按钮2"));
    EXPECT_FALSE(start.isChecked());
    EXPECT_FALSE(IsChecked(window().monitors().StartButtonOf(1)));
    EXPECT_FALSE(window().monitors().IsRunning(1));
    EXPECT_EQ(ShownTitle("高级表格1", 0), OneLine(ToQt(first.title))) << "the grid keeps its rows";
    EXPECT_EQ(server.Hits("/forum-19-1.html"), 1);
}

class MonitorPageNoPauseTest : public MonitorPageTest {
protected:
    MonitorPageNoPauseTest() : MonitorPageTest(PauseFunction{}) {}
};

TEST_F(MonitorPageNoPauseTest, StopDuringAReadLeavesNoLaterWrite) {
    HandlerGate gate;
    std::atomic<int> reads{0};
    std::atomic<int> answered{0};
    const std::string page = ForumPage(Site::ZhuanKeBa, server.base(), 35);
    server.Get("/forum-19-1.html", [&, wait = gate.Waiter()](const httplib::Request&, httplib::Response& response) {
        if (++reads > 1) wait();
        response.set_content(page, "text/html");
        ++answered;
    });
    Click(&Widget<QRadioButton>("单选框1"));
    ASSERT_TRUE(gate.WaitForArrivals(1)) << "the second cycle's read is held";
    Grid& grid = window().monitors().GridOf(1);
    auto writesAfterStop = std::make_shared<std::atomic<int>>(0);
    grid.changed().Subscribe([writesAfterStop](const Change&) { ++*writesAfterStop; });

    Click(&Widget<QPushButton>("按钮2"));
    EXPECT_FALSE(Widget<QRadioButton>("单选框1").isChecked());
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return answered.load() == 2; }));
    ui.reset();  // joins every worker
    EXPECT_EQ(writesAfterStop->load(), 0);
}

TEST_F(MonitorPageNoPauseTest, RowsArriveWhileTheWindowIsHidden) {
    std::atomic<int> reads{0};
    server.Get(R"(/sitemap\.php)", [&](const httplib::Request&, httplib::Response& response) {
        const int cycle = ++reads;
        response.set_content(SitemapPage(server.base(), 5, cycle * 100), "text/html");
    });
    ShowPage("线报屋");
    Click(&Widget<QRadioButton>("单选框8"));
    ASSERT_TRUE(WaitUntil([&] { return !ShownTitle("高级表格8", 0).isEmpty(); }));
    window().close();
    ASSERT_FALSE(window().isVisible());
    const int hiddenAt = reads.load();
    const QString shownThen = ShownTitle("高级表格8", 0);
    ASSERT_TRUE(WaitUntil([&] { return reads.load() > hiddenAt + 1 && ShownTitle("高级表格8", 0) != shownThen; }));
    EXPECT_TRUE(ShownTitle("高级表格8", 0).contains(QStringLiteral("00 "))) << "a later cycle's first post";
    window().monitors().StopAll();
}

TEST_F(MonitorPageNoPauseTest, NewKeywordsFilterFromTheNextCycleOn) {
    server.Get(R"(/forum-15-(\d+)\.html)", [&](const httplib::Request& request, httplib::Response& response) {
        const int page = std::stoi(request.matches[1]);
        response.set_content(ForumPage(Site::ZhuanKeBa, server.base(), 20, (page - 1) * 20 + 1), "text/html");
    });
    ShowPage("大家谈");
    Click(&Widget<QRadioButton>("单选框2"));
    const BoardPost even = ExpectedPost(Site::ZhuanKeBa, server.base(), 2);
    ASSERT_TRUE(WaitUntil([&] { return ShownTitle("高级表格2", 1) == OneLine(ToQt(even.title)); }));

    window().OpenKeywordWindow();
    KeywordWindow* keywords = window().keywordWindow();
    ASSERT_NE(keywords, nullptr);
    SetText(*keywords->form().Find<EditBox>("编辑框3"), kRedPacket);
    keywords->AddTypedKeyword();
    keywords->Accept();
    EXPECT_EQ(window().keywordList().KeywordText(), kRedPacket + "\r\n");

    // Only odd posts hold 红包: row 2 then shows post 3.
    const BoardPost odd = ExpectedPost(Site::ZhuanKeBa, server.base(), 3);
    ASSERT_TRUE(WaitUntil([&] { return ShownTitle("高级表格2", 1) == OneLine(ToQt(odd.title)); }));
    window().monitors().StopMonitor(2);
    Grid& grid = window().monitors().GridOf(2);
    for (int row = 1; row < grid.RowCount(); ++row) {
        const Text title = GridGetCell(grid, row, 2);
        if (!title.empty()) {
            EXPECT_NE(title.find(kRedPacket), Text::npos) << row;
        }
    }
}

TEST_F(MonitorPageTest, XunBaoGeStopButtonStopsSlotThree) {
    RadioButton& slot3 = window().monitors().StartButtonOf(3);
    SetChecked(slot3, true);
    window().monitors().StartMonitor(3);
    ASSERT_TRUE(window().monitors().IsRunning(3));
    EXPECT_TRUE(Widget<QRadioButton>("单选框3").isChecked());

    ShowPage("寻宝阁");
    Click(&Widget<QPushButton>("按钮6"));
    EXPECT_FALSE(window().monitors().IsRunning(3));
    EXPECT_FALSE(Widget<QRadioButton>("单选框3").isChecked());
}

TEST_F(MonitorPageTest, AiQStopButtonDoesNothing) {
    server.Serve("/forum-19-1.html", ForumPage(Site::ZhuanKeBa, server.base(), 35));
    Click(&Widget<QRadioButton>("单选框1"));
    ASSERT_TRUE(WaitUntil([&] { return !ShownTitle("高级表格1", 0).isEmpty(); }));
    const int hits = server.TotalHits();

    ShowPage("爱Q生活网");
    Click(&Widget<QPushButton>("按钮10"));
    DrainEvents();
    EXPECT_TRUE(window().monitors().IsRunning(1));
    EXPECT_TRUE(Widget<QRadioButton>("单选框1").isChecked());
    for (int slot = 2; slot <= 9; ++slot) EXPECT_FALSE(window().monitors().IsRunning(slot)) << slot;
    EXPECT_EQ(server.TotalHits(), hits);
    EXPECT_TRUE(ui->desktop.opened.empty());
    EXPECT_TRUE(ui->popups.empty());
}

TEST_F(MonitorPageTest, IntervalBoxTypingReachesTheModel) {
    auto& interval = Widget<QLineEdit>("编辑框2");
    interval.setFocus();
    interval.selectAll();
    interval.insert(QString::fromUtf8("１５"));  // full-width digits, as a user might type them
    EXPECT_EQ(ReadText(window().monitors().IntervalBoxOf(1)), "\xA3\xB1\xA3\xB5");
    SetText(window().monitors().IntervalBoxOf(1), "30");
    EXPECT_EQ(interval.text(), QStringLiteral("30"));
}

}  // namespace
}  // namespace lumora::test
