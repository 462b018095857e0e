// What a monitor keeps over a long unattended run stays bounded.

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

#include "controls/toolkit.h"
#include "monitor/monitors.h"
#include "support/board_pages.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

// Found by the soak run: every new post's link was kept for its mark until the
// user acknowledged, so a board nobody looked at grew the set for ever.
TEST(MonitorLongRun, NewPostMarksStayWithinTheSeenLinksBound) {
    const std::string base = "http://board.test";
    std::atomic<int> reads = 0;
    constexpr int kCycles = 170;  // 35 fresh posts a cycle: 5,915 links, past the 5,000 remembered

    std::mutex mutex;
    std::condition_variable finished;
    int cycles = 0;
    Monitors::Options options;
    options.reader = [&](const std::string&, std::stop_token) {
        PageRead read;
        read.ok = true;
        read.status = 200;
        read.body = Bytes(test::ForumPage(Site::ZhuanKeBa, base, 35, 1 + 35 * reads++));
        return read;
    };
    options.pause = [](std::chrono::milliseconds, std::stop_token stop) { return !stop.stop_requested(); };
    options.maxCycles = kCycles;
    options.onCycle = [&](const CycleReport&) {
        std::lock_guard lock(mutex);
        ++cycles;
        finished.notify_all();
    };
    Settings settings = DefaultSettings();
    for (auto& siteBase : settings.siteBase) siteBase = base;
    KeywordList keywords;
    Form form;
    Monitors monitors(form, settings, keywords, std::move(options));
    monitors.SetUpMonitorGrids();
    SetChecked(monitors.StartButtonOf(1), true);
    monitors.StartMonitor(1);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(finished.wait_for(lock, 60s, [&] { return cycles >= kCycles; }));
    }
    EXPECT_GT(monitors.UnacknowledgedCount(1), 4000u);
    EXPECT_LE(monitors.UnacknowledgedCount(1), 5000u);
    // The rows on show keep their marks.
    const Grid& grid = monitors.GridOf(1);
    for (int row = 1; row <= 35; ++row) EXPECT_TRUE(grid.RowMarked(row)) << row;
    monitors.AcknowledgeNewPosts(1);
    EXPECT_EQ(monitors.UnacknowledgedCount(1), 0u);
}

}  // namespace
}  // namespace lumora
