#pragma once

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>

#include "core/text.h"
#include "web/curl_transfer.h"

namespace lumora {

/// The outcome of one page read as the monitors see it.
struct PageRead {
    Bytes body;           // empty on failure; the bytes so far when a read broke off
    bool ok = false;      // the transfer completed (whatever the HTTP status)
    int status = 0;       // HTTP status of the final response, 0 if none
    TransferFailure failureKind = TransferFailure::None;
    std::string failure;  // plain words when !ok ("refused", "timed out", ...)
    std::string contentType;            // the final response's Content-Type value
    std::chrono::seconds retryAfter{0};  // a Retry-After in seconds, 0 when none
};

/// Reads one page; must return promptly once stop is requested.
using PageReader = std::function<PageRead(const std::string& address, std::stop_token stop)>;

}  // namespace lumora
