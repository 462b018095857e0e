#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "web/curl_transfer.h"

namespace lumora {

/// How a monitor is doing, as of its last finished cycle.
struct SlotHealth {
    int cycles = 0;  // finished since the program started
    std::optional<std::chrono::system_clock::time_point> lastSuccess;  // last cycle that read a page
    int pagesRead = 0;        // in the last cycle
    int postsKept = 0;        // in the last cycle
    TransferFailure lastFailureKind = TransferFailure::None;
    int lastFailureStatus = 0;   // an HTTP status that counted as a failure
    std::string lastFailure;     // plain words, empty when the last cycle had none
    bool markupChanged = false;  // a page came back with content but no post block
    bool backingOff = false;     // the site refused us; the pause is lengthened
    std::chrono::milliseconds nextPause{0};
};

/// The health as a few lines of UTF-8 text for a tooltip or a status line.
std::string HealthText(const SlotHealth& health);

}  // namespace lumora
