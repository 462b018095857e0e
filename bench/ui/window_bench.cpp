// The window's start-up time, memory and responsiveness with nine monitors
// writing, on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "controls/toolkit.h"
#include "monitor/http_page_reader.h"
#include "tests/support/board_pages.h"
#include "tests/support/loopback_server.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/startup.h"
#include "ui/tray.h"
#include "web/curl_transfer.h"

namespace {

using Clock = std::chrono::steady_clock;

class QuietDesktop : public lumora::Desktop {
public:
    void OpenUrl(const QUrl&) override {}
    void StartProgram(const QString&, const QStringList&) override {}
    void SetClipboardText(const QString&) override {}
};

class NoTray : public lumora::Tray {
public:
    bool Available() const override { return false; }
    void Show(const QIcon&, const QString&, QMenu*) override {}
    void Remove() override {}
    bool Shown() const override { return false; }
    void SetEventHandler(EventHandler) override {}
};

double ResidentMegabytes(const char* field = "VmRSS:") {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return 0;
}

std::unique_ptr<lumora::MainWindow> MakeWindow(lumora::Settings settings, lumora::Desktop& desktop,
                                               lumora::Tray& tray) {
    lumora::MainWindow::Options options;
    options.reader = lumora::HttpPageReader();
    return std::make_unique<lumora::MainWindow>(std::move(settings), desktop, tray, std::move(options));
}

// Shows the window and runs the loop until its first paint has been made.
void ShowAndPaint(lumora::MainWindow& window) {
    window.show();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

double g_coldStartMs = 0;

void BM_ColdStartToShown(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(g_coldStartMs / 1000.0);
    state.counters["ms"] = g_coldStartMs;
}
BENCHMARK(BM_ColdStartToShown)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WindowCreatedAndShown(benchmark::State& state) {
    QuietDesktop desktop;
    NoTray tray;
    for (auto _ : state) {
        auto window = MakeWindow(lumora::DefaultSettings(), desktop, tray);
        ShowAndPaint(*window);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowCreatedAndShown)->Unit(benchmark::kMillisecond);

// All nine monitors against a loopback server serving 50-post pages of about
// 150 KB; the interval box holds state.range(0) seconds. Measures the longest
// gap of a 1 ms timer on the window's thread while they write.
void BM_NineMonitorsEventLoopStall(benchmark::State& state) {
    lumora::test::LoopbackServer server;
    const std::string base = server.base();
    for (const lumora::SlotDescriptor& slot : lumora::kSlotTable) {
        const std::string page = lumora::test::BoardPage(slot.site, base, 50, slot.number * 1000 + 1);
        server.Serve(std::string(slot.defaultPath), page);
        if (slot.site != lumora::Site::XianBaoWu && slot.site != lumora::Site::ZhuanKeZhiJia)
            server.Serve(R"(/forum-\d+-\d+\.html)", page);
    }
    lumora::Settings settings = lumora::DefaultSettings();
    for (auto& site : settings.siteBase) site = base;
    QuietDesktop desktop;
    NoTray tray;
    auto window = MakeWindow(std::move(settings), desktop, tray);
    ShowAndPaint(*window);
    const double before = ResidentMegabytes();

    std::atomic<long> writes{0};
    for (int slot = 1; slot <= lumora::kSlotCount; ++slot) {
        window->monitors().GridOf(slot).changed().Subscribe([&writes](const lumora::Change&) { ++writes; });
        lumora::SetText(window->monitors().IntervalBoxOf(slot), std::to_string(state.range(0)));
        lumora::SetChecked(window->monitors().StartButtonOf(slot), true);
        window->monitors().StartMonitor(slot);
    }

    double worstGapMs = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        auto last = Clock::now();
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            worstGapMs = std::max(worstGapMs, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        });
        tick.start(1);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    state.counters["max_stall_ms"] = worstGapMs;
    state.counters["rss_mb"] = ResidentMegabytes();
    state.counters["rss_before_mb"] = before;
    state.counters["peak_rss_mb"] = ResidentMegabytes("VmHWM:");
    state.counters["grid_writes"] = static_cast<double>(writes.load());
    window->monitors().StopAll();
    window.reset();
}
BENCHMARK(BM_NineMonitorsEventLoopStall)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    const auto started = Clock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    lumora::CurlGlobal curl;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    lumora::ApplyWindowStyle(app);
    {
        // What the program does before its window is up, up to the first paint.
        QuietDesktop desktop;
        NoTray tray;
        auto window = MakeWindow(lumora::DefaultSettings(), desktop, tray);
        ShowAndPaint(*window);
        g_coldStartMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
