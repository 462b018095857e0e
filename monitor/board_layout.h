#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/board_pattern.h"
#include "monitor/keyword_list.h"
#include "monitor/post_record.h"

namespace lumora::detail {

/// The patterns of one list layout: a block per post, then the fields looked
/// up inside each block. The constant ones are compiled once by the parsers.
struct BoardLayout {
    const BoardPattern& block;
    const BoardPattern& category;
    const BoardPattern& title;
    const BoardPattern& author;
    BoardPattern link;
    bool categoryLosesBrackets = false;  // the sitemap's "]" after its category link
    std::string linkPrefix;              // put in front of the cleaned link
};

/// Appends a PostRecord for every block whose title KeepPost keeps, in page
/// order; returns the number of blocks found, kept or not. A field whose
/// pattern finds nothing in its block is empty.
int ParseWithLayout(const BoardLayout& layout, std::string_view page, const KeywordList& keywords,
                    std::vector<PostRecord>& posts);

/// A configured base address as pattern text: its dots stay pattern dots, as
/// the link patterns have always taken them; every other metacharacter is
/// escaped, so an address cannot change the shape of the pattern.
std::string BaseAddressPattern(std::string_view baseAddress);

/// "href=" and a double quote, the base address, tail (e.g. "/thread-.*?")
/// and a double quote, compiled case-insensitively.
BoardPattern LinkPattern(std::string_view baseAddress, std::string_view tail);

}  // namespace lumora::detail
