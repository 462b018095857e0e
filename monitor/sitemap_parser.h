#pragma once

#include <string>
#include <vector>

#include "core/text.h"
#include "monitor/keyword_list.h"
#include "monitor/post_record.h"

namespace lumora {

/// Cuts the posts out of the 线报屋 sitemap list (GBK, read up to its first
/// NUL) and appends those that KeepPost keeps, in page order. Thread links
/// are matched under baseAddress. Returns the number of list items found,
/// kept or not. Any thread; keywords are read per post.
int ParseSitemapList(const std::string& baseAddress, const KeywordList& keywords, std::vector<PostRecord>& posts,
                     const Bytes& page);

}  // namespace lumora
