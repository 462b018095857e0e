#pragma once

#include <iosfwd>

namespace lumora {

/// The headless command: `watch` and `scrape`. Rows go to out as JSON Lines
/// (UTF-8), messages to err. Returns the exit status: 0, or 2 on bad usage or
/// settings. SIGINT and SIGTERM end a watch cleanly; the caller blocks them in
/// every thread before calling (see BlockStopSignals).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

/// Blocks SIGINT and SIGTERM in the calling thread and every thread it starts
/// later, so that the watch loop receives them synchronously.
void BlockStopSignals();

}  // namespace lumora
