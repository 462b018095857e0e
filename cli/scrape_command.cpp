#include "cli/scrape_command.h"

#include <csignal>
#include <ctime>
#include <future>
#include <ostream>
#include <thread>

#include <nlohmann/json.hpp>

#include "core/charset.h"
#include "scrape/run_source.h"
#include "scrape/source_descriptor.h"

namespace lumora {
namespace {

constexpr int kUsageError = 2;
// The shell's convention for a command ended by a signal.
constexpr int kSignalBase = 128;

std::string SourceList() {
    std::string names;
    for (const SourceDescriptor& source : Sources()) {
        if (!names.empty()) names += ", ";
        names += source.page;
    }
    return names;
}

// A stop signal already waiting for this thread (the caller blocks them), or 0.
int PendingStopSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigset_t blocked;
    if (pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0 || !sigismember(&blocked, SIGINT)) return 0;
    timespec now{0, 0};
    int signal = sigtimedwait(&set, nullptr, &now);
    return signal > 0 ? signal : 0;
}

void PrintRows(const SourceDescriptor& source, const SourceRows& rows, std::ostream& out) {
    const auto columns = source.columns();
    for (const std::vector<Text>& cells : rows) {
        nlohmann::ordered_json row = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < columns.size(); ++i)
            row[std::string(columns[i].title)] = i < cells.size() ? GbkToUtf8(cells[i]) : std::string();
        out << row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    }
    out << std::flush;
}

}  // namespace

void AddScrapeCommand(CLI::App& app, ScrapeCommand& options) {
    options.command = app.add_subcommand("scrape", "Run one source once and print its rows as JSON Lines");
    options.command->add_option("SOURCE", options.source, "The source's page caption: " + SourceList())->required();
    options.command->add_option("--page", options.page, "Page of the project list (号码短租)")->default_str("1");
    options.command->add_option("--item", options.item, "Item name (京东物品)")->default_str("避孕套");
    options.command->add_option("--price", options.price, "Price range, low-high (京东物品)")->default_str("0-1");
}

int RunScrape(const ScrapeCommand& options, const Settings& settings, std::ostream& out, std::ostream& err) {
    const SourceDescriptor* source = FindSource(options.source);
    if (!source) {
        err << "lumora-cli: scrape: unknown source \"" << options.source << "\"; the sources are " << SourceList()
            << '\n';
        return kUsageError;
    }
    SourceInputs inputs;
    inputs.page = Utf8ToGbk(options.page);
    inputs.item = Utf8ToGbk(options.item);
    inputs.price = Utf8ToGbk(options.price);

    // The run goes on a thread of its own so that SIGINT or SIGTERM can stop
    // its transfer at once instead of waiting for the site's timeouts.
    std::promise<SourceRows> done;
    std::future<SourceRows> result = done.get_future();
    std::jthread worker([&, promise = std::move(done)](std::stop_token stop) mutable {
        promise.set_value(RunSource(*source, settings, inputs, stop));
    });
    while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (int signal = PendingStopSignal()) {
            worker.request_stop();
            return kSignalBase + signal;
        }
    }
    PrintRows(*source, result.get(), out);
    return 0;
}

}  // namespace lumora
