#include "monitor/article_parser.h"

#include "core/board_pattern.h"
#include "core/charset.h"
#include "monitor/board_layout.h"

namespace lumora {

// One article element per post, as the blog's theme writes it:
//
//   <article class="excerpt"> ... <header><a class="cat" href="...">CATEGORY<i></i></a>
//   <h2><a href="BASE/post-123.html" title="TITLE">TITLE</a></h2></header>
//   ... <cite><a href="...">AUTHOR</a></cite> ... </article>
//
// The title pattern begins with the space before "<h2>": a title element
// written without it gives an empty title, and a kept title starts with that
// space.

int ParseArticleList(const std::string& baseAddress, const KeywordList& keywords, std::vector<PostRecord>& posts,
                     const Bytes& page) {
    static const BoardPattern block("<article class=.*?</article>");
    static const BoardPattern category("<a class=\"cat\".*?</a>");
    static const BoardPattern title(" <h2>.*?post-.*?\" title=.*?>.*?</a>");
    static const BoardPattern author("<cite><a href=\".*?>.*?</a></cite>");

    return detail::ParseWithLayout({block, category, title, author, detail::LinkPattern(baseAddress, "/post-.*?"),
                                    false, {}},
                                   Utf8ToAnsi(page), keywords, posts);
}

}  // namespace lumora
