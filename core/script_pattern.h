#pragma once

#include <string>
#include <string_view>

namespace lumora::detail {

/// Rewrites a pattern of the script (ECMAScript-style) dialect into ICU syntax
/// with the same meaning, for compiling with UREGEX_UNIX_LINES (and
/// UREGEX_MULTILINE when multiline is set):
/// - \d \w \b and their negations are ASCII-only, as in the script dialect;
/// - with multiline, ^ and $ also match after and before a carriage return;
///   without it, $ matches only at the very end;
/// - a brace that does not form a quantifier, and any punctuation inside a
///   character class, is literal; [] matches nothing, [^] any character;
/// - an escaped letter with no meaning stands for the letter itself, and
///   \v \0 \xHH \uHHHH keep their script meaning; \N naming no group is an
///   octal escape (\8 and \9 the digits);
/// - a class that takes every character, [\s\S] or [^], becomes a dot with
///   DOTALL, which ICU compiles at once even when case is ignored.
/// Anything else is passed through, so ICU still refuses what is invalid.
std::u16string TranslateScriptPattern(std::u16string_view pattern, bool multiline);

}  // namespace lumora::detail
