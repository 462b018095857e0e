#include "cli/post_hook.h"

#include <csignal>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumora {

namespace {

// Starts /bin/sh -c command in a process group of its own, with the stop
// signals the watch loop blocks given back their defaults.
pid_t Spawn(const std::string& command, const PostHook::Environment& post) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        if (!post.count(text.substr(0, text.find('=')))) entries.push_back(std::move(text));
    }
    for (const auto& [name, value] : post) entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::string shell = "/bin/sh", dashC = "-c", script = command;
    char* argv[] = {shell.data(), dashC.data(), script.data(), nullptr};

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t child = -1;
    if (posix_spawn(&child, shell.c_str(), nullptr, &attributes, argv, envp.data()) != 0) child = -1;
    posix_spawnattr_destroy(&attributes);
    return child;
}

}  // namespace

PostHook::PostHook(std::string command, int parallel, std::chrono::milliseconds limit)
    : m_command(std::move(command)), m_limit(limit) {
    for (int i = 0; i < std::max(1, parallel); ++i)
        m_workers.emplace_back([this](std::stop_token stop) { Work(stop); });
}

PostHook::~PostHook() {
    {
        std::lock_guard lock(m_mutex);
        m_queue.clear();
    }
    for (auto& worker : m_workers) worker.request_stop();
    m_workers.clear();  // each ends its child and joins
}

void PostHook::Run(Environment post) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(post));
    }
    m_wake.notify_all();
}

void PostHook::Drain() {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_queue.empty() && m_busy == 0; });
}

void PostHook::Work(std::stop_token stop) {
    using Clock = std::chrono::steady_clock;
    while (true) {
        Environment post;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [this] { return !m_queue.empty(); })) return;
            post = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_busy;
        }
        pid_t child = Spawn(m_command, post);
        if (child > 0) {
            auto deadline = Clock::now() + m_limit;
            int status = 0;
            while (waitpid(child, &status, WNOHANG) == 0) {
                if (stop.stop_requested() || Clock::now() >= deadline) {
                    kill(-child, SIGKILL);
                    waitpid(child, &status, 0);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        {
            std::lock_guard lock(m_mutex);
            --m_busy;
        }
        m_wake.notify_all();
    }
}

}  // namespace lumora
