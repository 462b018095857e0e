#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "core/text.h"

namespace lumora {

/// One value of the keyword text: every keyword followed by CR LF, the last
/// one too; empty when no keyword is in force. Immutable once made, with the
/// keywords split out of it once.
class KeywordSet {
public:
    KeywordSet() = default;
    explicit KeywordSet(Text keywordText);

    const Text& text() const { return m_text; }
    /// The pieces before each CR LF (empty ones too), then the rest when it
    /// is not empty; a text ending in CR LF has no empty last keyword.
    const std::vector<Text>& keywords() const { return m_keywords; }

private:
    Text m_text;
    std::vector<Text> m_keywords;
};

/// The keyword text in force, shared by the keyword window (which replaces it
/// whole) and the parsers on the monitor workers (which read it for every
/// post). Every reader sees one whole value, the old or the new. All members
/// may be called from any thread.
class KeywordList {
public:
    /// Empty: every post is kept.
    KeywordList();
    explicit KeywordList(Text keywordText);
    KeywordList(const KeywordList&) = delete;
    KeywordList& operator=(const KeywordList&) = delete;

    /// Replaces the value whole; readers that hold a snapshot keep the old one.
    void Set(Text keywordText);
    /// The value in force now; never null.
    std::shared_ptr<const KeywordSet> Snapshot() const;
    Text KeywordText() const { return Snapshot()->text(); }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<const KeywordSet> m_value;
};

}  // namespace lumora
