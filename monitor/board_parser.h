#pragma once

#include <string>
#include <vector>

#include "core/settings.h"
#include "core/text.h"
#include "monitor/keyword_list.h"
#include "monitor/post_record.h"

namespace lumora {

/// The parser of site's list layout: ParseForumList for 赚客吧, 福利吧 and
/// 抢抢网, ParseSitemapList for 线报屋, ParseArticleList for 赚客之家.
/// Returns the number of post blocks found; other sites append nothing and
/// return 0.
int ParseBoardPage(Site site, const std::string& baseAddress, const KeywordList& keywords,
                   std::vector<PostRecord>& posts, const Bytes& page);

}  // namespace lumora
