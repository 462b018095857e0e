// Soak run: the nine monitors against a loopback board server for a fixed
// time, keywords swapped every second, resident memory sampled as it goes.
// Every request gets a page one post newer than the last, so the monitors keep
// meeting new posts. Prints the memory curve and the totals; exits 1 when the
// resident size after the warm-up grows beyond the tolerance, 2 on bad usage.
//
//   soak_driver [--minutes M] [--sample-seconds S] [--tolerance-mb T] [--interval TEXT]

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include <httplib.h>

#include "controls/toolkit.h"
#include "monitor/http_page_reader.h"
#include "monitor/monitors.h"
#include "tests/support/board_pages.h"
#include "web/curl_transfer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Options {
    double minutes = 10;
    int sampleSeconds = 10;
    double toleranceMb = 4;
    std::string interval = "0";
};

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr, "soak_driver: %s\nusage: soak_driver [--minutes M] [--sample-seconds S] "
                         "[--tolerance-mb T] [--interval TEXT]\n", problem);
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (i + 1 >= argc) Usage(("no value for " + name).c_str());
        std::string value = argv[++i];
        char* end = nullptr;
        if (name == "--minutes") options.minutes = std::strtod(value.c_str(), &end);
        else if (name == "--sample-seconds") options.sampleSeconds = static_cast<int>(std::strtol(value.c_str(), &end, 10));
        else if (name == "--tolerance-mb") options.toleranceMb = std::strtod(value.c_str(), &end);
        else if (name == "--interval") options.interval = value;
        else Usage(("unknown option " + name).c_str());
        if (end && *end) Usage(("not a number: " + value).c_str());
    }
    if (options.minutes <= 0 || options.sampleSeconds <= 0 || options.toleranceMb < 0) Usage("values must be positive");
    return options;
}

double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

lumora::Site ForumOf(int board) {
    if (board == 37) return lumora::Site::FuLiBa;
    if (board == 96) return lumora::Site::QiangQiangWang;
    return lumora::Site::ZhuanKeBa;
}

// Sums of the cycle reports, written by the workers.
struct Totals {
    std::mutex mutex;
    std::array<long, lumora::kSlotCount> cycles{};
    long posts = 0;
    long newPosts = 0;
    long failedReads = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const lumora::CurlGlobal curl;
    if (!curl.ok()) {
        std::fprintf(stderr, "soak_driver: libcurl did not start\n");
        return 1;
    }

    httplib::Server server;
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        std::fprintf(stderr, "soak_driver: no loopback port\n");
        return 1;
    }
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    std::atomic<long> served = 0;
    // One post newer with every request; 35 posts keep a forum cycle to one page.
    auto firstId = [&served] { return static_cast<int>(served.fetch_add(1) % 1000000) + 1; };
    server.Get(R"(/forum-(\d+)-(\d+)\.html)", [&](const httplib::Request& request, httplib::Response& response) {
        response.set_content(lumora::test::ForumPage(ForumOf(std::stoi(request.matches[1])), base, 35, firstId()),
                             "text/html");
    });
    server.Get("/sitemap.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(lumora::test::SitemapPage(base, 20, firstId()), "text/html");
    });
    server.Get(R"(/sort/huodong/page/(\d+))", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(lumora::test::ArticlePage(base, 35, firstId()), "text/html; charset=UTF-8");
    });
    std::thread serving([&server] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(1ms);

    lumora::Settings settings = lumora::DefaultSettings();
    for (auto& siteBase : settings.siteBase) siteBase = base;
    lumora::KeywordList keywords;
    lumora::Form form;
    Totals totals;
    lumora::Monitors::Options monitorOptions;
    monitorOptions.reader = lumora::HttpPageReader();
    monitorOptions.onCycle = [&totals](const lumora::CycleReport& report) {
        std::lock_guard lock(totals.mutex);
        ++totals.cycles[static_cast<std::size_t>(report.slot - 1)];
        totals.posts += report.postsKept;
        totals.newPosts += static_cast<long>(report.newPosts.size());
        totals.failedReads += static_cast<long>(report.failures.size());
    };
    auto monitors = std::make_unique<lumora::Monitors>(form, settings, keywords, std::move(monitorOptions));
    monitors->SetUpMonitorGrids();
    for (int slot = 1; slot <= lumora::kSlotCount; ++slot) {
        lumora::SetText(monitors->IntervalBoxOf(slot), options.interval);
        lumora::SetChecked(monitors->StartButtonOf(slot), true);
        monitors->StartMonitor(slot);
    }

    // GBK: 红包, 签到, 线报 and a word no title holds.
    const lumora::Text keywordSets[] = {"", "\xBA\xEC\xB0\xFC\r\n", "\xC7\xA9\xB5\xBD\r\n\xCF\xDF\xB1\xA8\r\n",
                                        "QQ\r\n"};
    const auto started = Clock::now();
    const auto duration = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.minutes * 60));
    const auto warmUp = std::min<Clock::duration>(60s, duration / 2);
    const auto sampleEvery = std::chrono::seconds(options.sampleSeconds);
    long swaps = 0;
    double baseline = -1;
    double highest = 0;
    std::printf("soak: nine monitors at interval \"%s\" against %s for %.1f min\n", options.interval.c_str(),
                base.c_str(), options.minutes);
    std::printf("%8s %10s %10s %10s\n", "seconds", "rss_mb", "requests", "cycles");
    auto nextSample = started + sampleEvery;
    auto nextSwap = started + 1s;
    while (Clock::now() < started + duration) {
        std::this_thread::sleep_until(std::min(nextSample, nextSwap));
        const auto now = Clock::now();
        if (now >= nextSwap) {
            keywords.Set(keywordSets[swaps % 4]);
            ++swaps;
            nextSwap += 1s;
        }
        if (now >= nextSample) {
            const double rss = ResidentMb();
            long cycles = 0;
            {
                std::lock_guard lock(totals.mutex);
                for (long count : totals.cycles) cycles += count;
            }
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - started).count();
            std::printf("%8lld %10.1f %10ld %10ld\n", static_cast<long long>(seconds), rss, served.load(), cycles);
            std::fflush(stdout);
            if (now - started >= warmUp) {
                if (baseline < 0) baseline = rss;
                highest = std::max(highest, rss);
            }
            nextSample += sampleEvery;
        }
    }

    // Stop latency as the user sees it: the stop button's click returning.
    Clock::duration longestStop{};
    for (int slot = 1; slot <= lumora::kSlotCount; ++slot) {
        const auto asked = Clock::now();
        monitors->StopMonitor(slot);
        longestStop = std::max(longestStop, Clock::now() - asked);
    }
    const auto joinStarted = Clock::now();
    monitors.reset();
    const auto joined = Clock::now() - joinStarted;
    server.stop();
    serving.join();

    std::lock_guard lock(totals.mutex);
    long cycles = 0;
    std::printf("cycles per slot:");
    for (long count : totals.cycles) {
        std::printf(" %ld", count);
        cycles += count;
    }
    const double seconds = std::chrono::duration<double>(duration).count();
    std::printf("\nrequests served: %ld (%.0f/s)\ncycles run: %ld (%.0f/s)\nposts kept: %ld, new posts: %ld, "
                "failed reads: %ld\nkeyword swaps: %ld\n",
                served.load(), served.load() / seconds, cycles, cycles / seconds, totals.posts, totals.newPosts,
                totals.failedReads, swaps);
    std::printf("longest stop click: %.3f ms; all workers joined in %.1f ms\n",
                std::chrono::duration<double, std::milli>(longestStop).count(),
                std::chrono::duration<double, std::milli>(joined).count());
    const double growth = highest - baseline;
    std::printf("resident after warm-up: %.1f MB, highest later: %.1f MB, growth %.1f MB (tolerance %.1f MB)\n",
                baseline, highest, growth, options.toleranceMb);
    const bool everySlotRan = std::all_of(totals.cycles.begin(), totals.cycles.end(), [](long n) { return n > 0; });
    if (!everySlotRan) std::printf("FAIL: a slot ran no cycle\n");
    if (baseline >= 0 && growth > options.toleranceMb) std::printf("FAIL: resident memory grew after the warm-up\n");
    return (everySlotRan && !(baseline >= 0 && growth > options.toleranceMb)) ? 0 : 1;
}
