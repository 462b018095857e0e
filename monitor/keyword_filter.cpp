#include "monitor/keyword_filter.h"

#include "core/text_ops.h"

namespace lumora {

bool KeepPost(const Text& title, const KeywordSet& keywords) {
    if (keywords.text().empty()) {
        return true;
    }
    for (const Text& keyword : keywords.keywords()) {
        if (Find(title, keyword, 1, false) > 0) {
            return true;
        }
    }
    return false;
}

bool KeepPost(const Text& title, const KeywordList& keywords) {
    const auto snapshot = keywords.Snapshot();
    return KeepPost(title, *snapshot);
}

}  // namespace lumora
