#include "web/curl_transfer.h"

#include <algorithm>

#include <curl/curl.h>

namespace lumora {

CurlGlobal::CurlGlobal() : m_ok(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

CurlGlobal::~CurlGlobal() {
    if (m_ok) curl_global_cleanup();
}

namespace detail {

namespace {

using Clock = std::chrono::steady_clock;

// How long one wait on the sockets may last; the stall check runs between waits.
constexpr std::chrono::milliseconds kPollSlice{50};

}  // namespace

struct CurlTransfer::State {
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    std::string body;
    TransferLimits limits;
    TransferResult result;
    std::size_t headerBytes = 0;
    bool headersTooLarge = false;
    // The stall clock runs only while a connection stands; connecting is bounded
    // by the connect timeout instead.
    bool connected = false;
    Clock::time_point lastActivity;
    curl_off_t uploaded = 0;
    char error[CURL_ERROR_SIZE] = {};
};

namespace {

using State = CurlTransfer::State;

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& state = *static_cast<State*>(user);
    std::size_t bytes = size * count;
    state.lastActivity = Clock::now();
    std::string& body = state.result.body.data();
    std::size_t room = state.limits.maxBodyBytes - std::min(body.size(), state.limits.maxBodyBytes);
    if (bytes > room) {
        body.append(data, room);
        state.result.cut = true;
        return 0;  // stops the transfer
    }
    body.append(data, bytes);
    return bytes;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& state = *static_cast<State*>(user);
    std::size_t bytes = size * count;
    state.lastActivity = Clock::now();
    state.headerBytes += bytes;
    if (state.headerBytes > kMaxHeaderBytes) {
        state.headersTooLarge = true;
        return 0;
    }
    std::string line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    // Every response (redirects, 100 Continue) opens with a status line; only the
    // last response's headers are kept.
    if (line.rfind("HTTP/", 0) == 0) {
        state.result.headerLines.clear();
        state.headerBytes = bytes;
    } else if (!line.empty()) {
        state.result.headerLines.push_back(std::move(line));
    }
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploadNow) {
    auto& state = *static_cast<State*>(user);
    if (uploadNow != state.uploaded) {
        state.uploaded = uploadNow;
        state.lastActivity = Clock::now();
    }
    return 0;
}

int OnConnected(void* user, char*, char*, int, int) {
    auto& state = *static_cast<State*>(user);
    state.connected = true;
    state.lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

TransferFailure FailureOf(CURLcode code) {
    switch (code) {
    case CURLE_OK:
        return TransferFailure::None;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return TransferFailure::BadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return TransferFailure::Connect;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return TransferFailure::Tls;
    case CURLE_OPERATION_TIMEDOUT:
        return TransferFailure::Timeout;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_BAD_CONTENT_ENCODING:
        return TransferFailure::BrokenOff;
    case CURLE_TOO_MANY_REDIRECTS:
        return TransferFailure::TooManyRedirects;
    case CURLE_ABORTED_BY_CALLBACK:
        return TransferFailure::Aborted;
    default:
        return TransferFailure::Other;
    }
}

void Fail(TransferResult& result, TransferFailure failure, std::string message) {
    result.failure = failure;
    result.message = std::move(message);
}

}  // namespace

CurlTransfer::CurlTransfer(const std::string& address, const TransferLimits& limits)
    : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.limits = limits;
    s.easy = curl_easy_init();
    if (!s.easy) return;
    CURL* e = s.easy;
    curl_easy_setopt(e, CURLOPT_URL, address.c_str());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, s.error);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_PROXY, "");  // never from the environment
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max<long long>(1, limits.connectTimeout.count())));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max<long long>(1, limits.totalTimeout.count())));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &s);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &s);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &s);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, OnConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &s);
}

CurlTransfer::~CurlTransfer() {
    if (m_state->easy) curl_easy_cleanup(m_state->easy);
    curl_slist_free_all(m_state->headers);
}

bool CurlTransfer::valid() const { return m_state->easy != nullptr; }

void CurlTransfer::UseHttp10() {
    if (!valid()) return;
    curl_easy_setopt(m_state->easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    // One request per connection, as HTTP/1.0 means it: some servers answer 1.0
    // with a 1.1 status line yet close, and reusing that connection for the next
    // redirect hop would fail.
    curl_easy_setopt(m_state->easy, CURLOPT_FORBID_REUSE, 1L);
}

void CurlTransfer::FollowRedirects(long maxRedirects, bool httpsOnly) {
    if (!valid()) return;
    curl_easy_setopt(m_state->easy, CURLOPT_FOLLOWLOCATION, maxRedirects > 0 ? 1L : 0L);
    curl_easy_setopt(m_state->easy, CURLOPT_MAXREDIRS, maxRedirects);
    curl_easy_setopt(m_state->easy, CURLOPT_REDIR_PROTOCOLS_STR, httpsOnly ? "https" : "http,https");
}

void CurlTransfer::AcceptCompressed() {
    if (valid()) curl_easy_setopt(m_state->easy, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
}

void CurlTransfer::SetUserAgent(const std::string& agent) {
    if (valid()) curl_easy_setopt(m_state->easy, CURLOPT_USERAGENT, agent.c_str());
}

void CurlTransfer::AddHeader(const std::string& line) {
    if (!valid()) return;
    if (curl_slist* list = curl_slist_append(m_state->headers, line.c_str())) m_state->headers = list;
}

void CurlTransfer::SetRequest(const std::string& method, std::string body) {
    if (!valid()) return;
    State& s = *m_state;
    CURL* e = s.easy;
    if (method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && body.empty()) {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else if (method == "POST" || !body.empty()) {
        s.body = std::move(body);
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(s.body.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, s.body.data());
        if (method != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
    } else {
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
}

void CurlTransfer::SetProxy(const std::string& address, const std::string& user, const std::string& password) {
    if (!valid()) return;
    curl_easy_setopt(m_state->easy, CURLOPT_PROXY, address.c_str());
    if (!user.empty()) {
        curl_easy_setopt(m_state->easy, CURLOPT_PROXYUSERNAME, user.c_str());
        curl_easy_setopt(m_state->easy, CURLOPT_PROXYPASSWORD, password.c_str());
    }
}

TransferResult CurlTransfer::Run(std::stop_token stop) {
    State& s = *m_state;
    TransferResult& result = s.result;
    if (!s.easy) {
        Fail(result, TransferFailure::Other, "could not set up the transfer");
        return std::move(result);
    }
    if (stop.stop_requested()) {
        Fail(result, TransferFailure::Aborted, "aborted before it started");
        return std::move(result);
    }
    CURLM* multi = curl_multi_init();
    if (!multi || curl_multi_add_handle(multi, s.easy) != CURLM_OK) {
        if (multi) curl_multi_cleanup(multi);
        Fail(result, TransferFailure::Other, "could not set up the transfer");
        return std::move(result);
    }
    curl_easy_setopt(s.easy, CURLOPT_HTTPHEADER, s.headers);

    CURLcode code = CURLE_OK;
    enum class End { Done, Aborted, Stalled, MultiError } end = End::Done;
    {
        // Wakes the wait below at once when another thread asks to stop.
        std::stop_callback wake(stop, [multi] { curl_multi_wakeup(multi); });
        s.lastActivity = Clock::now();
        while (true) {
            if (stop.stop_requested()) {
                end = End::Aborted;
                break;
            }
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                end = End::MultiError;
                break;
            }
            if (running == 0) {
                int left = 0;
                while (CURLMsg* message = curl_multi_info_read(multi, &left))
                    if (message->msg == CURLMSG_DONE) code = message->data.result;
                break;
            }
            auto wait = kPollSlice;
            if (s.connected) {
                auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - s.lastActivity);
                if (idle >= s.limits.stallTimeout) {
                    end = End::Stalled;
                    break;
                }
                wait = std::min(wait, s.limits.stallTimeout - idle);
            }
            curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::max<long long>(1, wait.count())), nullptr);
        }
    }
    long status = 0;
    curl_easy_getinfo(s.easy, CURLINFO_RESPONSE_CODE, &status);
    result.status = status;
    curl_multi_remove_handle(multi, s.easy);
    curl_multi_cleanup(multi);

    switch (end) {
    case End::Aborted:
        Fail(result, TransferFailure::Aborted, "aborted");
        break;
    case End::Stalled:
        Fail(result, TransferFailure::Timeout,
             "no data for " + std::to_string(s.limits.stallTimeout.count()) + " ms");
        break;
    case End::MultiError:
        Fail(result, TransferFailure::Other, "transfer machinery failed");
        break;
    case End::Done:
        if (code == CURLE_WRITE_ERROR && result.cut) break;  // stopped at the cap on purpose
        if (s.headersTooLarge) {
            Fail(result, TransferFailure::HeadersTooLarge, "response headers over " + std::to_string(kMaxHeaderBytes) + " bytes");
        } else if (code != CURLE_OK) {
            Fail(result, FailureOf(code), s.error[0] ? std::string(s.error) : std::string(curl_easy_strerror(code)));
        }
        break;
    }
    return std::move(result);
}

}  // namespace detail
}  // namespace lumora
