#pragma once

#include <memory>

#include "core/text.h"

namespace lumora {

/// One script-dialect (ECMAScript-style) regular expression run over one whole
/// GBK page, its matches and capture groups read back by 1-based number.
/// Matching is on UTF-16, so a Chinese character is one character; "." takes
/// every character but a line feed. Results come back as GBK Text.
/// An object belongs to one thread at a time; a copy shares the last results.
class ScriptRegex {
public:
    /// Runs pattern over subject (each up to its first NUL) and keeps the
    /// matches in place of the previous ones. True for every valid pattern,
    /// also when nothing matches; false when the pattern is refused or the
    /// match ran away (stopped by a work limit), with no matches kept then.
    /// expandQuotePlaceholder turns every "#引号" of the pattern into '"'.
    bool Search(const Text& pattern, const Text& subject, bool caseSensitive = false, bool multiline = true,
                bool global = true, bool expandQuotePlaceholder = false);

    /// Does nothing.
    void Reserved();

    /// The pattern of the last Search, quote placeholder expanded; empty before any.
    Text GetPattern() const;

    /// The subject of the last Search with its matches replaced (all when it
    /// was global, else the first); $1 to $9 stand for groups, $& for the
    /// match, $` and $' for the text before and after it, $$ for "$".
    /// Empty when the last Search failed or there was none.
    Text ReplaceMatches(const Text& replacement) const;

    /// Number of matches of the last Search; 0 when there is none.
    int MatchCount() const;

    /// Text of match matchIndex (1-based); empty when out of range. When
    /// position is given it receives the 0-based byte position of the match in
    /// the subject, or -1 when there is no such match.
    Text MatchText(int matchIndex, int* position = nullptr) const;

    /// Capture group groupIndex (1-based) of match matchIndex (1-based); empty
    /// for a group that took no part or an index out of range. When position
    /// is given it receives the group's 0-based byte position in the subject,
    /// or -1 when the group has none.
    Text SubMatchText(int matchIndex, int groupIndex, int* position = nullptr) const;

    /// Number of capture groups of the first match; 0 when nothing matched.
    int SubMatchCount() const;

private:
    struct Result;
    Text Piece(int matchIndex, int group, int* position) const;

    std::shared_ptr<const Result> m_result;
};

}  // namespace lumora
