#include "scrape/source_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "controls/edit_box.h"
#include "scrape_support.h"
#include "support/handler_gate.h"
#include "support/loopback_server.h"
#include "support/temp_files.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::HandlerGate;
using test::LoopbackServer;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr auto kPrompt = 1000ms;
#else
constexpr auto kPrompt = 200ms;
#endif

const SourceDescriptor& Source(std::string_view page) { return *FindSource(page); }

// Collects deliveries from the runner's thread for the test's thread.
class Deliveries {
public:
    RowsHandler Handler() {
        return [this](SourceRows rows) {
            {
                std::lock_guard lock(m_mutex);
                m_batches.push_back(std::move(rows));
                m_threads.push_back(std::this_thread::get_id());
            }
            m_changed.notify_all();
        };
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds deadline = 15s) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, deadline, [&] { return m_batches.size() >= count; });
    }
    std::vector<SourceRows> Batches() const {
        std::lock_guard lock(m_mutex);
        return m_batches;
    }
    std::vector<std::thread::id> Threads() const {
        std::lock_guard lock(m_mutex);
        return m_threads;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<SourceRows> m_batches;
    std::vector<std::thread::id> m_threads;
};

TEST(SourceRunnerThreads, ASlowSiteDoesNotHoldTheCallerAndItsRowsArrive) {
    LoopbackServer server;
    HandlerGate gate;  // never opened: the site answers after 3 s
    const std::string page = test::ReadDataFile("scrape_xianbaoba_forumdisplay.html");
    server.Get("/forum.php", [&page, wait = gate.Waiter(3s)](const httplib::Request&, httplib::Response& response) {
        wait();
        response.set_content(page, "text/html; charset=gbk");
    });
    Deliveries deliveries;
    SourceRunner runner(Source("线报吧"));

    const auto clicked = Clock::now();
    runner.Run(test::SettingsAt(server.base()), {}, deliveries.Handler());
    EXPECT_LT(Clock::now() - clicked, kPrompt);
    EXPECT_EQ(runner.Pending(), 1);
    ASSERT_TRUE(gate.WaitForArrivals(1));
    EXPECT_TRUE(deliveries.Batches().empty());

    ASSERT_TRUE(deliveries.WaitFor(1));
    EXPECT_GE(Clock::now() - clicked, 2900ms);
    const auto batches = deliveries.Batches();
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].size(), 5u);
    EXPECT_EQ(GbkToUtf8(batches[0][1][1]), "工行新用户领20元话费");
    EXPECT_NE(deliveries.Threads()[0], std::this_thread::get_id());
}

TEST(SourceRunnerThreads, AClickWhileRunningQueuesOneMoreRunAndRowsComeInClickOrder) {
    LoopbackServer server;
    HandlerGate gate;
    std::atomic<int> inFlight = 0, mostInFlight = 0;
    server.Get("/user.do", [&, wait = gate.Waiter()](const httplib::Request& request, httplib::Response& response) {
        mostInFlight = std::max(mostInFlight.load(), ++inFlight);
        const std::string index = request.get_param_value("index");
        if (index == "1") wait();
        response.set_content("{\"data\":[{\"projectName\":\"page " + index + "\",\"website\":\"http://p" + index +
                                 ".example\",\"ydphone\":\"1\"}]}",
                             "application/json");
        --inFlight;
    });
    Deliveries deliveries;
    SourceRunner runner(Source("号码短租"));
    const Settings settings = test::SettingsAt(server.base());

    runner.Run(settings, {.page = "1", .item = "", .price = ""}, deliveries.Handler());
    ASSERT_TRUE(gate.WaitForArrivals(1));
    runner.Run(settings, {.page = "2", .item = "", .price = ""}, deliveries.Handler());
    runner.Run(settings, {.page = "1", .item = "", .price = ""}, deliveries.Handler());
    EXPECT_EQ(runner.Pending(), 3);
    gate.Open();

    ASSERT_TRUE(deliveries.WaitFor(3));
    ListView list(std::string(runner.source().list), ListColumns(runner.source()), runner.source().colour);
    for (const SourceRows& rows : deliveries.Batches()) AppendRows(list, rows);
    EXPECT_EQ(test::ToUtf8(list.Rows()), (test::Utf8Rows{{"page 1", "http://p1.example"},
                                                         {"page 2", "http://p2.example"},
                                                         {"page 1", "http://p1.example"}}));
    EXPECT_EQ(mostInFlight.load(), 1);
}

TEST(SourceRunnerThreads, ARunWithNoRowsIsStillDelivered) {
    LoopbackServer server;
    server.Serve("/", "<html></html>");
    Deliveries deliveries;
    SourceRunner runner(Source("寻宝阁"));
    runner.Run(test::SettingsAt(server.base()), {}, deliveries.Handler());
    ASSERT_TRUE(deliveries.WaitFor(1));
    EXPECT_TRUE(deliveries.Batches()[0].empty());
}

TEST(SourceRunnerThreads, DestroyingTheRunnerMidRequestReturnsPromptlyAndDeliversNothing) {
    LoopbackServer server;
    HandlerGate gate;  // declared after the server: opens before the server stops
    server.Get("/search", [wait = gate.Waiter(30s)](const httplib::Request&, httplib::Response& response) {
        wait();
        response.set_content("", "text/html");
    });
    Deliveries deliveries;
    auto runner = std::make_unique<SourceRunner>(Source("京东物品"));
    const Settings settings = test::SettingsAt(server.base());
    runner->Run(settings, {}, deliveries.Handler());
    runner->Run(settings, {}, deliveries.Handler());
    ASSERT_TRUE(gate.WaitForArrivals(1));

    const auto before = Clock::now();
    runner.reset();
    EXPECT_LT(Clock::now() - before, kPrompt);
    EXPECT_TRUE(deliveries.Batches().empty());
    EXPECT_EQ(server.Hits("/search"), 1);  // the queued run never started
}

TEST(SourceRunnerThreads, ARunnerNeverUsedEndsAtOnce) {
    const auto before = Clock::now();
    { SourceRunner runner(Source("理财活动")); }
    EXPECT_LT(Clock::now() - before, kPrompt);
}

TEST(SourceRunnersThreads, StartReadsTheBoxesAtTheClickAndRunsThePagesSource) {
    LoopbackServer server;
    std::mutex mutex;
    std::vector<std::string> indexes;
    server.Get("/user.do", [&](const httplib::Request& request, httplib::Response& response) {
        {
            std::lock_guard lock(mutex);
            indexes.push_back(request.get_param_value("index"));
        }
        response.set_content(test::ReadDataFile("scrape_haoma_project_list.json"), "application/json");
    });
    Form form;
    EditBox& pageBox = form.Add<EditBox>("编辑框20", "1");
    const Settings settings = test::SettingsAt(server.base());
    Deliveries deliveries;
    Deliveries stored;
    {
        SourceRunners runners;
        pageBox.SetText("3");
        ASSERT_TRUE(runners.Start("号码短租", form, settings, deliveries.Handler()));
        pageBox.SetText("4");  // the first run keeps what the box held at its click
        ASSERT_TRUE(runners.Start("号码短租", form, settings, deliveries.Handler()));
        ASSERT_TRUE(runners.Start("理财活动", form, settings, stored.Handler()));
        EXPECT_FALSE(runners.Start("赚客吧", form, settings, deliveries.Handler()));
        ASSERT_TRUE(deliveries.WaitFor(2));
        ASSERT_TRUE(stored.WaitFor(1));
    }
    std::lock_guard lock(mutex);
    EXPECT_EQ(indexes, (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(deliveries.Batches()[0].size(), 5u);
    EXPECT_EQ(stored.Batches()[0].size(), 13u);
}

}  // namespace
}  // namespace lumora
