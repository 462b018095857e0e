#pragma once

#include <stop_token>
#include <string>

#include "core/text.h"
#include "web/curl_transfer.h"

namespace lumora {

inline constexpr const char* kReadPageUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

/// The plain page read: a GET over HTTP/1.0 (HTTPS when the address says so) with
/// "Accept: */*", the old browser user agent and no-cache headers, direct (no
/// proxy), up to 10 redirects followed, gzip/deflate decoded. The body comes back
/// whatever the status; a read that breaks off keeps the bytes received so far.
/// Any thread may call it; asking `stop` to stop ends it within a few ms.
TransferResult HttpReadPageResult(const std::string& address, std::stop_token stop = {},
                                  const TransferLimits& limits = {});

/// The body alone: empty on any failure that came before the body.
Bytes HttpReadPage(const std::string& address, std::stop_token stop = {}, const TransferLimits& limits = {});

}  // namespace lumora
