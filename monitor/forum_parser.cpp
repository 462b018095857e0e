#include "monitor/forum_parser.h"

#include "core/board_pattern.h"
#include "monitor/board_layout.h"

namespace lumora {

// The thread-list markup these patterns read (one block per thread; sticky
// threads are "stickthread_" blocks and are passed by):
//
//   <tbody id="normalthread_123"><tr><td class="icn"><a href="LINK" ...>...</a></td>
//   <th class="new">...<em>[<a href="forum.php?mod=forumdisplay&amp;fid=19&amp;filter=typeid&amp;typeid=12">CATEGORY</a>]</em>
//   <a href="LINK" onclick="atarget(this)" class="s xst">TITLE</a> ...</th>
//   <td class="by"><cite><a href="space-uid-5.html" c="1">AUTHOR</a></cite> ...</td> ... </tbody>
//
// Every pattern is lazy and "." crosses lines, so a field is the shortest text
// from its first start marker in the block to its end marker. The category
// and title therefore also carry the text that stands before them in the
// block (the title: "[CATEGORY] TITLE").

int ParseForumList(Site variant, const std::string& baseAddress, const KeywordList& keywords,
                   std::vector<PostRecord>& posts, const Bytes& page) {
    static const BoardPattern block("<tbody id=\"normalthread_.*?\">.*?</tbody>");
    static const BoardPattern category("<.*?filter=typeid&amp;typeid=.*?\">.*?</a>]</em>");
    // 赚客吧 writes two spaces before class= in its title links.
    static const BoardPattern titleTwoSpaces("<th.*?thread-.*?\"  class=.*?>.*?</a>");
    static const BoardPattern title("<th.*?thread-.*?\" class=.*?>.*?</a>");
    static const BoardPattern author("<cite><a href=\".*?>.*?</a></cite>");
    static const BoardPattern absoluteLink("href=\"(h.*?)\"");
    static const BoardPattern relativeLink("href=\"(thread-.*?)\"");

    switch (variant) {
    case Site::ZhuanKeBa:
        return detail::ParseWithLayout({block, category, titleTwoSpaces, author, absoluteLink, false, {}},
                                       TextFromBytes(page), keywords, posts);
    case Site::FuLiBa:
        return detail::ParseWithLayout({block, category, title, author, relativeLink, false, baseAddress + "/"},
                                       TextFromBytes(page), keywords, posts);
    case Site::QiangQiangWang:
        return detail::ParseWithLayout(
            {block, category, title, author, detail::LinkPattern(baseAddress, "/thread-.*?"), false, {}},
            TextFromBytes(page), keywords, posts);
    default:
        return 0;
    }
}

}  // namespace lumora
