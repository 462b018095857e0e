#include "monitor/sitemap_parser.h"

#include "core/board_pattern.h"
#include "monitor/board_layout.h"

namespace lumora {

// One list item per thread:
//
//   <li ...><em>[<a href="BASE/forum-2-1.html">CATEGORY</a>]</em> <a href="BASE/thread-123-1-1.html"
//   title="TITLE">TITLE</a> <cite><a href="...">AUTHOR</a></cite> ... </a></li>
//
// The category match runs from its link to "</em>", so it takes the closing
// "]" with it; every "]" is deleted from it (a GBK trail byte 0x5D as well).
// The title keeps the space that stands after "</em>".

int ParseSitemapList(const std::string& baseAddress, const KeywordList& keywords, std::vector<PostRecord>& posts,
                     const Bytes& page) {
    static const BoardPattern block("<li.*?><em>.*?</a></li>");
    static const BoardPattern category("<a href=\".*?forum-.*?\".*?</em>");
    static const BoardPattern title("</em>.*?thread-.*?\" title=.*?>.*?</a>");
    static const BoardPattern author("<cite><a href=\".*?>.*?</a></cite>");

    return detail::ParseWithLayout({block, category, title, author, detail::LinkPattern(baseAddress, "/thread-.*?"),
                                    true, {}},
                                   TextFromBytes(page), keywords, posts);
}

}  // namespace lumora
