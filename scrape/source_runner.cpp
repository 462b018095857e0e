#include "scrape/source_runner.h"

#include "scrape/run_source.h"

namespace lumora {

SourceRunner::SourceRunner(const SourceDescriptor& source) : m_source(source) {}

SourceRunner::~SourceRunner() {
    m_worker.request_stop();
    if (m_worker.joinable()) m_worker.join();
}

void SourceRunner::Run(Settings settings, SourceInputs inputs, RowsHandler deliver) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({std::move(settings), std::move(inputs), std::move(deliver)});
        // The thread starts with the first run and then waits for the next.
        if (!m_worker.joinable()) m_worker = std::jthread([this](std::stop_token stop) { Work(stop); });
    }
    m_wake.notify_one();
}

int SourceRunner::Pending() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_jobs.size()) + m_running;
}

void SourceRunner::Work(std::stop_token stop) {
    while (true) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [this] { return !m_jobs.empty(); })) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_running = 1;
        }
        SourceRows rows = RunSource(m_source, job.settings, job.inputs, stop);
        if (!stop.stop_requested() && job.deliver) job.deliver(std::move(rows));
        std::lock_guard lock(m_mutex);
        m_running = 0;
    }
}

bool SourceRunners::Start(std::string_view page, const Form& form, const Settings& settings, RowsHandler deliver) {
    const SourceDescriptor* source = FindSource(page);
    if (!source) return false;
    std::unique_ptr<SourceRunner>& runner = m_runners[source->page];
    if (!runner) runner = std::make_unique<SourceRunner>(*source);
    runner->Run(settings, ReadSourceInputs(*source, form), std::move(deliver));
    return true;
}

}  // namespace lumora
