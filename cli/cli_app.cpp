#include "cli/cli_app.h"

#include <csignal>
#include <ctime>
#include <mutex>
#include <ostream>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/keyword_args.h"
#include "cli/scrape_command.h"
#include "controls/toolkit.h"
#include "core/charset.h"
#include "core/settings.h"
#include "monitor/http_page_reader.h"
#include "monitor/monitors.h"

namespace lumora {

namespace {

constexpr int kUsageError = 2;

struct WatchOptions {
    std::vector<int> slots;
    int cycles = 0;
    std::string interval = "10";
    std::vector<std::string> keywords;
    std::optional<std::filesystem::path> keywordsFile;
};

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Waits up to 50 ms for SIGINT or SIGTERM; true when one arrived.
bool StopSignalArrived() {
    sigset_t set = StopSignals();
    timespec slice{0, 50'000'000};
    return sigtimedwait(&set, nullptr, &slice) > 0;
}

std::string JsonLine(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

int RunWatch(const WatchOptions& watch, const SettingsLoad& load, std::ostream& out, std::ostream& err) {
    std::string error;
    auto keywordText = KeywordTextFromArgs(watch.keywords, watch.keywordsFile, error);
    if (!keywordText) {
        err << "lumora-cli: " << error << '\n';
        return kUsageError;
    }
    KeywordList keywords(*keywordText);

    std::mutex outMutex;
    Monitors::Options options;
    options.reader = HttpPageReader();
    options.maxCycles = watch.cycles;
    options.onCycle = [&](const CycleReport& report) {
        std::string lines;
        for (std::size_t i = 0; i < report.rows.size(); ++i) {
            const PostRecord& post = report.rows[i];
            nlohmann::json row = nlohmann::json::object();
            row["slot"] = report.slot;
            row["cycle"] = report.cycle;
            row["row"] = static_cast<int>(i) + 1;
            row["category"] = GbkToUtf8(post.category);
            row["title"] = GbkToUtf8(post.title);
            row["author"] = GbkToUtf8(post.author);
            row["link"] = GbkToUtf8(post.link);
            lines += JsonLine(row);
            lines += '\n';
        }
        std::lock_guard lock(outMutex);
        out << lines << std::flush;
    };

    Form form;
    Monitors monitors(form, load.settings, keywords, std::move(options));
    monitors.SetUpMonitorGrids();
    const Text interval = Utf8ToGbk(watch.interval);
    for (int slot : watch.slots) {
        SetText(monitors.IntervalBoxOf(slot), interval);
        SetChecked(monitors.StartButtonOf(slot), true);
        monitors.StartMonitor(slot);
    }
    while (true) {
        if (StopSignalArrived()) break;
        bool anyRunning = false;
        for (int slot : watch.slots) anyRunning = anyRunning || monitors.IsRunning(slot);
        if (!anyRunning) break;
    }
    monitors.StopAll();
    return 0;
}

}  // namespace

void BlockStopSignals() {
    sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Lumora: watches deal forums and scrapes deal sources, headless", "lumora-cli"};
    app.require_subcommand(1);
    std::optional<std::filesystem::path> config;

    WatchOptions watch;
    CLI::App* watchCommand = app.add_subcommand("watch", "Run board monitors and print each cycle's rows as JSON Lines");
    watchCommand->add_option("SLOT", watch.slots, "Monitor slots, 1 to 9")->required()->check(CLI::Range(1, 9));
    watchCommand->add_option("--cycles", watch.cycles, "Stop after N cycles of every slot (default: until SIGINT)")
        ->check(CLI::PositiveNumber);
    watchCommand->add_option("--interval", watch.interval, "Seconds between cycles, as the interval box reads it")
        ->default_str("10");
    watchCommand->add_option("--keyword", watch.keywords, "Keep posts whose title holds WORD (repeatable)");
    watchCommand->add_option("--keywords-file", watch.keywordsFile, "GBK file, one keyword per line");
    watchCommand->add_option("--config", config, "Settings file (TOML)");

    ScrapeCommand scrape;
    AddScrapeCommand(app, scrape);
    scrape.command->add_option("--config", config, "Settings file (TOML)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help is a success; anything else is bad usage.
        return app.exit(error, out, err) == 0 ? 0 : kUsageError;
    }

    SettingsLoad load = LoadSettings(config);
    if (load.error) {
        err << "lumora-cli: " << *load.error << '\n';
        return kUsageError;
    }
    if (*watchCommand) return RunWatch(watch, load, out, err);
    if (*scrape.command) return RunScrape(scrape, load.settings, out, err);
    return kUsageError;
}

}  // namespace lumora
