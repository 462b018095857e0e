#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string_view>
#include <thread>

#include "controls/form.h"
#include "core/settings.h"
#include "scrape/scrape_to_list.h"
#include "scrape/source_descriptor.h"

namespace lumora {

/// Receives the rows of one finished run, on the runner's thread. A window
/// relays them to its own thread (a queued call) and appends them there.
using RowsHandler = std::function<void(SourceRows rows)>;

/// Runs one source off the caller's thread, one run after another on a thread
/// of its own: a run asked for while one is going is queued behind it, so two
/// clicks append twice, in click order. Rows are handed over in match order.
class SourceRunner {
public:
    explicit SourceRunner(const SourceDescriptor& source);
    /// Stops the run in progress (its transfer aborts within a few ms), drops
    /// the queued ones and joins; no handler is called afterwards.
    ~SourceRunner();
    SourceRunner(const SourceRunner&) = delete;
    SourceRunner& operator=(const SourceRunner&) = delete;

    const SourceDescriptor& source() const { return m_source; }

    /// Queues one run with these settings and inputs and returns at once; any
    /// thread. deliver gets the run's rows, also when there are none, unless
    /// the runner is destroyed first.
    void Run(Settings settings, SourceInputs inputs, RowsHandler deliver);

    /// Runs queued or in progress.
    int Pending() const;

private:
    struct Job {
        Settings settings;
        SourceInputs inputs;
        RowsHandler deliver;
    };
    void Work(std::stop_token stop);

    const SourceDescriptor& m_source;
    mutable std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<Job> m_jobs;
    int m_running = 0;
    // Last, so that it is stopped and joined before the members above go.
    std::jthread m_worker;
};

/// One runner per source, made at its first click: what a window needs to
/// run its scrape pages. Start and the destructor belong to one thread (the
/// window's).
class SourceRunners {
public:
    /// Reads the page's input boxes from form now, then queues one run of the
    /// page's source and returns at once. False when no source has that page.
    bool Start(std::string_view page, const Form& form, const Settings& settings, RowsHandler deliver);

private:
    std::map<std::string_view, std::unique_ptr<SourceRunner>> m_runners;
};

}  // namespace lumora
