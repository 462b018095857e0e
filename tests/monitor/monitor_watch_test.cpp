// What a watcher adds on top of the cycle: new-post marks, health, back-off,
// charset sniffing and exclude words.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "controls/toolkit.h"
#include "core/charset.h"
#include "monitor/http_page_reader.h"
#include "monitor/monitors.h"
#include "support/board_pages.h"
#include "support/loopback_server.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;

class Reports {
public:
    void Add(const CycleReport& report) {
        std::lock_guard lock(m_mutex);
        m_reports.push_back(report);
        m_changed.notify_all();
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_reports.size() >= count; });
    }
    CycleReport At(std::size_t i) const {
        std::lock_guard lock(m_mutex);
        return m_reports.at(i);
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<CycleReport> m_reports;
};

struct Watch {
    // Sanitizer builds on a loaded machine answer slowly: keep the stall limit
    // generous unless a test is about the stall itself.
    Watch(LoopbackServer& server, int cycles, std::vector<Text> exclude = {}, std::chrono::milliseconds stall = 5s) {
        settings = DefaultSettings();
        for (auto& base : settings.siteBase) base = server.base();
        settings.exclude = std::move(exclude);
        Monitors::Options options;
        TransferLimits limits;
        limits.connectTimeout = 1s;
        limits.stallTimeout = stall;
        limits.totalTimeout = 10s;
        options.reader = HttpPageReader(limits);
        options.maxCycles = cycles;
        options.onCycle = [this](const CycleReport& report) { reports.Add(report); };
        options.pause = [this](std::chrono::milliseconds pause, std::stop_token) {
            std::lock_guard lock(pauseMutex);
            pauses.push_back(pause);
            return true;
        };
        monitors = std::make_unique<Monitors>(form, settings, keywords, std::move(options));
        monitors->SetUpMonitorGrids();
    }
    void Start(int slot) {
        SetChecked(monitors->StartButtonOf(slot), true);
        monitors->StartMonitor(slot);
    }
    std::vector<std::chrono::milliseconds> Pauses() {
        std::lock_guard lock(pauseMutex);
        return pauses;
    }

    Settings settings;
    KeywordList keywords;
    Form form;
    Reports reports;
    std::mutex pauseMutex;
    std::vector<std::chrono::milliseconds> pauses;
    std::unique_ptr<Monitors> monitors;
};

std::vector<Text> Links(const std::vector<PostRecord>& posts) {
    std::vector<Text> links;
    for (const auto& post : posts) links.push_back(post.link);
    return links;
}

TEST(NewPosts, IdentityIsTheLinkAndTheFirstCycleIsTheBaseline) {
    LoopbackServer server;
    std::string base = server.base();
    std::atomic<int> served = 0;
    server.Get("/forum-19-1.html", [&](const httplib::Request&, httplib::Response& response) {
        int cycle = ++served;
        std::string page;
        if (cycle == 1) {
            page = test::ForumPage(Site::ZhuanKeBa, base, 35, 1);  // ids 1..35
        } else if (cycle == 2) {
            // Post 1 leaves, post 36 arrives, post 2's title is edited.
            page = test::ForumPage(Site::ZhuanKeBa, base, 35, 2);
            std::string old = test::ExpectedPost(Site::ZhuanKeBa, base, 2).title.substr(7);
            page.replace(page.find(old), old.size(), old + " (edited)");
        } else {
            page = test::ForumPage(Site::ZhuanKeBa, base, 36, 1);  // post 1 is back
        }
        response.set_content(page, "text/html");
    });
    Watch watch(server, 3);
    watch.Start(1);
    ASSERT_TRUE(watch.reports.WaitFor(3));
    EXPECT_TRUE(watch.reports.At(0).newPosts.empty());
    EXPECT_EQ(Links(watch.reports.At(1).newPosts),
              (std::vector<Text>{test::PostLink(Site::ZhuanKeBa, base, 36)}));
    EXPECT_TRUE(watch.reports.At(2).newPosts.empty());

    // The mark stays with the post, which now sits at row 36.
    const Grid& grid = watch.monitors->GridOf(1);
    for (int row = 1; row <= 35; ++row) EXPECT_FALSE(grid.RowMarked(row)) << row;
    ASSERT_EQ(GridGetCell(grid, 36, 4), test::PostLink(Site::ZhuanKeBa, base, 36));
    EXPECT_TRUE(grid.RowMarked(36));
    watch.monitors->AcknowledgeRow(1, 36);
    EXPECT_FALSE(grid.RowMarked(36));
}

TEST(NewPosts, AcknowledgedWhenTheUserHasSeenThePage) {
    LoopbackServer server;
    std::string base = server.base();
    std::atomic<int> served = 0;
    server.Get("/sitemap.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::SitemapPage(base, 3, ++served), "text/html");
    });
    Watch watch(server, 2);
    watch.Start(8);
    ASSERT_TRUE(watch.reports.WaitFor(2));
    const Grid& grid = watch.monitors->GridOf(8);
    EXPECT_FALSE(grid.RowMarked(1));  // ids 2, 3 were shown in the first cycle
    EXPECT_FALSE(grid.RowMarked(2));
    EXPECT_TRUE(grid.RowMarked(3));   // id 4 is new
    watch.monitors->AcknowledgeNewPosts(8);
    EXPECT_FALSE(grid.RowMarked(3));
}

TEST(MonitorHealth, SaysWhatWentWrongInPlainWords) {
    LoopbackServer server;
    server.Get(R"(/sort/huodong/page/\d+)", [](const httplib::Request&, httplib::Response& response) {
        response.status = 403;
        response.set_content("forbidden", "text/plain");
    });
    server.Get(R"(/forum-15-\d+\.html)", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><body>a new theme, no thread list</body></html>", "text/html");
    });
    server.Get("/sitemap.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/html", [&](std::size_t, httplib::DataSink&) {
            // Never a byte: the stall limit must end it.
            while (!server.stopping()) std::this_thread::sleep_for(5ms);
            return false;
        });
    });
    Watch watch(server, 1);
    SetText(watch.monitors->AddressBoxOf(1), "http://127.0.0.1:1/forum-19-1.html");
    for (int slot : {1, 2, 9}) watch.Start(slot);
    ASSERT_TRUE(watch.reports.WaitFor(3));
    watch.monitors->StopAll();
    Watch stalling(server, 1, {}, 500ms);
    stalling.Start(8);
    ASSERT_TRUE(stalling.reports.WaitFor(1));

    SlotHealth refused = watch.monitors->HealthOf(1);
    EXPECT_EQ(refused.lastFailureKind, TransferFailure::Connect);
    EXPECT_FALSE(refused.lastSuccess);
    EXPECT_NE(HealthText(refused).find("连接失败"), std::string::npos) << HealthText(refused);

    SlotHealth changed = watch.monitors->HealthOf(2);
    EXPECT_TRUE(changed.markupChanged);
    EXPECT_TRUE(changed.lastSuccess);
    EXPECT_EQ(changed.pagesRead, 6);
    EXPECT_NE(HealthText(changed).find("页面结构可能已改变"), std::string::npos);

    SlotHealth forbidden = watch.monitors->HealthOf(9);
    EXPECT_EQ(forbidden.lastFailureStatus, 403);
    EXPECT_TRUE(forbidden.backingOff);
    EXPECT_NE(HealthText(forbidden).find("HTTP 403"), std::string::npos);
    EXPECT_NE(HealthText(forbidden).find("放慢"), std::string::npos);

    SlotHealth stalled = stalling.monitors->HealthOf(8);
    EXPECT_EQ(stalled.lastFailureKind, TransferFailure::Timeout);
    EXPECT_NE(HealthText(stalled).find("超时"), std::string::npos);
}

TEST(MonitorBackOff, RefusalEndsPagingDoublesThePauseAndHonoursRetryAfter) {
    LoopbackServer server;
    std::string base = server.base();
    std::atomic<int> served = 0;
    // 503, 429 with Retry-After 120, 403, then good pages.
    server.Get(R"(/forum-19-(\d+)\.html)", [&](const httplib::Request&, httplib::Response& response) {
        int n = ++served;
        if (n == 1) {
            response.status = 503;
        } else if (n == 2) {
            response.status = 429;
            response.set_header("Retry-After", "120");
        } else if (n == 3) {
            response.status = 403;
        } else {
            response.set_content(test::ForumPage(Site::ZhuanKeBa, base, 35), "text/html");
        }
    });
    Watch watch(server, 4);
    watch.Start(1);
    ASSERT_TRUE(watch.reports.WaitFor(4));
    EXPECT_EQ(server.TotalHits(), 4);  // no paging into a refusing server
    EXPECT_EQ(watch.Pauses(), (std::vector<std::chrono::milliseconds>{20s, 120s, 80s}));
    EXPECT_FALSE(watch.monitors->HealthOf(1).backingOff);
    EXPECT_EQ(watch.monitors->HealthOf(1).nextPause, 10s);
}

TEST(CharsetSniffing, Utf8DeclaredForumPagesAreParsedAsGbk) {
    LoopbackServer server;
    std::string base = server.base();
    std::string gbk = test::ForumPage(Site::ZhuanKeBa, base, 35);
    std::string utf8 = GbkToUtf8(gbk);
    std::string metaOnly = utf8;
    metaOnly.replace(metaOnly.find("charset=gbk"), 11, "charset=utf-8");
    server.Serve("/forum-19-1.html", utf8, "text/html; charset=UTF-8");
    server.Serve("/forum-15-1.html", metaOnly, "text/html");
    server.Serve("/forum-31-1.html", gbk, "text/html; charset=gbk");
    Watch watch(server, 1);
    for (int slot : {1, 2, 3}) watch.Start(slot);
    ASSERT_TRUE(watch.reports.WaitFor(3));
    test::BoardPost first = test::ExpectedPost(Site::ZhuanKeBa, base, 1);
    for (int slot : {1, 2, 3}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(GridGetCell(watch.monitors->GridOf(slot), 1, 2), first.title);
        EXPECT_EQ(GridGetCell(watch.monitors->GridOf(slot), 1, 3), first.author);
    }
}

TEST(ExcludeWords, DropAKeptPostWhoseTitleHoldsOne) {
    LoopbackServer server;
    std::string base = server.base();
    server.Serve("/sitemap.php", test::SitemapPage(base, 10), "text/html");
    Watch watch(server, 1, {"\xC7\xA9\xB5\xBD"});  // 签到: the even ids
    watch.Start(8);
    ASSERT_TRUE(watch.reports.WaitFor(1));
    CycleReport report = watch.reports.At(0);
    ASSERT_EQ(report.rows.size(), 5u) << report.lastFailure;
    for (const auto& post : report.rows) EXPECT_NE(post.title.find("\xBA\xEC\xB0\xFC"), Text::npos);  // 红包
}

}  // namespace
}  // namespace lumora
