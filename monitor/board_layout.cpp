#include "monitor/board_layout.h"

#include <utility>

#include "monitor/keyword_filter.h"

namespace lumora::detail {

namespace {

const BoardPattern& TagPattern() {
    static const BoardPattern pattern("<.*?>");
    return pattern;
}

const BoardPattern& HrefPattern() {
    static const BoardPattern pattern("href=");
    return pattern;
}

const BoardPattern& QuotePattern() {
    static const BoardPattern pattern("\"");
    return pattern;
}

const BoardPattern& BracketPattern() {
    static const BoardPattern pattern("]");
    return pattern;
}

// The first match of field in block, as text of its own.
Text FieldMatch(const BoardPattern& field, std::string_view block) {
    return MatchedText(field.FindFirst(block, 1), block);
}

Text StrippedField(const BoardPattern& field, std::string_view block) {
    return ReplaceAllMatches(FieldMatch(field, block), TagPattern(), "");
}

}  // namespace

int ParseWithLayout(const BoardLayout& layout, std::string_view page, const KeywordList& keywords,
                    std::vector<PostRecord>& posts) {
    const std::vector<PatternMatch> blocks = layout.block.FindAll(page);
    for (const PatternMatch& match : blocks) {
        const std::string_view block =
            page.substr(static_cast<std::size_t>(match.offset), static_cast<std::size_t>(match.length));
        // The title decides first; the other fields are only cut for kept posts.
        Text title = StrippedField(layout.title, block);
        if (!KeepPost(title, keywords)) {
            continue;
        }
        PostRecord post;
        post.title = std::move(title);
        post.category = StrippedField(layout.category, block);
        if (layout.categoryLosesBrackets) {
            post.category = ReplaceAllMatches(post.category, BracketPattern(), "");
        }
        post.author = StrippedField(layout.author, block);
        post.link = layout.linkPrefix +
                    ReplaceAllMatches(ReplaceAllMatches(FieldMatch(layout.link, block), HrefPattern(), ""),
                                      QuotePattern(), "");
        posts.push_back(std::move(post));
    }
    return static_cast<int>(blocks.size());
}

std::string BaseAddressPattern(std::string_view baseAddress) {
    static constexpr std::string_view kEscaped = "\\^$|()[]{}*+?";
    std::string pattern;
    pattern.reserve(baseAddress.size() + 8);
    for (const char c : baseAddress) {
        if (kEscaped.find(c) != std::string_view::npos) {
            pattern.push_back('\\');
        }
        pattern.push_back(c);
    }
    return pattern;
}

BoardPattern LinkPattern(std::string_view baseAddress, std::string_view tail) {
    std::string pattern = "href=\"";
    pattern += BaseAddressPattern(baseAddress);
    pattern += tail;
    pattern += '"';
    // Compiled patterns are shared, so this is a lookup for an address seen before.
    return BoardPattern(pattern);
}

}  // namespace lumora::detail
