#pragma once

#include <string>
#include <vector>

#include "core/text.h"
#include "monitor/keyword_list.h"
#include "monitor/post_record.h"

namespace lumora {

/// Cuts the posts out of the 赚客之家 activity article list, a UTF-8 page
/// converted to GBK first (malformed bytes become "?"), and appends those
/// that KeepPost keeps, in page order. Post links are matched under
/// baseAddress. Returns the number of articles found, kept or not. Any
/// thread; keywords are read per post.
int ParseArticleList(const std::string& baseAddress, const KeywordList& keywords, std::vector<PostRecord>& posts,
                     const Bytes& page);

}  // namespace lumora
