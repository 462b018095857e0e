#include "cli/scrape_command.h"

#include <ostream>

namespace lumora {

void AddScrapeCommand(CLI::App& app, ScrapeCommand& options) {
    options.command = app.add_subcommand("scrape", "Run one source once and print its rows as JSON Lines");
    options.command->add_option("SOURCE", options.source, "The source's page caption")->required();
    options.command->add_option("--page", options.page, "Page of the project list (号码短租)");
    options.command->add_option("--item", options.item, "Item name (京东物品)");
    options.command->add_option("--price", options.price, "Price range (京东物品)");
}

int RunScrape(const ScrapeCommand&, const Settings&, std::ostream&, std::ostream& err) {
    err << "lumora-cli: scrape is not built yet\n";
    return 2;
}

}  // namespace lumora
