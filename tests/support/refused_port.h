#pragma once

#include <string>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumora::test {

/// A loopback port on which a connect is refused at once: bound, never
/// listening, and held so that no other server takes it during the test.
class RefusedPort {
public:
    RefusedPort() : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~RefusedPort() {
        if (m_socket >= 0) ::close(m_socket);
    }
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;

    int port() const { return m_port; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_socket;
    int m_port = 0;
};

}  // namespace lumora::test
