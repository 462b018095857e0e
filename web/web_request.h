#pragma once

#include <cstddef>
#include <stop_token>

#include "core/text.h"
#include "web/curl_transfer.h"

namespace lumora {

/// Everything but the address of one full web request. Fields marked "in and
/// out" are rewritten by the call; "out" fields are set by it. Empty text, empty
/// bytes, 0 and false mean "left out".
struct WebRequestParams {
    Text method;           ///< in and out: upper-cased (ASCII); empty becomes "GET"
    Text body;             ///< in: sent as text when bodyBytes is empty
    Text cookies;          ///< in and out: sent as "Cookie"; then merged with what arrived
    Text receivedCookies;  ///< out: the pairs this response set, "a=1; b=2;"
    Text headers;          ///< in and out: "Name: value" lines split by CR LF; empty becomes the default block
    Text redirectAddress;  ///< in and out: the last "Location:" value, else the whole header text if it was empty
    bool noRedirect = false;
    int timeoutSeconds = 0;  ///< -1: the request object's own timeouts; below 1: 15 s; else N s
    Text responseHeaders;    ///< out: the final response's header lines, joined by CR LF
    Bytes bodyBytes;         ///< in: sent instead of body when not empty
};

/// The process-wide proxy. Nothing in the program sets one, so it stays empty
/// and every request goes direct; it is read on every call.
struct ProxySettings {
    Text address;
    Text user;
    Text password;
    int credentialFlag = 0;
};
const ProxySettings& ProcessProxySettings();

/// The header block used when the caller gives none: Referer (the address
/// itself), Accept, Accept-Language, User-Agent, Content-Type, joined by CR LF.
Text DefaultRequestHeaders(const Text& address);

/// The user agent the request object sends when the header lines name none.
inline constexpr const char* kRequestObjectUserAgent = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";

/// The transfer bounds for a timeoutSeconds value. A value of t bounds the
/// connect and every stall by t seconds; the whole request by 4 t, at least 2 min.
TransferLimits WebRequestLimits(int timeoutSeconds);

/// One HTTP(S) request on the calling thread. Returns the body of the final
/// response whatever its status (cut at maxBodyBytes), or empty bytes on any
/// failure, without a message; the params are written back either way. Asking
/// `stop` to stop, from any thread, ends it within a few ms.
Bytes WebRequest(const Text& address, WebRequestParams& params, std::stop_token stop = {},
                 std::size_t maxBodyBytes = kMaxBodyBytes);

/// The same with the transfer bounds given whole; params.timeoutSeconds is
/// then not read. For callers (and tests) that need bounds of their own.
Bytes WebRequest(const Text& address, WebRequestParams& params, std::stop_token stop, const TransferLimits& limits);

/// The form the one-shot sources use: every other parameter left out.
Bytes WebRequest(const Text& address, const Text& method = Text(), const Text& body = Text(),
                 std::stop_token stop = {});

}  // namespace lumora
