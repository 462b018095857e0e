#include "core/board_pattern.h"

#include <climits>
#include <exception>
#include <iterator>
#include <locale>
#include <mutex>
#include <string>
#include <unordered_map>

#include <boost/regex.hpp>

namespace lumora {

namespace detail {

struct CompiledPattern {
    boost::regex regex;
};

}  // namespace detail

namespace {

using Compiled = std::shared_ptr<const detail::CompiledPattern>;

// Syntax flags: Perl with "." matching line breaks and ^ $ at the text's ends only.
constexpr boost::regex::flag_type kSyntax = boost::regex::perl | boost::regex::mod_s | boost::regex::no_mod_m;

Compiled CompileUncached(std::string_view pattern, bool caseSensitive) {
    auto compiled = std::make_shared<detail::CompiledPattern>();
    // Imbued before assign, so that neither case folding nor character classes
    // follow a global locale the program may have set (a GBK locale would fold
    // lead bytes).
    compiled->regex.imbue(std::locale::classic());
    try {
        compiled->regex.assign(pattern.data(), pattern.data() + pattern.size(),
                               caseSensitive ? kSyntax : kSyntax | boost::regex::icase);
    } catch (const std::exception&) {
        return nullptr;
    }
    return compiled;
}

// Every pattern of the program is a constant (or a constant joined with a
// configured base address), so a small cache saves recompiling them per block.
// Bounded, so that callers with varying patterns cannot grow it without end.
class PatternCache {
public:
    Compiled Get(std::string_view pattern, bool caseSensitive) {
        std::string key;
        key.reserve(pattern.size() + 1);
        key.push_back(caseSensitive ? 'c' : 'i');
        key.append(pattern);
        {
            std::lock_guard lock(m_mutex);
            if (auto it = m_entries.find(key); it != m_entries.end()) {
                return it->second;
            }
        }
        Compiled compiled = CompileUncached(pattern, caseSensitive);
        if (compiled) {
            std::lock_guard lock(m_mutex);
            if (m_entries.size() < kMaxEntries) {
                m_entries.emplace(std::move(key), compiled);
            }
        }
        return compiled;
    }

private:
    static constexpr std::size_t kMaxEntries = 1024;
    std::mutex m_mutex;
    std::unordered_map<std::string, Compiled> m_entries;
};

PatternCache& Cache() {
    static PatternCache cache;
    return cache;
}

// Searches [first, last) as a text of its own; a search the engine abandons
// (complexity limit, memory) is no match.
bool Search(const boost::regex& regex, const char* first, const char* last, boost::cmatch& match) {
    try {
        return boost::regex_search(first, last, match, regex, boost::match_default);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool BoardPattern::Compile(std::string_view pattern, bool caseSensitive) {
    m_compiled = Cache().Get(pattern, caseSensitive);
    return m_compiled != nullptr;
}

PatternMatch BoardPattern::FindFirst(std::string_view text, int start, std::optional<int> length) const {
    if (!m_compiled || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const long long size = static_cast<long long>(text.size());
    if (start < 1 || start > size) {
        return {};
    }
    const long long count = length ? *length : size - start + 1;
    if (count < 0 || start + count > size + 1) {
        return {};
    }
    const char* first = text.data() + (start - 1);
    boost::cmatch match;
    if (!Search(m_compiled->regex, first, first + count, match)) {
        return {};
    }
    return {true, static_cast<int>(match[0].first - text.data()), static_cast<int>(match.length(0))};
}

std::vector<PatternMatch> BoardPattern::FindAll(std::string_view text) const {
    std::vector<PatternMatch> matches;
    if (!m_compiled || text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return matches;
    }
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* from = begin;
    boost::cmatch match;
    while (Search(m_compiled->regex, from, end, match)) {
        matches.push_back({true, static_cast<int>(match[0].first - begin), static_cast<int>(match.length(0))});
        // An empty match would be found again at the same place; past the last
        // byte there is nothing left to search.
        if (match.length(0) == 0 || match[0].second == end) {
            break;
        }
        from = match[0].second;
    }
    return matches;
}

Text MatchedText(const PatternMatch& match, std::string_view text) {
    if (!match.matched || match.length <= 0 || match.offset < 0 ||
        static_cast<std::size_t>(match.offset) + static_cast<std::size_t>(match.length) > text.size()) {
        return {};
    }
    return Text(text.substr(static_cast<std::size_t>(match.offset), static_cast<std::size_t>(match.length)));
}

Text ReplaceAllMatches(std::string_view text, const BoardPattern& pattern, std::string_view replacement) {
    if (!pattern.m_compiled || text.empty()) {
        return {};
    }
    Text result;
    result.reserve(text.size());
    try {
        boost::regex_replace(std::back_inserter(result), text.begin(), text.end(), pattern.m_compiled->regex,
                             std::string(replacement), boost::match_default | boost::format_all);
    } catch (const std::exception&) {
        return Text(text);
    }
    return result;
}

Text ReplaceAllMatches(std::string_view text, std::string_view pattern, std::string_view replacement) {
    return ReplaceAllMatches(text, BoardPattern{pattern}, replacement);
}

}  // namespace lumora
