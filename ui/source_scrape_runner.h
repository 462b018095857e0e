#pragma once

#include "scrape/source_runner.h"
#include "ui/scrape_runner.h"

namespace lumora {

/// The window's start controls onto the one-shot sources: each click queues a
/// run off the window's thread; the rows come back to the window's thread and
/// are appended there, in match order.
class SourceScrapeRunner final : public ScrapeRunner {
public:
    void Start(const ScrapeRequest& request) override;

private:
    SourceRunners m_runners;  // destroyed after the window: stops and joins promptly
};

}  // namespace lumora
