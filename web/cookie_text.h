#pragma once

#include <cstddef>

#include "core/text.h"

namespace lumora {

/// "#引号" in GBK: in a marker of TextBetween it stands for one double quote.
inline constexpr const char* kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

/// The text between the first `left` found from `start` and the next `right`
/// after it (searched in the rest from the same `start`), or empty text when
/// either is missing. Both markers come back with the quote placeholder
/// expanded. Any thread.
Text TextBetween(const Text& text, Text& left, Text& right, int start = 0, bool caseSensitive = false);

/// The piece from the `left` found at or after `position` (or from `marker`,
/// searched from there, when `searchMarker` is set) up to the next `end` after
/// the marker, or to the end of the text. `position` receives where `left` was
/// found (moved past the marker when `includeLeft` is false), or -1 with empty
/// text. Without `searchMarker`, `marker` receives a copy of `left`.
Text TextBetweenFrom(const Text& text, int& position, const Text& left, Text& marker, bool searchMarker,
                     const Text& end, bool ignoreCase = true, bool includeLeft = true);

/// Folds the name=value pairs of `received` into `cookies`: a name already
/// there (matched case-insensitively as a plain substring) has its entry
/// replaced wherever it occurs, a new one is appended, and "=deleted" or empty
/// values drop out, within the two bounds below. `cookies` ends in canonical
/// form ("a=1; b=2;") and is also returned; `received` ends trimmed and
/// ";"-terminated. Any thread.
Text MergeCookies(Text& cookies, Text& received);

/// A merge never lets the cookie text grow past this: a received pair whose
/// merge would is skipped, so a hostile run of headers cannot blow it up. No
/// server takes a Cookie header of this size anyway.
inline constexpr std::size_t kMaxCookieTextBytes = std::size_t{64} << 10;

/// Received pairs merged per call; the rest are skipped. Each merge scans the
/// whole cookie text, so this and the size cap bound the work of one call,
/// whatever a hostile response sets.
inline constexpr int kMaxMergedCookiePairs = 256;

}  // namespace lumora
