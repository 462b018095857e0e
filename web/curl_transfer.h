#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "core/text.h"

namespace lumora {

/// Process-wide libcurl set-up. Construct one in main() before any thread starts
/// and keep it until every transfer has ended.
class CurlGlobal {
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;

    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

/// Bodies are cut here: receiving stops and the first bytes are kept.
inline constexpr std::size_t kMaxBodyBytes = std::size_t{32} << 20;
/// Response header text beyond this fails the transfer.
inline constexpr std::size_t kMaxHeaderBytes = std::size_t{64} << 10;

/// The bounds that keep every transfer from hanging.
struct TransferLimits {
    /// Name resolution, TCP connect and TLS handshake together.
    std::chrono::milliseconds connectTimeout{15000};
    /// Longest time without a byte moving either way once the connection stands.
    std::chrono::milliseconds stallTimeout{30000};
    /// The whole transfer, redirects included, however the bytes drip.
    std::chrono::milliseconds totalTimeout{120000};
    std::size_t maxBodyBytes = kMaxBodyBytes;
};

enum class TransferFailure {
    None,
    BadAddress,        ///< the address does not parse or is not http(s)
    Connect,           ///< no such host, refused, or the connect timed out
    Tls,               ///< handshake or certificate check failed
    Timeout,           ///< stalled or ran past the overall limit
    BrokenOff,         ///< the connection ended before the response did
    TooManyRedirects,
    HeadersTooLarge,
    Aborted,           ///< the caller's stop token asked for it
    Other,
};

struct TransferResult {
    /// The final response's body as it arrived (decoded when compression was
    /// asked for), up to the cap; after a failure, whatever came before it.
    Bytes body;
    TransferFailure failure = TransferFailure::None;
    /// Plain words on what went wrong; empty on success.
    std::string message;
    /// The final HTTP status, 0 when no response arrived.
    long status = 0;
    /// True when the body reached the cap and receiving stopped there (not a failure).
    bool cut = false;
    /// The final response's header lines, without the status line and line ends.
    std::vector<std::string> headerLines;

    bool ok() const { return failure == TransferFailure::None; }
};

namespace detail {

/// One transfer on one easy handle, owned by the calling thread, with the house
/// policy set: http and https only, TLS verified, no proxy unless set here (the
/// environment is ignored), no signals, no cookie engine, HTTP/1.1, no redirects
/// until asked, the limits above. Run() once; it returns within a poll slice
/// (a few ms) of the stop token being asked to stop, from any thread.
class CurlTransfer {
public:
    CurlTransfer(const std::string& address, const TransferLimits& limits);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    /// False when no handle could be made; Run() then fails at once.
    bool valid() const;

    /// HTTP/1.0, one request per connection (redirect hops included).
    void UseHttp10();
    /// maxRedirects 0 returns redirect responses as they are.
    void FollowRedirects(long maxRedirects, bool httpsOnly);
    /// Asks for gzip/deflate and hands back the decoded body.
    void AcceptCompressed();
    void SetUserAgent(const std::string& agent);
    /// A raw "Name: value" line; "Name:" removes a header libcurl would add.
    void AddHeader(const std::string& line);
    /// GET and HEAD without a body go as such; otherwise the body is sent, with
    /// POST semantics (a 301-303 turns into GET) under the given method name.
    void SetRequest(const std::string& method, std::string body);
    void SetProxy(const std::string& address, const std::string& user, const std::string& password);

    TransferResult Run(std::stop_token stop);

    struct State;

private:
    std::unique_ptr<State> m_state;
};

}  // namespace detail
}  // namespace lumora
