#include "monitor/monitors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <regex>

#include "controls/toolkit.h"
#include "monitor/http_page_reader.h"
#include "support/board_pages.h"
#include "support/loopback_server.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;

// Collects cycle reports; tests wait on them instead of sleeping.
class CycleLog {
public:
    void Add(const CycleReport& report) {
        std::lock_guard lock(m_mutex);
        m_reports.push_back(report);
        m_changed.notify_all();
    }
    // Waits until count reports have arrived; false on timeout.
    bool WaitFor(std::size_t count, std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_reports.size() >= count; });
    }
    std::vector<CycleReport> reports() const {
        std::lock_guard lock(m_mutex);
        return m_reports;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<CycleReport> m_reports;
};

Settings PointedAt(const LoopbackServer& server) {
    Settings settings = DefaultSettings();
    for (auto& base : settings.siteBase) base = server.base();
    return settings;
}

// Fast transfer bounds: a stalled test server must not hold a test for long.
TransferLimits TestLimits() {
    TransferLimits limits;
    limits.connectTimeout = 2s;
    limits.stallTimeout = 3s;
    limits.totalTimeout = 5s;
    return limits;
}

struct Harness {
    explicit Harness(LoopbackServer& server, int maxCycles = 1, PauseFunction pause = nullptr)
        : settings(PointedAt(server)) {
        Monitors::Options options;
        options.reader = HttpPageReader(TestLimits());
        options.maxCycles = maxCycles;
        options.onCycle = [this](const CycleReport& report) { log.Add(report); };
        if (pause) options.pause = std::move(pause);
        monitors = std::make_unique<Monitors>(form, settings, keywords, std::move(options));
        monitors->SetUpMonitorGrids();
    }
    void Start(int slot) {
        SetChecked(monitors->StartButtonOf(slot), true);
        monitors->StartMonitor(slot);
    }

    Settings settings;
    KeywordList keywords;
    Form form;
    CycleLog log;
    std::unique_ptr<Monitors> monitors;  // last: stopped and joined first
};

bool NoPause(std::chrono::milliseconds, std::stop_token stop) { return !stop.stop_requested(); }

// Serves every forum list page "/forum-B-N.html" with postsPerPage posts, ids
// from N*100 so pages differ.
void ServeForum(LoopbackServer& server, Site site, int postsPerPage) {
    std::string base = server.base();
    server.Get(R"(/forum-(\d+)-(\d+)\.html)", [=](const httplib::Request& request, httplib::Response& response) {
        int page = std::stoi(request.matches[2]);
        response.set_content(test::ForumPage(site, base, postsPerPage, page * 100), "text/html");
    });
}

TEST(MonitorSlots, TableControlsAndGridSetUp) {
    LoopbackServer server;
    Harness harness(server);
    const Monitors& monitors = *harness.monitors;
    for (const auto& slot : kSlotTable) {
        SCOPED_TRACE(slot.number);
        EXPECT_EQ(ReadText(monitors.AddressBoxOf(slot.number)), server.base() + std::string(slot.defaultPath));
        EXPECT_EQ(ReadText(monitors.IntervalBoxOf(slot.number)), "10");
        EXPECT_FALSE(IsChecked(monitors.StartButtonOf(slot.number)));
        auto* grid = dynamic_cast<Grid*>(FindControlByTag(harness.form, 90 + slot.number));
        ASSERT_EQ(grid, &monitors.GridOf(slot.number));
        EXPECT_EQ(grid->name(), slot.grid);
        EXPECT_EQ(grid->RowCount(), 50);
        ASSERT_EQ(grid->ColumnCount(), 5);
        EXPECT_EQ(GridGetCell(*grid, 0, 1), "\xB1\xEA\xC7\xA9");  // 标签
        EXPECT_EQ(GridGetCell(*grid, 0, 2), "\xB1\xEA\xCC\xE2 \xCB\xAB\xBB\xF7\xB4\xF2\xBF\xAA\xCD\xF8\xD6\xB7");
        EXPECT_EQ(GridGetCell(*grid, 0, 3), "\xCC\xE1\xB3\xF6\xD5\xDF");  // 提出者
        EXPECT_EQ(GridGetCell(*grid, 0, 4), "");
        const int widths[] = {60, 50, 500, 100, 0};
        for (int column = 0; column < 5; ++column) EXPECT_EQ(grid->ColumnWidth(column), widths[column]);
    }
}

TEST(MonitorCycle, PagesAheadUntilThirtyPostsOrFiveFurtherTries) {
    struct Row {
        const char* name;
        int slot;
        int postsPerPage;
        int expectedReads;
    };
    const Row rows[] = {
        {"35 kept posts: one read", 1, 35, 1},
        {"12 per page: three reads", 1, 12, 3},
        {"none: six reads", 1, 0, 6},
        {"福利吧 pages the same way", 6, 12, 3},
        {"抢抢网 pages the same way", 7, 0, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server;
        Site site = FindSlot(row.slot)->site;
        ServeForum(server, site, row.postsPerPage);
        Harness harness(server);
        harness.Start(row.slot);
        ASSERT_TRUE(harness.log.WaitFor(1));
        EXPECT_EQ(server.TotalHits(), row.expectedReads);
        CycleReport report = harness.log.reports().front();
        EXPECT_EQ(report.pagesTried, row.expectedReads);
        EXPECT_EQ(report.postsKept, row.postsPerPage * row.expectedReads);
        // The pages continue one from the other.
        std::string board = std::string(FindSlot(row.slot)->defaultPath).substr(0, 10);
        for (int page = 1; page <= row.expectedReads; ++page)
            EXPECT_EQ(server.Hits(board.substr(0, board.rfind('-')) + "-" + std::to_string(page) + ".html"), 1)
                << page;
    }
}

TEST(MonitorCycle, SitemapReadsOnePageAndArticleListPagesUnderItsBase) {
    LoopbackServer server;
    std::string base = server.base();
    server.Get("/sitemap.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::SitemapPage(base, 2), "text/html");
    });
    server.Get(R"(/sort/huodong/page/(\d+))", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::ArticlePage(base, 12), "text/html; charset=UTF-8");
    });
    server.Get("/elsewhere/page/9", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::ArticlePage(base, 12), "text/html; charset=UTF-8");
    });
    Harness harness(server);
    harness.Start(8);
    // The address box may point anywhere; further pages come from the base.
    SetText(harness.monitors->AddressBoxOf(9), base + "/elsewhere/page/9");
    harness.Start(9);
    ASSERT_TRUE(harness.log.WaitFor(2));
    EXPECT_EQ(server.Hits("/sitemap.php"), 1);
    EXPECT_EQ(server.Hits("/elsewhere/page/9"), 1);
    EXPECT_EQ(server.Hits("/sort/huodong/page/10"), 1);
    EXPECT_EQ(server.Hits("/sort/huodong/page/11"), 1);
    EXPECT_EQ(server.Hits("/sort/huodong/page/12"), 0);
    const Grid& grid = harness.monitors->GridOf(9);
    test::BoardPost first = test::ExpectedPost(Site::ZhuanKeZhiJia, base, 1);
    EXPECT_EQ(GridGetCell(grid, 1, 1), first.category);
    EXPECT_EQ(GridGetCell(grid, 1, 2), first.title);
    EXPECT_EQ(GridGetCell(grid, 1, 3), first.author);
    EXPECT_EQ(GridGetCell(grid, 1, 4), first.link);
}

TEST(MonitorCycle, WritesRowsOneToFortyNineInColumnOrder) {
    LoopbackServer server;
    ServeForum(server, Site::ZhuanKeBa, 60);
    Harness harness(server);
    harness.Start(1);
    ASSERT_TRUE(harness.log.WaitFor(1));
    const Grid& grid = harness.monitors->GridOf(1);
    for (int row : {1, 49}) {
        test::BoardPost post = test::ExpectedPost(Site::ZhuanKeBa, server.base(), 100 + row - 1);
        EXPECT_EQ(GridGetCell(grid, row, 1), post.category);
        EXPECT_EQ(GridGetCell(grid, row, 2), post.title);
        EXPECT_EQ(GridGetCell(grid, row, 3), post.author);
        EXPECT_EQ(GridGetCell(grid, row, 4), post.link);
    }
    EXPECT_EQ(GridGetCell(grid, 1, 0), "");
    EXPECT_EQ(harness.log.reports().front().rows.size(), 49u);
    EXPECT_EQ(harness.log.reports().front().postsKept, 60);
}

TEST(MonitorCycle, RowsBelowAShorterCycleAreEmptiedUnlessNothingWasRead) {
    LoopbackServer server;
    std::string base = server.base();
    std::atomic<int> cycle = 0;
    // First cycle: 35 posts; second: 12 per page (36 over three pages, only
    // 12 from the first)... keep it simple: 35 then 31, then the server fails.
    server.Get(R"(/forum-19-(\d+)\.html)", [&](const httplib::Request&, httplib::Response& response) {
        int n = ++cycle;
        if (n == 1)
            response.set_content(test::ForumPage(Site::ZhuanKeBa, base, 40), "text/html");
        else if (n == 2)
            response.set_content(test::ForumPage(Site::ZhuanKeBa, base, 31, 500), "text/html");
        else {
            response.status = 503;
            response.set_content("busy", "text/plain");
        }
    });
    Harness harness(server, 3, NoPause);
    harness.Start(1);
    ASSERT_TRUE(harness.log.WaitFor(3));
    const Grid& grid = harness.monitors->GridOf(1);
    EXPECT_EQ(GridGetCell(grid, 31, 4), test::PostLink(Site::ZhuanKeBa, base, 530));
    for (int column = 1; column <= 4; ++column) {
        EXPECT_EQ(GridGetCell(grid, 32, column), "") << column;
        EXPECT_EQ(GridGetCell(grid, 40, column), "") << column;
    }
    // The third cycle read nothing but error pages: the grid stays as it was.
    auto reports = harness.log.reports();
    EXPECT_EQ(reports[2].pagesRead, 0);
    EXPECT_EQ(reports[2].lastFailure, "HTTP 503");
    EXPECT_EQ(GridGetCell(grid, 1, 4), test::PostLink(Site::ZhuanKeBa, base, 500));
}

TEST(MonitorCycle, IntervalBoxReadByTheToNumberRule) {
    struct Row {
        const char* name;
        Text interval;
        std::chrono::milliseconds pause;
    };
    const Row rows[] = {
        {"ten", "10", 10s},
        {"leading blank", " 10", 10s},
        {"full-width digits", "\xA3\xB1\xA3\xB0", 10s},
        {"zero", "0", 0ms},
        {"negative", "-5", 0ms},
        {"not a number", "abc", 0ms},
        {"huge", "99999999999", std::chrono::milliseconds(2147483647)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PauseForInterval(row.interval), row.pause);
    }

    // End to end: the worker asks for exactly that pause, read at each pause.
    LoopbackServer server;
    ServeForum(server, Site::ZhuanKeBa, 35);
    std::mutex mutex;
    std::vector<std::chrono::milliseconds> pauses;
    Harness harness(server, 2, [&](std::chrono::milliseconds pause, std::stop_token) {
        std::lock_guard lock(mutex);
        pauses.push_back(pause);
        return true;
    });
    SetText(harness.monitors->IntervalBoxOf(1), "\xA1\xA1" "7");  // full-width space, 7
    harness.Start(1);
    ASSERT_TRUE(harness.log.WaitFor(2));
    std::lock_guard lock(mutex);
    ASSERT_GE(pauses.size(), 1u);
    EXPECT_EQ(pauses[0], 7s);
}

TEST(MonitorStop, DuringThePauseIsImmediateAndFinal) {
    LoopbackServer server;
    ServeForum(server, Site::ZhuanKeBa, 35);
    Harness harness(server, 0);  // the real, interruptible 10 s pause
    harness.Start(2);
    ASSERT_TRUE(harness.log.WaitFor(1));
    std::atomic<int> writesAfterStop = 0;
    harness.monitors->GridOf(2).changed().Subscribe([&](const Change&) { ++writesAfterStop; });

    auto before = std::chrono::steady_clock::now();
    harness.monitors->StopMonitor(2);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_FALSE(IsChecked(harness.monitors->StartButtonOf(2)));
    EXPECT_FALSE(harness.monitors->IsRunning(2));
    harness.monitors.reset();  // joins the worker: it must end promptly
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_EQ(server.TotalHits(), 1);
    EXPECT_EQ(writesAfterStop, 0);
}

TEST(MonitorStop, DuringADrippingReadNoWriteFollows) {
    LoopbackServer server;
    std::atomic<bool> dripping = false;
    std::string page = test::ForumPage(Site::ZhuanKeBa, server.base(), 35);
    server.Get("/forum-19-1.html", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(page.size(), "text/html",
                                      [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          dripping = true;
                                          if (server.stopping()) return false;
                                          std::this_thread::sleep_for(20ms);
                                          return sink.write(page.data() + offset, 1);
                                      });
    });
    Harness harness(server, 0);
    std::atomic<int> writes = 0;
    harness.monitors->GridOf(1).changed().Subscribe([&](const Change&) { ++writes; });
    harness.Start(1);
    for (auto deadline = std::chrono::steady_clock::now() + 5s; !dripping && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::yield();
    ASSERT_TRUE(dripping);

    auto before = std::chrono::steady_clock::now();
    harness.monitors->StopMonitor(1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    harness.monitors.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(harness.log.reports().empty());
}

TEST(MonitorStart, OneWorkerPerSlotAndOnlyWhenTicked) {
    LoopbackServer server;
    ServeForum(server, Site::ZhuanKeBa, 35);
    Harness harness(server, 0);
    harness.monitors->StartMonitor(1);  // not ticked: nothing
    harness.monitors->StartMonitor(0);  // no such slot
    harness.monitors->StartMonitor(10);
    EXPECT_FALSE(harness.monitors->IsRunning(1));
    harness.Start(1);
    harness.monitors->StartMonitor(1);
    harness.monitors->StartMonitor(1);
    ASSERT_TRUE(harness.log.WaitFor(1));
    EXPECT_FALSE(harness.log.WaitFor(2, 200ms));  // in its 10 s pause, and alone
    EXPECT_EQ(server.TotalHits(), 1);
    // Stopped, it can start again at once.
    harness.monitors->StopMonitor(1);
    harness.Start(1);
    ASSERT_TRUE(harness.log.WaitFor(2));
    EXPECT_EQ(server.TotalHits(), 2);
}

TEST(NextPageAddress, CountsThePageNumberOn) {
    EXPECT_EQ(NextPageAddress("http://a.test/forum-19-1.html"), "http://a.test/forum-19-2.html");
    EXPECT_EQ(NextPageAddress("http://a.test/forum-37-9.html"), "http://a.test/forum-37-10.html");
    EXPECT_EQ(NextPageAddress("http://a.test/forum-37-99.html"), "http://a.test/forum-37-100.html");
    // Not a board address: no next page, so the cycle stops paging.
    EXPECT_EQ(NextPageAddress("http://a.test/sitemap.php"), "");
    EXPECT_EQ(NextPageAddress("http://a.test/forum-19-.html"), "");
    EXPECT_EQ(NextPageAddress("http://a.test/forum-19-x1.html"), "");
    EXPECT_EQ(NextPageAddress(".html"), "");
    EXPECT_EQ(NextPageAddress(""), "");
}

TEST(MonitorThreads, KeywordSwapsWhileNineWorkersParse) {
    LoopbackServer server;
    std::string base = server.base();
    ServeForum(server, Site::ZhuanKeBa, 35);
    ServeForum(server, Site::FuLiBa, 35);  // same handler pattern: the first registered serves
    server.Get("/sitemap.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::SitemapPage(base, 20), "text/html");
    });
    server.Get(R"(/sort/huodong/page/(\d+))", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::ArticlePage(base, 35), "text/html; charset=UTF-8");
    });
    Harness harness(server, 0, NoPause);
    for (int slot = 1; slot <= kSlotCount; ++slot) harness.Start(slot);

    const Text keywordSets[] = {"", "\xBA\xEC\xB0\xFC\r\n", "QQ\r\n\xC7\xA9\xB5\xBD\r\n", "\r\n"};
    for (int i = 0; !harness.log.WaitFor(45, 1ms) && i < 100000; ++i)
        harness.keywords.Set(keywordSets[i % 4]);
    ASSERT_TRUE(harness.log.WaitFor(45));
    harness.monitors->StopAll();
    for (int slot = 1; slot <= kSlotCount; ++slot) EXPECT_FALSE(harness.monitors->IsRunning(slot));
}

}  // namespace
}  // namespace lumora
