#pragma once

// A loopback server that misbehaves on demand, on bare sockets, for the fault
// tests: resets, drips, silence, floods and bombs that a well-behaved server
// library will not produce. Header-only so that any test folder can use it.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

namespace lumora::test {

/// What the server does with every request it gets.
enum class Misbehaviour {
    Answer,        ///< the page, whole, with its length (the page itself may be the fault)
    ResetMidBody,  ///< announces the whole page, sends half of it, then resets the connection
    Drip,          ///< announces the whole page and sends it one byte per drip interval
    NeverAnswer,   ///< reads the request and then sends nothing, ever
    Huge,          ///< announces and sends hugeBytes: the page, then filler
    RedirectLoop,  ///< every path redirects to itself
    GzipBomb,      ///< the page, then bombBytes of filler, gzip-compressed (about 1000 to 1), no length
    HeaderFlood,   ///< headerLines header lines before the page
};

class HostileServer {
public:
    struct Options {
        Misbehaviour misbehaviour = Misbehaviour::Answer;
        /// The page for a request path (query included) on the server's base address, as bytes.
        std::function<std::string(const std::string& path, const std::string& base)> page;
        std::string contentType = "text/html";
        std::chrono::milliseconds dripInterval{1000};
        std::size_t hugeBytes = std::size_t{100} << 20;
        std::size_t bombBytes = std::size_t{64} << 20;
        int headerLines = 50000;
    };

    explicit HostileServer(Options options) : m_options(std::move(options)) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_listener < 0 || ::pipe(m_wake) != 0) throw std::runtime_error("hostile server: no socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(m_listener, 64) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("hostile server: no port");
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { Accept(); });
    }

    /// Wakes every waiting connection, closes them all and joins.
    ~HostileServer() {
        m_stopping = true;
        char byte = 0;
        [[maybe_unused]] auto written = ::write(m_wake[1], &byte, 1);
        m_acceptor.join();
        for (Connection& connection : m_connections) connection.thread.join();
        ::close(m_listener);
        ::close(m_wake[0]);
        ::close(m_wake[1]);
    }
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    int port() const { return m_port; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    /// Request heads read so far, whatever came of them.
    int Requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    bool WaitForRequests(int count, std::chrono::milliseconds deadline = std::chrono::seconds(5)) const {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, deadline, [&] { return m_requests >= count; });
    }
    /// Body and header bytes the peers accepted.
    std::size_t BytesSent() const { return m_bytesSent.load(); }

private:
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    // Filler bytes: not NUL, so that a body read as text keeps them.
    static constexpr char kFiller = 'x';
    static constexpr std::size_t kChunk = 64 * 1024;

    // Polls fd for events and the wake pipe; false when the server is closing
    // or the deadline passed.
    bool Wait(int fd, short events, int timeoutMs = -1) const {
        pollfd fds[2] = {{fd, events, 0}, {m_wake[0], POLLIN, 0}};
        int ready = ::poll(fds, 2, timeoutMs);
        return ready > 0 && !(fds[1].revents & POLLIN) && !m_stopping &&
               (fds[0].revents & (events | POLLHUP | POLLERR));
    }

    // An interruptible sleep; false when the server is closing.
    bool Pause(int ms) const {
        pollfd wake{m_wake[0], POLLIN, 0};
        return ::poll(&wake, 1, ms) == 0 && !m_stopping;
    }

    void Accept() {
        while (Wait(m_listener, POLLIN)) {
            int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0) continue;
            // Finished connections are joined as new ones come.
            m_connections.remove_if([](Connection& connection) {
                if (!connection.done->load()) return false;
                connection.thread.join();
                return true;
            });
            auto done = std::make_shared<std::atomic<bool>>(false);
            m_connections.push_back({std::thread([this, client, done] {
                                         Handle(client);
                                         ::close(client);
                                         done->store(true);
                                     }),
                                     done});
        }
    }

    // Sends all of data unless the peer goes away or the server closes.
    bool Send(int client, const char* data, std::size_t size) {
        for (std::size_t sent = 0; sent < size;) {
            if (!Wait(client, POLLOUT)) return false;
            ssize_t put = ::send(client, data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (put < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (put <= 0) return false;
            sent += static_cast<std::size_t>(put);
            m_bytesSent += static_cast<std::size_t>(put);
        }
        return true;
    }
    bool Send(int client, const std::string& data) { return Send(client, data.data(), data.size()); }

    // The request line's path, or empty when no whole head arrived.
    std::string ReadRequest(int client) {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            if (!Wait(client, POLLIN, 5000)) return {};
            ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0) return {};
            head.append(buffer, static_cast<std::size_t>(got));
        }
        std::size_t begin = head.find(' ');
        std::size_t end = begin == std::string::npos ? begin : head.find(' ', begin + 1);
        if (end == std::string::npos) return {};
        {
            std::lock_guard lock(m_mutex);
            ++m_requests;
        }
        m_changed.notify_all();
        return head.substr(begin + 1, end - begin - 1);
    }

    std::string Head(std::size_t contentLength, const std::string& extra = {}) const {
        return "HTTP/1.1 200 OK\r\nContent-Type: " + m_options.contentType +
               "\r\nContent-Length: " + std::to_string(contentLength) + "\r\nConnection: close\r\n" + extra + "\r\n";
    }

    void Handle(int client) {
        const std::string path = ReadRequest(client);
        if (path.empty()) return;
        const std::string page = m_options.page ? m_options.page(path, base()) : std::string();
        switch (m_options.misbehaviour) {
        case Misbehaviour::Answer:
            Send(client, Head(page.size()) + page);
            break;
        case Misbehaviour::ResetMidBody: {
            if (!Send(client, Head(page.size()) + page.substr(0, page.size() / 2))) return;
            // Let the half arrive before the reset, so the peer has bytes to keep.
            for (int i = 0; i < 200; ++i) {
                int unacknowledged = 0;
                if (::ioctl(client, SIOCOUTQ, &unacknowledged) != 0 || unacknowledged == 0 || !Pause(5)) break;
            }
            linger reset{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof(reset));
            return;  // no FIN: the close that follows sends RST
        }
        case Misbehaviour::Drip:
            if (!Send(client, Head(page.size()))) return;
            for (char byte : page) {
                // Ends early when the peer hangs up or the server closes.
                if (Wait(client, POLLIN, static_cast<int>(m_options.dripInterval.count())) || m_stopping) return;
                if (!Send(client, &byte, 1)) return;
            }
            break;
        case Misbehaviour::NeverAnswer:
            // Until the peer hangs up (readable at its end) or the server closes.
            Wait(client, POLLIN);
            break;
        case Misbehaviour::Huge: {
            if (!Send(client, Head(m_options.hugeBytes))) return;
            std::size_t left = m_options.hugeBytes;
            std::string first = page.substr(0, left);
            if (!Send(client, first)) return;
            left -= first.size();
            const std::string chunk(kChunk, kFiller);
            while (left > 0) {
                std::size_t size = std::min(left, chunk.size());
                if (!Send(client, chunk.data(), size)) return;
                left -= size;
            }
            break;
        }
        case Misbehaviour::RedirectLoop:
            Send(client, "HTTP/1.1 302 Found\r\nLocation: " + path +
                             "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            break;
        case Misbehaviour::GzipBomb: {
            // One gzip stream (the test server library's zlib compressor),
            // compressed as it goes and ended by the close: it costs the server
            // little, as the peer stops reading at its cap.
            if (!Send(client, "HTTP/1.1 200 OK\r\nContent-Type: " + m_options.contentType +
                                  "\r\nContent-Encoding: gzip\r\nConnection: close\r\n\r\n"))
                return;
            httplib::detail::gzip_compressor compressor;
            bool peerThere = true;
            auto send = [&](const char* data, std::size_t size) { return peerThere = Send(client, data, size); };
            compressor.compress(page.data(), page.size(), false, send);
            const std::string chunk(kChunk, kFiller);
            for (std::size_t done = 0; peerThere && done < m_options.bombBytes; done += chunk.size()) {
                std::size_t size = std::min(chunk.size(), m_options.bombBytes - done);
                compressor.compress(chunk.data(), size, done + size >= m_options.bombBytes, send);
            }
            break;
        }
        case Misbehaviour::HeaderFlood: {
            std::string head = "HTTP/1.1 200 OK\r\nContent-Type: " + m_options.contentType + "\r\n";
            for (int i = 0; i < m_options.headerLines; ++i)
                head += "X-Flood-" + std::to_string(i) + ": " + std::string(8, 'f') + "\r\n";
            head += "Content-Length: " + std::to_string(page.size()) + "\r\nConnection: close\r\n\r\n";
            Send(client, head + page);
            break;
        }
        }
        ::shutdown(client, SHUT_WR);
    }

    const Options m_options;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<std::size_t> m_bytesSent{0};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    int m_requests = 0;
    std::thread m_acceptor;
    std::list<Connection> m_connections;  // the acceptor's alone until it is joined
};

}  // namespace lumora::test
