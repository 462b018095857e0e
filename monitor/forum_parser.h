#pragma once

#include <string>
#include <vector>

#include "core/settings.h"
#include "core/text.h"
#include "monitor/keyword_list.h"
#include "monitor/post_record.h"

namespace lumora {

/// Cuts the posts out of a Discuz!-style thread list of 赚客吧, 福利吧 or
/// 抢抢网 (variant) and appends those that KeepPost keeps to posts, in page
/// order. The page is GBK, read up to its first NUL. baseAddress is the
/// variant's site base address (scheme and host, no trailing "/"): 福利吧
/// links are relative and get it in front, 抢抢网 links are matched under it.
/// Returns the number of thread blocks found, kept or not; another site
/// appends nothing and returns 0. Any thread; keywords are read per post.
int ParseForumList(Site variant, const std::string& baseAddress, const KeywordList& keywords,
                   std::vector<PostRecord>& posts, const Bytes& page);

}  // namespace lumora
