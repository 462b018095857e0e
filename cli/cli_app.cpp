#include "cli/cli_app.h"

#include <algorithm>
#include <csignal>
#include <ctime>
#include <mutex>
#include <ostream>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/keyword_args.h"
#include "cli/post_hook.h"
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
    std::vector<std::string> exclude;
    bool onlyNew = false;
    std::string exec;
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

nlohmann::json RowJson(const CycleReport& report, int row, const PostRecord& post) {
    nlohmann::json json = nlohmann::json::object();
    json["slot"] = report.slot;
    json["cycle"] = report.cycle;
    json["row"] = row;
    json["category"] = GbkToUtf8(post.category);
    json["title"] = GbkToUtf8(post.title);
    json["author"] = GbkToUtf8(post.author);
    json["link"] = GbkToUtf8(post.link);
    return json;
}

int RunWatch(const WatchOptions& watch, const SettingsLoad& load, std::ostream& out, std::ostream& err) {
    std::string error;
    auto keywordText = KeywordTextFromArgs(watch.keywords, watch.keywordsFile, error);
    if (!keywordText) {
        err << "lumora-cli: " << error << '\n';
        return kUsageError;
    }
    KeywordList keywords(*keywordText);

    Settings settings = load.settings;
    for (const auto& word : watch.exclude)
        if (!word.empty()) settings.exclude.push_back(Utf8ToGbk(word));

    std::optional<PostHook> hook;
    if (!watch.exec.empty()) hook.emplace(watch.exec);

    std::mutex outMutex;
    Monitors::Options options;
    options.reader = HttpPageReader();
    options.maxCycles = watch.cycles;
    options.onCycle = [&](const CycleReport& report) {
        std::string lines;
        std::string failures;
        for (const auto& failure : report.failures)
            failures += "lumora-cli: slot " + std::to_string(report.slot) + ": " + GbkToUtf8(failure) + "\n";
        for (std::size_t i = 0; i < report.rows.size(); ++i) {
            const PostRecord& post = report.rows[i];
            if (watch.onlyNew && std::find(report.newPosts.begin(), report.newPosts.end(), post) == report.newPosts.end())
                continue;
            lines += JsonLine(RowJson(report, static_cast<int>(i) + 1, post));
            lines += '\n';
        }
        if (hook) {
            for (const auto& post : report.newPosts)
                hook->Run({{"LUMORA_SLOT", std::to_string(report.slot)},
                           {"LUMORA_TITLE", GbkToUtf8(post.title)},
                           {"LUMORA_LINK", GbkToUtf8(post.link)},
                           {"LUMORA_CATEGORY", GbkToUtf8(post.category)},
                           {"LUMORA_AUTHOR", GbkToUtf8(post.author)}});
        }
        std::lock_guard lock(outMutex);
        err << failures << std::flush;
        out << lines << std::flush;
    };

    Form form;
    Monitors monitors(form, settings, keywords, std::move(options));
    monitors.SetUpMonitorGrids();
    const Text interval = Utf8ToGbk(watch.interval);
    for (int slot : watch.slots) {
        SetText(monitors.IntervalBoxOf(slot), interval);
        SetChecked(monitors.StartButtonOf(slot), true);
        monitors.StartMonitor(slot);
    }
    bool stopSignal = false;
    while (true) {
        if (StopSignalArrived()) {
            stopSignal = true;
            break;
        }
        bool anyRunning = false;
        for (int slot : watch.slots) anyRunning = anyRunning || monitors.IsRunning(slot);
        if (!anyRunning) break;
    }
    monitors.StopAll();
    // A finite watch lets its hooks finish; a signal ends them with the program.
    if (hook && !stopSignal) hook->Drain();
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
    watchCommand->add_option("--exclude", watch.exclude, "Drop posts whose title holds WORD (repeatable)");
    watchCommand->add_flag("--new", watch.onlyNew, "Print only rows new to this run (the first cycle is the baseline)");
    watchCommand->add_option("--exec", watch.exec,
                             "Run CMD with /bin/sh -c once per new post; the post is in LUMORA_SLOT, LUMORA_TITLE, "
                             "LUMORA_LINK, LUMORA_CATEGORY, LUMORA_AUTHOR");
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
