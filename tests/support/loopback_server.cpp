#include "support/loopback_server.h"

#include <chrono>
#include <stdexcept>

namespace lumora::test {

LoopbackServer::LoopbackServer() {
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        Count(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0) throw std::runtime_error("loopback server: no port");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // The socket is bound already, so connections queue; this only avoids racing stop().
    for (int i = 0; i < 2000 && !m_server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
    m_stopping = true;
    m_server.stop();
    if (m_thread.joinable()) m_thread.join();
}

void LoopbackServer::Get(const std::string& pattern, Handler handler) { m_server.Get(pattern, std::move(handler)); }

void LoopbackServer::Post(const std::string& pattern, Handler handler) { m_server.Post(pattern, std::move(handler)); }

void LoopbackServer::Serve(const std::string& path, std::string body, std::string contentType) {
    m_server.Get(path, [body = std::move(body), contentType = std::move(contentType)](const httplib::Request&,
                                                                                     httplib::Response& response) {
        response.set_content(body, contentType);
    });
}

std::string LoopbackServer::base() const { return "http://127.0.0.1:" + std::to_string(m_port); }

int LoopbackServer::Hits(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    auto it = m_hits.find(path);
    return it == m_hits.end() ? 0 : it->second;
}

int LoopbackServer::TotalHits() const {
    std::lock_guard lock(m_mutex);
    int total = 0;
    for (const auto& [path, count] : m_hits) total += count;
    return total;
}

void LoopbackServer::Count(const httplib::Request& request) {
    std::lock_guard lock(m_mutex);
    ++m_hits[request.path];
}

}  // namespace lumora::test
