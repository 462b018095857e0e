#include "monitor/board_parser.h"

#include "monitor/article_parser.h"
#include "monitor/forum_parser.h"
#include "monitor/sitemap_parser.h"

namespace lumora {

int ParseBoardPage(Site site, const std::string& baseAddress, const KeywordList& keywords,
                   std::vector<PostRecord>& posts, const Bytes& page) {
    switch (site) {
    case Site::ZhuanKeBa:
    case Site::FuLiBa:
    case Site::QiangQiangWang:
        return ParseForumList(site, baseAddress, keywords, posts, page);
    case Site::XianBaoWu:
        return ParseSitemapList(baseAddress, keywords, posts, page);
    case Site::ZhuanKeZhiJia:
        return ParseArticleList(baseAddress, keywords, posts, page);
    default:
        return 0;
    }
}

}  // namespace lumora
