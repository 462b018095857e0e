#pragma once

#include <iosfwd>
#include <string>

#include <CLI/CLI.hpp>

#include "core/settings.h"

namespace lumora {

/// `lumora-cli scrape SOURCE [--page N] [--item NAME] [--price RANGE]`.
struct ScrapeCommand {
    CLI::App* command = nullptr;
    std::string source;  // a page caption, UTF-8
    std::string page = "1";
    std::string item = "避孕套";
    std::string price = "0-1";
};

/// Adds the subcommand and its options to app, bound to options.
void AddScrapeCommand(CLI::App& app, ScrapeCommand& options);

/// Runs the source once and prints one JSON object per row, keyed by the
/// list's column titles in order. Returns the exit status.
int RunScrape(const ScrapeCommand& options, const Settings& settings, std::ostream& out, std::ostream& err);

}  // namespace lumora
