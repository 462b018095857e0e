// Every way of fetching a page against servers that misbehave: the plain page
// read, the full web request, a running monitor and a one-shot source each end
// in bounded time with a defined result, keep memory to the body cap, stop at
// once when asked and never crash.

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <ostream>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "controls/toolkit.h"
#include "monitor/http_page_reader.h"
#include "monitor/monitors.h"
#include "scrape/run_source.h"
#include "scrape/source_descriptor.h"
#include "support/board_pages.h"
#include "support/hostile_server.h"
#include "support/refused_port.h"
#include "web/http_read_page.h"
#include "web/web_request.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::HostileServer;
using test::Misbehaviour;

constexpr std::size_t kCap = std::size_t{4} << 20;

// Short bounds so that every give-up path takes a second or two: a drip of one
// byte a second never stalls them, so the overall limit must end it.
TransferLimits FaultLimits() {
    TransferLimits limits;
    limits.connectTimeout = 1000ms;
    limits.stallTimeout = 1500ms;
    limits.totalTimeout = 2000ms;
    limits.maxBodyBytes = kCap;
    return limits;
}
// The longest any bounded call may take here: the overall limit and some slack.
constexpr auto kBound = 3500ms;

// The faults a page can carry even from a server that behaves.
enum class Content {
    Plain,
    InvalidUtf8,  // truncated, overlong and impossible sequences in the UTF-8 titles
    GbkLoneLead,  // the page ends in the lead byte of a double-byte character
    NulBytes,     // NUL bytes halfway and near the end
};

// What a body must be.
enum class Body {
    Empty,
    Whole,      // exactly the bytes served
    HalfOrLess, // a prefix of the page, at most half of it
    FewBytes,   // a prefix of the page of a handful of bytes
    CapOfPage,  // exactly the cap: the page, then the server's filler
    RawGzip,    // compressed bytes as they came, within the cap
};

// What rows must be, against the rows a well-behaved server gives for the page.
enum class Rows {
    All,
    Part,   // a non-empty proper prefix
    SoFar,  // any prefix, none included
    None,
};

struct Case {
    const char* name;
    std::optional<Misbehaviour> misbehaviour;  // none: the port refuses
    Content content;
    TransferFailure failure;  // of the plain read
    Body readBody;
    Body requestBody;
    int monitorSlot;
    Rows monitorRows;
    const char* source;  // page caption (UTF-8)
    Rows sourceRows;
    bool sourceEndsAlone;  // within its own 15 s bounds; else it is stopped
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

const char* const kXianBaoBa = "线报吧";
const char* const kXunBaoGe = "寻宝阁";

const Case kCases[] = {
    {"refused", std::nullopt, Content::Plain, TransferFailure::Connect, Body::Empty, Body::Empty, 8, Rows::None,
     kXianBaoBa, Rows::None, true},
    {"reset_mid_body", Misbehaviour::ResetMidBody, Content::Plain, TransferFailure::BrokenOff, Body::HalfOrLess,
     Body::Empty, 8, Rows::Part, kXianBaoBa, Rows::None, true},
    {"drips_a_byte_a_second", Misbehaviour::Drip, Content::Plain, TransferFailure::Timeout, Body::FewBytes, Body::Empty,
     8, Rows::None, kXianBaoBa, Rows::None, false},
    {"never_answers", Misbehaviour::NeverAnswer, Content::Plain, TransferFailure::Timeout, Body::Empty, Body::Empty, 8,
     Rows::None, kXianBaoBa, Rows::None, false},
    // The source reads up to the full request's own cap, a page so large that
    // the pattern runs into its work limit: no rows, as for any runaway match.
    {"sends_100_mb", Misbehaviour::Huge, Content::Plain, TransferFailure::None, Body::CapOfPage, Body::CapOfPage, 8,
     Rows::All, kXianBaoBa, Rows::None, true},
    {"loops_redirects", Misbehaviour::RedirectLoop, Content::Plain, TransferFailure::TooManyRedirects, Body::Empty,
     Body::Empty, 8, Rows::None, kXianBaoBa, Rows::None, true},
    // The full request asks for no compression, so the bomb reaches it unopened.
    {"gzip_bomb", Misbehaviour::GzipBomb, Content::Plain, TransferFailure::None, Body::CapOfPage, Body::RawGzip, 8,
     Rows::All, kXianBaoBa, Rows::None, true},
    {"invalid_utf8", Misbehaviour::Answer, Content::InvalidUtf8, TransferFailure::None, Body::Whole, Body::Whole, 9,
     Rows::All, kXunBaoGe, Rows::All, true},
    {"gbk_lone_lead_byte_at_end", Misbehaviour::Answer, Content::GbkLoneLead, TransferFailure::None, Body::Whole,
     Body::Whole, 8, Rows::All, kXianBaoBa, Rows::All, true},
    {"nul_bytes_in_body", Misbehaviour::Answer, Content::NulBytes, TransferFailure::None, Body::Whole, Body::Whole, 8,
     Rows::Part, kXianBaoBa, Rows::Part, true},
    {"50000_header_lines", Misbehaviour::HeaderFlood, Content::Plain, TransferFailure::HeadersTooLarge, Body::Empty,
     Body::Empty, 8, Rows::None, kXianBaoBa, Rows::None, true},
};

// UTF-8 线报 with its last byte cut, then 0xFF, an overlong "/" and a lone continuation byte.
const std::string kBrokenUtf8 = "\xE7\xBA\xBF\xE6\x8A\xFF\xC0\xAF\x80";

// The home page of 寻宝阁: thumbnails indented by eight tabs (UTF-8).
std::string XunBaoGePage(const std::string& base, int posts) {
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"></head><body>\n";
    for (int id = 1; id <= posts; ++id) {
        page += "\t\t\t\t\t\t\t\t<a href=\"" + base + "/post/" + std::to_string(id) +
                ".html\" class=\"post-thumbnail\" target=\"_blank\"><img src=\"" + base + "/thumb.jpg\" alt=\"" +
                test::detail::Title(id, true) + "\" width=\"200\" height=\"150\"></a>\n";
    }
    return page + "</body></html>\n";
}

constexpr int kForumPosts = 35;
constexpr int kSitemapPosts = 20;
constexpr int kArticlePosts = 35;
constexpr int kXunBaoGePosts = 12;

// The well-formed page a path stands for.
std::string PlainPage(const std::string& path, const std::string& base) {
    if (path.rfind("/sitemap.php", 0) == 0) return test::SitemapPage(base, kSitemapPosts);
    if (path.rfind("/sort/huodong/page/", 0) == 0) return test::ArticlePage(base, kArticlePosts);
    if (path.rfind("/forum", 0) == 0) return test::ForumPage(Site::ZhuanKeBa, base, kForumPosts);
    return XunBaoGePage(base, kXunBaoGePosts);
}

std::string WithContent(std::string page, Content content) {
    switch (content) {
    case Content::Plain:
        break;
    case Content::InvalidUtf8:
        for (std::size_t at = page.find(test::detail::kUtf8Tip); at != std::string::npos;
             at = page.find(test::detail::kUtf8Tip, at + kBrokenUtf8.size()))
            page.replace(at, std::string(test::detail::kUtf8Tip).size(), kBrokenUtf8);
        break;
    case Content::GbkLoneLead:
        page += "\xD6";  // the lead byte of 中
        break;
    case Content::NulBytes:
        page.insert(page.size() / 2, 1, '\0');
        page.insert(page.size() - 20, "\0\0", 2);
        break;
    }
    return page;
}

std::string ContentType(Content content) {
    return content == Content::InvalidUtf8 ? "text/html; charset=utf-8" : "text/html";
}

// Sanitizers keep freed memory aside, so their growth figures say little;
// the body sizes are checked either way.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kRssMeaningful = false;
#else
constexpr bool kRssMeaningful = true;
#endif

// Growth of the peak resident size over the call, in kB; 0 under sanitizers.
long MaxRssKb() {
    if (!kRssMeaningful) return 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The server a case names (or the refused port), and its pages.
class Faulty {
public:
    explicit Faulty(const Case& c) : m_content(c.content) {
        if (!c.misbehaviour) {
            m_refused.emplace();
            return;
        }
        HostileServer::Options options;
        options.misbehaviour = *c.misbehaviour;
        options.contentType = ContentType(c.content);
        options.page = [content = c.content](const std::string& path, const std::string& base) {
            return WithContent(PlainPage(path, base), content);
        };
        m_server.emplace(std::move(options));
    }

    std::string base() const { return m_server ? m_server->base() : m_refused->base(); }
    /// The bytes served for path.
    std::string Page(const std::string& path) const { return WithContent(PlainPage(path, base()), m_content); }
    /// Waits until the server has a request in hand; at once for the refused port.
    bool WaitForRequest(int count = 1) const { return !m_server || m_server->WaitForRequests(count); }
    std::size_t BytesSent() const { return m_server ? m_server->BytesSent() : 0; }

    Settings PointedHere() const {
        Settings settings = DefaultSettings();
        for (auto& siteBase : settings.siteBase) siteBase = base();
        return settings;
    }

private:
    Content m_content;
    std::optional<HostileServer> m_server;
    std::optional<test::RefusedPort> m_refused;
};

void ExpectBody(const std::string& body, Body expected, const std::string& page, std::size_t cap) {
    switch (expected) {
    case Body::Empty:
        EXPECT_TRUE(body.empty()) << body.size() << " bytes";
        break;
    case Body::Whole:
        EXPECT_EQ(body, page);
        break;
    case Body::HalfOrLess:
        EXPECT_LE(body.size(), page.size() / 2);
        EXPECT_EQ(body, page.substr(0, body.size()));
        break;
    case Body::FewBytes:
        EXPECT_LE(body.size(), 3u);
        EXPECT_EQ(body, page.substr(0, body.size()));
        break;
    case Body::CapOfPage:
        ASSERT_EQ(body.size(), cap);
        EXPECT_EQ(body.substr(0, page.size()), page);
        EXPECT_EQ(body.find_first_not_of('x', page.size()), std::string::npos);
        break;
    case Body::RawGzip:
        EXPECT_GT(body.size(), 2u);
        EXPECT_LE(body.size(), cap);
        EXPECT_EQ(body.substr(0, 2), "\x1F\x8B");
        break;
    }
}

template <typename Row, typename Key>
void ExpectRows(const std::vector<Row>& rows, Rows expected, const std::vector<Key>& reference, auto keyOf) {
    switch (expected) {
    case Rows::All:
        EXPECT_EQ(rows.size(), reference.size());
        break;
    case Rows::Part:
        EXPECT_GT(rows.size(), 0u);
        EXPECT_LT(rows.size(), reference.size());
        break;
    case Rows::SoFar:
        EXPECT_LE(rows.size(), reference.size());
        break;
    case Rows::None:
        EXPECT_TRUE(rows.empty()) << rows.size() << " rows";
        return;
    }
    for (std::size_t i = 0; i < rows.size() && i < reference.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(keyOf(rows[i]), reference[i]);
    }
}

class HostileServerTest : public ::testing::TestWithParam<Case> {};

TEST_P(HostileServerTest, PlainPageReadEndsInTimeWithADefinedBody) {
    const Case& c = GetParam();
    Faulty faulty(c);
    const long rssBefore = MaxRssKb();
    const auto started = Clock::now();
    TransferResult result = HttpReadPageResult(faulty.base() + "/sitemap.php", {}, FaultLimits());
    const auto took = Clock::now() - started;

    EXPECT_LT(took, kBound);
    EXPECT_EQ(result.failure, c.failure) << result.message;
    EXPECT_EQ(result.cut, c.readBody == Body::CapOfPage);
    ExpectBody(result.body.data(), c.readBody, faulty.Page("/sitemap.php"), kCap);
    EXPECT_LT(MaxRssKb() - rssBefore, 64 * 1024) << "kB of growth";
    // The peer stopped reading at the cap: far from all of a huge body went out.
    EXPECT_LT(faulty.BytesSent(), std::size_t{32} << 20);
    if (c.misbehaviour == Misbehaviour::Drip) {
        EXPECT_GE(took, FaultLimits().totalTimeout);
    }
}

TEST_P(HostileServerTest, FullWebRequestEndsInTimeWithADefinedBody) {
    const Case& c = GetParam();
    Faulty faulty(c);
    WebRequestParams params;
    const long rssBefore = MaxRssKb();
    const auto started = Clock::now();
    Bytes body = WebRequest(faulty.base() + "/sitemap.php", params, {}, FaultLimits());
    const auto took = Clock::now() - started;

    EXPECT_LT(took, kBound);
    ExpectBody(body.data(), c.requestBody, faulty.Page("/sitemap.php"), kCap);
    EXPECT_LT(MaxRssKb() - rssBefore, 64 * 1024) << "kB of growth";
    EXPECT_LT(faulty.BytesSent(), std::size_t{32} << 20);
    // A request that failed leaves no response headers behind.
    if (c.requestBody == Body::Empty) {
        EXPECT_TRUE(params.responseHeaders.empty());
    }
}

// Collects cycle reports; the tests wait on them.
class CycleLog {
public:
    void Add(const CycleReport& report) {
        std::lock_guard lock(m_mutex);
        m_reports.push_back(report);
        m_changed.notify_all();
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds timeout) {
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

struct MonitorHarness {
    MonitorHarness(const Faulty& faulty, int maxCycles) : settings(faulty.PointedHere()) {
        Monitors::Options options;
        options.reader = HttpPageReader(FaultLimits());
        options.maxCycles = maxCycles;
        options.onCycle = [this](const CycleReport& report) { log.Add(report); };
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

TEST_P(HostileServerTest, MonitorCycleEndsInTimeWithTheRowsSoFar) {
    const Case& c = GetParam();
    Faulty faulty(c);
    const Site site = FindSlot(c.monitorSlot)->site;
    const int posts = site == Site::XianBaoWu ? kSitemapPosts : kArticlePosts;
    std::vector<std::string> links;
    for (int id = 1; id <= posts; ++id) links.push_back(test::PostLink(site, faulty.base(), id));

    MonitorHarness harness(faulty, 1);
    const long rssBefore = MaxRssKb();
    const auto started = Clock::now();
    harness.Start(c.monitorSlot);
    ASSERT_TRUE(harness.log.WaitFor(1, 10s));
    EXPECT_LT(Clock::now() - started, kBound);
    EXPECT_LT(MaxRssKb() - rssBefore, 64 * 1024) << "kB of growth";

    const CycleReport report = harness.log.reports().front();
    EXPECT_EQ(report.pagesTried, 1);
    ExpectRows(report.rows, c.monitorRows, links, [](const PostRecord& post) { return post.link; });
    // The grid shows what the report says, and no more.
    const Grid& grid = harness.monitors->GridOf(c.monitorSlot);
    for (std::size_t row = 1; row <= report.rows.size(); ++row)
        EXPECT_EQ(GridGetCell(grid, static_cast<int>(row), 4), report.rows[row - 1].link);
    EXPECT_EQ(GridGetCell(grid, static_cast<int>(report.rows.size()) + 1, 4), "");
    if (c.content == Content::InvalidUtf8 && !report.rows.empty()) {
        EXPECT_NE(report.rows.front().title.find('?'), std::string::npos) << report.rows.front().title;
    }
    if (c.failure != TransferFailure::None) {
        EXPECT_FALSE(report.lastFailure.empty());
    }
}

TEST_P(HostileServerTest, MonitorStopsAtOnceMidTransfer) {
    const Case& c = GetParam();
    Faulty faulty(c);
    MonitorHarness harness(faulty, 0);
    SetText(harness.monitors->IntervalBoxOf(1), "0");
    std::atomic<bool> stopped = false;
    std::atomic<int> writesAfterStop = 0;
    harness.monitors->GridOf(1).changed().Subscribe([&](const Change&) {
        if (stopped) ++writesAfterStop;
    });
    harness.Start(1);
    // Mid-transfer where there is one to be in; the refused port has none.
    ASSERT_TRUE(faulty.WaitForRequest());
    if (!c.misbehaviour) {
        ASSERT_TRUE(harness.log.WaitFor(1, 10s));
    }

    const auto asked = Clock::now();
    harness.monitors->StopMonitor(1);
    EXPECT_LT(Clock::now() - asked, 100ms);
    stopped = true;
    EXPECT_FALSE(harness.monitors->IsRunning(1));
    EXPECT_FALSE(IsChecked(harness.monitors->StartButtonOf(1)));
    harness.monitors.reset();  // joins the worker: its transfer aborts on the stop
    EXPECT_LT(Clock::now() - asked, 1s);
    EXPECT_EQ(writesAfterStop, 0);
}

// RunSource on a thread of its own, so that a run that hangs fails the test
// instead of holding it.
std::future<SourceRows> RunSourceAsync(const SourceDescriptor& source, const Settings& settings,
                                       std::stop_token stop = {}) {
    return std::async(std::launch::async, [&source, settings, stop] { return RunSource(source, settings, {}, stop); });
}

TEST_P(HostileServerTest, OneShotSourceEndsWithTheRowsOrStopsAtOnce) {
    const Case& c = GetParam();
    const SourceDescriptor* source = FindSource(c.source);
    ASSERT_NE(source, nullptr);

    // The rows a well-behaved server gives for the same page.
    Case good = c;
    good.misbehaviour = Misbehaviour::Answer;
    good.content = Content::Plain;
    Faulty wellBehaved(good);
    const SourceRows reference = RunSource(*source, wellBehaved.PointedHere());
    ASSERT_GT(reference.size(), 1u);
    Faulty faulty(c);
    // Links hold the server's address; the well-behaved one has its own.
    std::vector<Text> firstCells;
    for (const auto& row : reference) {
        Text cell = row.at(0);
        if (cell.rfind(wellBehaved.base(), 0) == 0) cell.replace(0, wellBehaved.base().size(), faulty.base());
        firstCells.push_back(cell);
    }

    if (c.sourceEndsAlone) {
        const long rssBefore = MaxRssKb();
        auto run = RunSourceAsync(*source, faulty.PointedHere());
        ASSERT_EQ(run.wait_for(20s), std::future_status::ready);
        const SourceRows rows = run.get();
        ExpectRows(rows, c.sourceRows, firstCells, [](const std::vector<Text>& row) { return row.at(0); });
        // The source's own cap is the full request's default. Body, text,
        // decoded text and the pattern's UTF-16 copy of it stay a fixed
        // multiple of that, however much the server sends.
        EXPECT_LT(MaxRssKb() - rssBefore, 12 * static_cast<long>(kMaxBodyBytes >> 10)) << "kB of growth";
        return;
    }
    std::stop_source stop;
    auto run = RunSourceAsync(*source, faulty.PointedHere(), stop.get_token());
    ASSERT_TRUE(faulty.WaitForRequest());
    const auto asked = Clock::now();
    stop.request_stop();
    ASSERT_EQ(run.wait_for(1s), std::future_status::ready);
    EXPECT_LT(Clock::now() - asked, 100ms);
    EXPECT_TRUE(run.get().empty());
}

INSTANTIATE_TEST_SUITE_P(Misbehaviours, HostileServerTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumora
