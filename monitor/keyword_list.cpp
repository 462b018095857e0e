#include "monitor/keyword_list.h"

#include <utility>

#include "core/text_ops.h"

namespace lumora {

KeywordSet::KeywordSet(Text keywordText) : m_text(std::move(keywordText)), m_keywords(Split(m_text, "\r\n")) {}

KeywordList::KeywordList() : m_value(std::make_shared<const KeywordSet>()) {}

KeywordList::KeywordList(Text keywordText)
    : m_value(std::make_shared<const KeywordSet>(std::move(keywordText))) {}

void KeywordList::Set(Text keywordText) {
    // Split outside the lock; readers only ever wait for a pointer swap.
    auto value = std::make_shared<const KeywordSet>(std::move(keywordText));
    std::lock_guard lock(m_mutex);
    m_value.swap(value);
}

std::shared_ptr<const KeywordSet> KeywordList::Snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_value;
}

}  // namespace lumora
