#include "monitor/monitors.h"

#include <climits>
#include <cmath>

#include <algorithm>
#include <unordered_set>

#include "controls/toolkit.h"
#include "core/charset.h"
#include "core/text_ops.h"
#include "monitor/board_parser.h"
#include "monitor/charset_sniff.h"

namespace lumora {

namespace {

constexpr int kGridRows = 50;       // row 0 is the title row
constexpr int kPostsWanted = 30;
constexpr int kFurtherPages = 5;
constexpr int kLinkColumn = 4;

const char* const kColumnTitles[] = {
    "\xB1\xEA\xC7\xA9",                                         // 标签
    "\xB1\xEA\xCC\xE2 \xCB\xAB\xBB\xF7\xB4\xF2\xBF\xAA\xCD\xF8\xD6\xB7",  // 标题 双击打开网址
    "\xCC\xE1\xB3\xF6\xD5\xDF",                                 // 提出者
};
constexpr int kColumnWidths[] = {50, 500, 100, 0};

// A status the cycle counts as a page read: the server answered with content
// meant for us. Error pages (403, 503 from a shield) leave the grid alone.
bool CountsAsRead(const PageRead& read) { return read.ok && (read.status == 0 || (read.status >= 200 && read.status < 300)); }

bool IsRefusal(const PageRead& read) { return read.ok && (read.status == 403 || read.status == 429 || read.status == 503); }

constexpr std::chrono::milliseconds kBackoffFloor{5000};
constexpr std::chrono::milliseconds kBackoffCeiling{10 * 60 * 1000};
constexpr std::chrono::milliseconds kRetryAfterCeiling{60 * 60 * 1000};

bool Excluded(const Text& title, const std::vector<std::string>& words) {
    for (const auto& word : words)
        if (!word.empty() && Find(title, word, 1, false) != -1) return true;
    return false;
}

}  // namespace

struct Monitors::Slot {
    Slot(const SlotDescriptor& d, EditBox& address, EditBox& interval, RadioButton& start, Grid& g)
        : descriptor(d), addressBox(address), intervalBox(interval), startButton(start), grid(g) {}

    const SlotDescriptor& descriptor;
    EditBox& addressBox;
    EditBox& intervalBox;
    RadioButton& startButton;
    Grid& grid;
    // Held across "is it stopped? then write" so that a stop can never fall
    // between the check and the write.
    std::mutex writeGate;
    std::jthread worker;
    std::shared_ptr<std::atomic<bool>> workerFinished;
    // What the slot knows across cycles and starts, for the whole run; shared
    // with the window's thread. Lock order: writeGate, then stateMutex.
    mutable std::mutex stateMutex;
    SeenLinks seen;
    std::unordered_set<Text> unacknowledged;  // new links the user has not had in front of them
    bool baselineDone = false;
    SlotHealth health;
};

bool InterruptiblePause(std::chrono::milliseconds duration, std::stop_token stop) {
    if (duration <= std::chrono::milliseconds::zero()) return !stop.stop_requested();
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, duration, [] { return false; });
    return !stop.stop_requested();
}

std::chrono::milliseconds PauseForInterval(const Text& intervalText) {
    double milliseconds = std::trunc(static_cast<double>(ToNumber(intervalText)) * 1000.0);
    if (milliseconds <= 0) return std::chrono::milliseconds::zero();
    if (milliseconds > INT_MAX) milliseconds = INT_MAX;  // a signed 32-bit count, at most
    return std::chrono::milliseconds(static_cast<long long>(milliseconds));
}

Text NextPageAddress(const Text& address) {
    static const Text kSuffix = ".html";
    if (address.size() <= kSuffix.size() || address.compare(address.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return {};
    std::size_t end = address.size() - kSuffix.size();
    std::size_t dash = address.rfind('-', end - 1);
    if (dash == Text::npos || dash + 1 == end || end - dash - 1 > 9) return {};
    long long page = 0;
    for (std::size_t i = dash + 1; i < end; ++i) {
        if (address[i] < '0' || address[i] > '9') return {};
        page = page * 10 + (address[i] - '0');
    }
    return address.substr(0, dash + 1) + std::to_string(page + 1) + kSuffix;
}

Monitors::Monitors(Form& form, const Settings& settings, const KeywordList& keywords, Options options)
    : m_form(form), m_settings(settings), m_keywords(keywords), m_options(std::move(options)) {
    const Text interval = "10";
    for (const auto& descriptor : kSlotTable) {
        std::string address = settings.Base(descriptor.site) + std::string(descriptor.defaultPath);
        auto& addressBox = form.Add<EditBox>(std::string(descriptor.addressBox), address);
        auto& intervalBox = form.Add<EditBox>(std::string(descriptor.intervalBox), interval);
        auto& startButton = form.Add<RadioButton>(std::string(descriptor.startButton),
                                                  "\xBF\xAA\xCA\xBC\xBC\xE0\xBF\xD8");  // 开始监控
        auto& grid = form.Add<Grid>(std::string(descriptor.grid), kGridTagBase + descriptor.number,
                                    Grid::Shape{.rows = kGridRows, .fixedRows = 1, .columns = 2, .fixedColumns = 1,
                                                .defaultWidth = 60, .rowHeight = 24});
        m_slots[static_cast<std::size_t>(descriptor.number - 1)] =
            std::make_unique<Slot>(descriptor, addressBox, intervalBox, startButton, grid);
    }
}

Monitors::~Monitors() {
    StopAll();
    std::list<Retired> retired;
    {
        std::lock_guard lock(m_retiredMutex);
        retired.swap(m_retired);
    }
    retired.clear();  // joins; every transfer aborts on its stop token
}

void Monitors::SetUpMonitorGrids() {
    for (int i = 1; i <= kSlotCount; ++i) {
        auto* grid = dynamic_cast<Grid*>(FindControlByTag(m_form, kGridTagBase + i));
        if (!grid) continue;
        for (int column = 1; column <= 3; ++column) GridSetColumnTitle(*grid, kColumnTitles[column - 1], column);
        for (int column = 1; column <= 4; ++column) GridSetColumnWidth(*grid, column, kColumnWidths[column - 1]);
    }
}

void Monitors::StartMonitor(int number) {
    const SlotDescriptor* descriptor = FindSlot(number);
    if (!descriptor) return;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    if (!IsChecked(slot.startButton)) return;
    ReapFinished();
    std::lock_guard gate(slot.writeGate);
    // One worker per grid: a second tick while running changes nothing.
    if (slot.worker.joinable() && !slot.worker.get_stop_token().stop_requested() && !slot.workerFinished->load())
        return;
    slot.worker = {};  // one that ended on its own: joined at once
    auto finished = std::make_shared<std::atomic<bool>>(false);
    slot.workerFinished = finished;
    slot.worker = std::jthread([this, number, finished](std::stop_token stop) {
        RunMonitor(number, stop);
        finished->store(true);
    });
}

void Monitors::StopMonitor(int number) {
    if (!FindSlot(number)) return;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    Retired stopped;
    {
        std::lock_guard gate(slot.writeGate);
        slot.worker.request_stop();
        stopped.thread = std::move(slot.worker);
        stopped.finished = std::move(slot.workerFinished);
    }
    SetChecked(slot.startButton, false);
    if (stopped.thread.joinable()) {
        std::lock_guard lock(m_retiredMutex);
        m_retired.push_back(std::move(stopped));
    }
    ReapFinished();
}

void Monitors::StopAll() {
    for (int number = 1; number <= kSlotCount; ++number) StopMonitor(number);
}

bool Monitors::IsRunning(int number) const {
    if (!FindSlot(number)) return false;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    std::lock_guard gate(slot.writeGate);
    return slot.worker.joinable() && !slot.worker.get_stop_token().stop_requested() && slot.workerFinished &&
           !slot.workerFinished->load();
}

Grid& Monitors::GridOf(int number) const { return m_slots.at(static_cast<std::size_t>(number - 1))->grid; }
EditBox& Monitors::AddressBoxOf(int number) const { return m_slots.at(static_cast<std::size_t>(number - 1))->addressBox; }
EditBox& Monitors::IntervalBoxOf(int number) const { return m_slots.at(static_cast<std::size_t>(number - 1))->intervalBox; }
RadioButton& Monitors::StartButtonOf(int number) const {
    return m_slots.at(static_cast<std::size_t>(number - 1))->startButton;
}

void Monitors::ReapFinished() {
    // Stopped workers that have returned are joined here (instantly); those
    // still abandoning a transfer stay until a later call or the end.
    std::list<Retired> done;
    {
        std::lock_guard lock(m_retiredMutex);
        for (auto it = m_retired.begin(); it != m_retired.end();) {
            auto next = std::next(it);
            if (it->finished->load()) done.splice(done.end(), m_retired, it);
            it = next;
        }
    }
}

void Monitors::RunMonitor(int number, std::stop_token stop) {
    const SlotDescriptor* descriptor = FindSlot(number);
    if (!descriptor) return;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    const Site site = descriptor->site;
    const std::string& base = m_settings.Base(site);

    std::vector<PostRecord> posts;
    int backoffLevel = 0;
    for (int cycle = 1; !stop.stop_requested(); ++cycle) {
        CycleReport report;
        report.slot = number;
        report.cycle = cycle;
        Text address = ReadText(slot.addressBox);
        posts.clear();
        std::chrono::seconds retryAfter{0};
        TransferFailure failureKind = TransferFailure::None;
        int failureStatus = 0;

        // False when the paging must end: the server is refusing us.
        auto readAndParse = [&](const Text& pageAddress) {
            ++report.pagesTried;
            PageRead read = m_options.reader(pageAddress, stop);
            if (stop.stop_requested()) return false;
            const bool counts = CountsAsRead(read);
            if (counts) {
                ++report.pagesRead;
            } else if (read.ok) {
                report.lastFailure = "HTTP " + std::to_string(read.status);
                failureStatus = read.status;
            } else {
                report.lastFailure = read.failure;
                failureKind = read.failureKind;
            }
            if (!counts) report.failures.push_back(pageAddress + ": " + report.lastFailure);
            // A forum that moved to UTF-8 says so; the GBK parsers get GBK.
            if (site != Site::ZhuanKeZhiJia && !read.body.empty() && DeclaresUtf8(read.contentType, read.body))
                read.body = Bytes(Utf8ToAnsi(read.body));
            std::size_t before = posts.size();
            int blocks = ParseBoardPage(site, base, m_keywords, posts, read.body);
            if (counts && !read.body.empty() && blocks == 0) ++report.pagesWithoutBlocks;
            if (!m_settings.exclude.empty())
                posts.erase(std::remove_if(posts.begin() + static_cast<std::ptrdiff_t>(before), posts.end(),
                                           [&](const PostRecord& post) { return Excluded(post.title, m_settings.exclude); }),
                            posts.end());
            if (IsRefusal(read)) {
                report.refusedStatus = read.status;
                retryAfter = read.retryAfter;
                return false;
            }
            return true;
        };

        bool goOn = readAndParse(address);
        for (int tries = 0; goOn && static_cast<int>(posts.size()) < kPostsWanted && tries < kFurtherPages; ++tries) {
            if (stop.stop_requested() || site == Site::XianBaoWu) break;
            if (site == Site::ZhuanKeZhiJia) {
                std::size_t slash = address.rfind('/');
                int page = ToNumber(slash == Text::npos ? address : address.substr(slash + 1));
                address = base + "/sort/huodong/page/" + std::to_string(static_cast<long long>(page) + 1);
            } else {
                address = NextPageAddress(address);
                if (address.empty()) break;
            }
            goOn = readAndParse(address);
        }
        if (stop.stop_requested()) return;

        const int shown = std::min<int>(static_cast<int>(posts.size()), kGridRows - 1);
        {
            // Which shown posts are new to this run; the first cycle that reads
            // anything only learns what is there.
            std::lock_guard state(slot.stateMutex);
            for (int i = 0; i < shown; ++i) {
                const PostRecord& post = posts[static_cast<std::size_t>(i)];
                if (slot.seen.Insert(post.link) && slot.baselineDone) {
                    report.newPosts.push_back(post);
                    slot.unacknowledged.insert(post.link);
                }
            }
            // A link the slot has forgotten would count as new again anyway;
            // dropping its mark keeps the marks within the seen links' bound
            // however long nobody looks.
            if (slot.unacknowledged.size() > slot.seen.size())
                std::erase_if(slot.unacknowledged, [&](const Text& link) { return !slot.seen.Contains(link); });
            if (report.pagesRead > 0) slot.baselineDone = true;
        }

        // Rows 1..49, each under the gate so that no row lands after a stop.
        for (int i = 0; i < shown; ++i) {
            const PostRecord& post = posts[static_cast<std::size_t>(i)];
            std::lock_guard gate(slot.writeGate);
            if (stop.stop_requested()) return;
            slot.grid.SetRow(i + 1, 1, {post.category, post.title, post.author, post.link});
        }
        // Rows an earlier, longer cycle left would show posts this cycle did not
        // find; empty them, unless nothing was read at all.
        int filled = shown;
        if (report.pagesRead > 0) {
            static const std::vector<Text> kEmptyRow(kLinkColumn);
            for (int row = shown + 1; row < kGridRows; ++row) {
                std::lock_guard gate(slot.writeGate);
                if (stop.stop_requested()) return;
                if (slot.grid.Cell(row, 1).empty() && slot.grid.Cell(row, 2).empty() &&
                    slot.grid.Cell(row, 3).empty() && slot.grid.Cell(row, kLinkColumn).empty())
                    continue;
                slot.grid.SetRow(row, 1, kEmptyRow);
            }
        } else {
            filled = kGridRows - 1;
        }
        {
            std::lock_guard gate(slot.writeGate);
            if (stop.stop_requested()) return;
            RefreshMarks(slot, filled);
        }

        // A refusing server gets fewer requests, not a burst: the pause
        // doubles (from at least the interval) up to a ceiling, and a
        // Retry-After is honoured; the first good cycle returns to the box.
        std::chrono::milliseconds pause = PauseForInterval(ReadText(slot.intervalBox));
        if (report.refusedStatus != 0) {
            ++backoffLevel;
            auto base = std::max(pause, kBackoffFloor);
            auto doubled = base * (1LL << std::min(backoffLevel, 16));
            pause = std::min<std::chrono::milliseconds>(doubled, kBackoffCeiling);
            pause = std::max<std::chrono::milliseconds>(pause, std::min<std::chrono::milliseconds>(retryAfter, kRetryAfterCeiling));
        } else {
            backoffLevel = 0;
        }

        report.postsKept = static_cast<int>(posts.size());
        report.rows.assign(posts.begin(), posts.begin() + shown);
        report.finished = std::chrono::system_clock::now();
        {
            std::lock_guard state(slot.stateMutex);
            SlotHealth& health = slot.health;
            ++health.cycles;
            if (report.pagesRead > 0) health.lastSuccess = report.finished;
            health.pagesRead = report.pagesRead;
            health.postsKept = report.postsKept;
            health.lastFailure = report.lastFailure;
            health.lastFailureKind = failureKind;
            health.lastFailureStatus = failureStatus;
            health.markupChanged = report.pagesWithoutBlocks > 0;
            health.backingOff = report.refusedStatus != 0;
            health.nextPause = pause;
            report.health = health;
        }
        if (m_options.onCycle) m_options.onCycle(report);
        if (m_options.maxCycles > 0 && cycle >= m_options.maxCycles) return;

        if (!m_options.pause(pause, stop)) return;
    }
}

void Monitors::RefreshMarks(Slot& slot, int rows) {
    std::lock_guard state(slot.stateMutex);
    for (int row = 1; row <= rows && row < kGridRows; ++row) {
        Text link = slot.grid.Cell(row, kLinkColumn);
        slot.grid.SetRowMarked(row, !link.empty() && slot.unacknowledged.count(link) != 0);
    }
}

SlotHealth Monitors::HealthOf(int number) const {
    if (!FindSlot(number)) return {};
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    std::lock_guard state(slot.stateMutex);
    return slot.health;
}

std::size_t Monitors::UnacknowledgedCount(int number) const {
    if (!FindSlot(number)) return 0;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    std::lock_guard state(slot.stateMutex);
    return slot.unacknowledged.size();
}

void Monitors::AcknowledgeNewPosts(int number) {
    if (!FindSlot(number)) return;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    std::lock_guard gate(slot.writeGate);
    {
        std::lock_guard state(slot.stateMutex);
        slot.unacknowledged.clear();
    }
    RefreshMarks(slot, kGridRows - 1);
}

void Monitors::AcknowledgeRow(int number, int row) {
    if (!FindSlot(number)) return;
    Slot& slot = *m_slots[static_cast<std::size_t>(number - 1)];
    std::lock_guard gate(slot.writeGate);
    {
        std::lock_guard state(slot.stateMutex);
        slot.unacknowledged.erase(slot.grid.Cell(row, kLinkColumn));
    }
    RefreshMarks(slot, kGridRows - 1);
}

}  // namespace lumora
