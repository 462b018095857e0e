#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumora {

/// Runs a user's command once per new post: `/bin/sh -c COMMAND` with the
/// post in LUMORA_SLOT, LUMORA_TITLE, LUMORA_LINK, LUMORA_CATEGORY and
/// LUMORA_AUTHOR (UTF-8). The post's text is only ever in the environment,
/// never in the command line, so a hostile title cannot become a command.
/// At most `parallel` run at once; each is killed after `limit`.
class PostHook {
public:
    using Environment = std::map<std::string, std::string>;

    PostHook(std::string command, int parallel = 4, std::chrono::milliseconds limit = std::chrono::seconds(30));
    /// Drops what is still queued and ends the running commands.
    ~PostHook();
    PostHook(const PostHook&) = delete;
    PostHook& operator=(const PostHook&) = delete;

    /// Queues one run; any thread.
    void Run(Environment post);
    /// Waits until every queued run has finished (for tests and --cycles).
    void Drain();

private:
    void Work(std::stop_token stop);

    std::string m_command;
    std::chrono::milliseconds m_limit;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<Environment> m_queue;
    int m_busy = 0;
    std::vector<std::jthread> m_workers;
};

}  // namespace lumora
