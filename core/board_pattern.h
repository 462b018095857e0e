#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace lumora {

namespace detail {
struct CompiledPattern;
}

/// Where one search matched: a 0-based byte offset into the whole searched
/// text and a byte length. A default value is "no match".
struct PatternMatch {
    bool matched = false;
    int offset = 0;
    int length = 0;

    explicit operator bool() const { return matched; }
    friend bool operator==(const PatternMatch&, const PatternMatch&) = default;
};

/// A Perl-syntax pattern over GBK bytes (every byte is one character to it).
/// "." matches every byte, line breaks included; ^ and $ only match at the
/// ends of the searched text; case folding, when asked for, is ASCII only.
/// Matching uses the classic "C" locale whatever the program's global locale
/// is. A search the engine gives up on (its complexity or memory limit on a
/// hostile page) is reported as no match; nothing throws.
///
/// Compiled patterns are shared: compiling a pattern text seen before is a
/// lookup. A compiled object may be searched from any number of threads at
/// once; Compile itself must not race with searches on the same object.
class BoardPattern {
public:
    BoardPattern() = default;
    /// Compiles case-insensitively, as every pattern of the program is.
    explicit BoardPattern(std::string_view pattern) { Compile(pattern, false); }

    /// Returns false when the pattern does not compile; the object then finds
    /// nothing until the next successful compile.
    bool Compile(std::string_view pattern, bool caseSensitive = true);
    bool compiled() const { return m_compiled != nullptr; }

    /// First match inside the length bytes that begin at 1-based position
    /// start (length absent: the rest of the text). start below 1, start past
    /// the last byte, or a range past the text's end give no match. The range
    /// is searched as a text of its own; the offset counts from the whole text.
    PatternMatch FindFirst(std::string_view text, int start = 1,
                           std::optional<int> length = std::nullopt) const;

    /// Non-overlapping matches in text order, each search starting where the
    /// previous match ended (that point read as the start of a text) and none
    /// past the last byte. An empty match ends the list, so this ends for
    /// every pattern and input.
    std::vector<PatternMatch> FindAll(std::string_view text) const;

private:
    friend Text ReplaceAllMatches(std::string_view, const BoardPattern&, std::string_view);

    std::shared_ptr<const detail::CompiledPattern> m_compiled;
};

/// The bytes of match cut out of text, which must be the text that was
/// searched. No match, an empty match or one outside text give empty text.
Text MatchedText(const PatternMatch& match, std::string_view text);

/// Every match of pattern (compiled case-insensitively) replaced by
/// replacement in the library's extended format syntax; the text between
/// matches is copied unchanged. A pattern that does not compile gives empty
/// text; a replace the engine gives up on leaves text unchanged.
Text ReplaceAllMatches(std::string_view text, std::string_view pattern, std::string_view replacement);
/// The same with a compiled pattern, for callers that keep theirs.
Text ReplaceAllMatches(std::string_view text, const BoardPattern& pattern, std::string_view replacement);

}  // namespace lumora
