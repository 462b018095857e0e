#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <httplib.h>

namespace lumora::test {

/// A real HTTP server on 127.0.0.1 with a free port, for everything that fetches.
/// Handlers are per path (GET and POST); every request is counted per path.
class LoopbackServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    /// Register before or while serving; the pattern is a cpp-httplib path regex.
    void Get(const std::string& pattern, Handler handler);
    void Post(const std::string& pattern, Handler handler);
    /// Shorthand: GET path answers body with content type.
    void Serve(const std::string& path, std::string body, std::string contentType = "text/html");

    int port() const { return m_port; }
    /// "http://127.0.0.1:PORT"
    std::string base() const;
    /// Requests seen for an exact path (query excluded), any method.
    int Hits(const std::string& path) const;
    int TotalHits() const;
    /// Lets handlers that stall or drip notice the test is over.
    bool stopping() const { return m_stopping.load(); }

    httplib::Server& raw() { return m_server; }

private:
    void Count(const httplib::Request& request);

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::map<std::string, int> m_hits;
};

}  // namespace lumora::test
