#include "monitor/charset_sniff.h"

#include <boost/regex.hpp>

namespace lumora {

namespace {

// Declarations live in the head; a few KB is plenty and bounds the search.
constexpr std::size_t kSniffBytes = 4096;

bool NamesUtf8(std::string_view charset) {
    std::string lower;
    for (char c : charset)
        if (c != '"' && c != '\'' && c != ' ') lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "utf-8" || lower == "utf8";
}

}  // namespace

bool DeclaresUtf8(std::string_view contentType, const Bytes& page) {
    static const boost::regex kCharset(R"(charset\s*=\s*["']?([A-Za-z0-9_\-]+))", boost::regex::icase);
    boost::match_results<std::string_view::const_iterator> match;
    if (boost::regex_search(contentType.begin(), contentType.end(), match, kCharset))
        return NamesUtf8(std::string_view(&*match[1].first, static_cast<std::size_t>(match[1].length())));

    std::string_view head = page.view().substr(0, kSniffBytes);
    static const boost::regex kMeta(R"(<meta[^>]*?charset\s*=\s*["']?([A-Za-z0-9_\-]+))", boost::regex::icase);
    try {
        if (boost::regex_search(head.begin(), head.end(), match, kMeta))
            return NamesUtf8(std::string_view(&*match[1].first, static_cast<std::size_t>(match[1].length())));
    } catch (const std::runtime_error&) {
        // A head that exhausts the engine declares nothing we can trust.
    }
    return false;
}

}  // namespace lumora
