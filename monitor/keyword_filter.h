#pragma once

#include "core/text.h"
#include "monitor/keyword_list.h"

namespace lumora {

/// True when the keyword text is empty, or when title holds one of its
/// keywords: bytes compared exactly, the search stepping over double-byte
/// characters so that a keyword never matches from a trail byte. An empty
/// keyword is found in every non-empty title and in no empty one.
bool KeepPost(const Text& title, const KeywordSet& keywords);

/// The same over the value in force when called, so that a change of the
/// keywords applies from the next post on. Any thread.
bool KeepPost(const Text& title, const KeywordList& keywords);

}  // namespace lumora
