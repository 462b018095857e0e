#pragma once

#include <string>
#include <string_view>

#include "core/settings.h"
#include "core/text.h"

namespace lumora {

struct SourceDescriptor;
struct SourceInputs;

/// Percent-encodes UTF-8 bytes as a URL-coding service does for a query
/// value: letters, digits and "-_.~" stay, every other byte becomes %XX
/// (upper-case hex), a space too.
std::string PercentEncode(std::string_view utf8);

/// A typed box text put into an address as typed: only the bytes that cannot
/// stand in an address (controls, space, '"', '#', '<', '>', '\', '^', '`',
/// '{', '|', '}' and bytes of 0x80 and up) are written %XX, so that the server
/// receives exactly what was typed; "&", "=" and "%" pass unchanged.
std::string AddressSafe(std::string_view typed);

/// The site's base address followed by the source's fixed path and query.
std::string FixedAddress(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs);

/// One page of the SMS platform's project list: base, uid, token, the page
/// box as typed (neither trimmed nor validated), an empty status.
std::string ProjectListAddress(const Settings& settings, const Text& page);

/// The shopping search for an item name within a price range. The name (GBK)
/// goes in twice as the percent-encoded UTF-8 keyword; the price box as typed.
std::string PriceSearchAddress(const Settings& settings, const Text& item, const Text& price);

}  // namespace lumora
