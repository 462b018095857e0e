#pragma once

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumora::test {

/// A bare listener on 127.0.0.1 for checks on the wire itself (header order, the
/// exact request line, response header text byte for byte), which a parsing
/// server hides. One connection at a time: it reads the request head and a
/// Content-Length body, records them, writes what the responder returns and
/// closes. Header-only so that any test folder can use it.
class RawHttpServer {
public:
    struct Request {
        std::string head;  ///< request line and header lines, up to the blank line, as sent
        std::string body;
    };
    using Responder = std::function<std::string(const Request&)>;

    explicit RawHttpServer(Responder responder) : m_responder(std::move(responder)) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_listener < 0 || ::pipe(m_wake) != 0) throw std::runtime_error("raw server: no socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(m_listener, 16) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("raw server: no port");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~RawHttpServer() {
        char byte = 0;
        [[maybe_unused]] auto written = ::write(m_wake[1], &byte, 1);
        m_thread.join();
        ::close(m_listener);
        ::close(m_wake[0]);
        ::close(m_wake[1]);
    }
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    int port() const { return m_port; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    std::vector<Request> requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

    bool WaitForRequests(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(5)) const {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, deadline, [&] { return m_requests.size() >= count; });
    }

private:
    // Waits for one of the two descriptors; false once the server is closing.
    bool WaitReadable(int fd, int timeoutMs) const {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        int ready = ::poll(fds, 2, timeoutMs);
        return ready > 0 && !(fds[1].revents & POLLIN) && (fds[0].revents & (POLLIN | POLLHUP | POLLERR));
    }

    void Serve() {
        while (WaitReadable(m_listener, -1)) {
            int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0) continue;
            Handle(client);
            ::close(client);
        }
    }

    void Handle(int client) {
        std::string data;
        std::size_t headEnd = std::string::npos;
        std::size_t wanted = std::string::npos;
        char buffer[4096];
        while (true) {
            if (headEnd != std::string::npos && data.size() >= wanted) break;
            if (!WaitReadable(client, 5000)) return;
            ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0) break;
            data.append(buffer, static_cast<std::size_t>(got));
            if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
                headEnd += 4;
                wanted = headEnd + ContentLength(data.substr(0, headEnd));
            }
        }
        if (headEnd == std::string::npos) return;
        Request request{data.substr(0, headEnd), data.substr(headEnd, wanted - headEnd)};
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }
        m_arrived.notify_all();
        std::string answer = m_responder(request);
        for (std::size_t sent = 0; sent < answer.size();) {
            ssize_t put = ::send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
            if (put <= 0) break;
            sent += static_cast<std::size_t>(put);
        }
        ::shutdown(client, SHUT_WR);
    }

    static std::size_t ContentLength(std::string head) {
        std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
        std::size_t at = head.find("\r\ncontent-length:");
        return at == std::string::npos ? 0 : std::strtoul(head.c_str() + at + 17, nullptr, 10);
    }

    Responder m_responder;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<Request> m_requests;
};

}  // namespace lumora::test
