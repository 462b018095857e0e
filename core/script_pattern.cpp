#include "core/script_pattern.h"

namespace lumora::detail {
namespace {

// The script dialect's word characters; ICU's \w and \b would take in every
// Unicode letter, Chinese included.
constexpr std::u16string_view kWordRange = u"A-Za-z0-9_";
constexpr std::u16string_view kWordBoundary =
    u"(?:(?<=[A-Za-z0-9_])(?![A-Za-z0-9_])|(?<![A-Za-z0-9_])(?=[A-Za-z0-9_]))";
constexpr std::u16string_view kNotWordBoundary =
    u"(?:(?<=[A-Za-z0-9_])(?=[A-Za-z0-9_])|(?<![A-Za-z0-9_])(?![A-Za-z0-9_]))";

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsOctal(char16_t c) { return c >= u'0' && c <= u'7'; }
bool IsHex(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiPunct(char16_t c) {
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}

bool HexRun(std::u16string_view p, std::size_t from, std::size_t count) {
    if (from + count > p.size()) return false;
    for (std::size_t k = from; k < from + count; ++k)
        if (!IsHex(p[k])) return false;
    return true;
}

// Length of {n}, {n,} or {n,m} at p[i], or 0 when the brace is a literal.
std::size_t QuantifierLength(std::u16string_view p, std::size_t i) {
    std::size_t j = i + 1;
    std::size_t digits = j;
    while (j < p.size() && IsDigit(p[j])) ++j;
    if (j == digits || j >= p.size()) return 0;
    if (p[j] == u',') {
        ++j;
        while (j < p.size() && IsDigit(p[j])) ++j;
    }
    return j < p.size() && p[j] == u'}' ? j - i + 1 : 0;
}

void AppendCodeUnit(std::u16string& out, unsigned value) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += u"\\x{";
    out += kHex[(value >> 4) & 0xF];
    out += kHex[value & 0xF];
    out += u'}';
}

struct Escape {
    std::size_t consumed;
    bool isClass;  // \d \w \s and their negations: cannot start a range
};

// The escape at p[i] (a backslash with at least one character after it).
Escape TranslateEscape(std::u16string_view p, std::size_t i, bool inClass, int groups, std::u16string& out) {
    const char16_t c = p[i + 1];
    switch (c) {
    case u'd':
        out += inClass ? u"0-9" : u"[0-9]";
        return {2, true};
    case u'D':
        out += u"[^0-9]";
        return {2, true};
    case u'w':
        if (inClass) {
            out += kWordRange;
        } else {
            out += u'[';
            out += kWordRange;
            out += u']';
        }
        return {2, true};
    case u'W':
        out += u"[^";
        out += kWordRange;
        out += u']';
        return {2, true};
    case u's':
    case u'S':
        out += u'\\';
        out += c;
        return {2, true};
    case u'b':
        out += inClass ? std::u16string_view(u"\\x{08}") : kWordBoundary;
        return {2, false};
    case u'B':
        out += inClass ? std::u16string_view(u"B") : kNotWordBoundary;
        return {2, false};
    case u'v':
        out += u"\\x{0B}";
        return {2, false};
    case u'n':
    case u'r':
    case u't':
    case u'f':
        out += u'\\';
        out += c;
        return {2, false};
    case u'c':
        if (i + 2 < p.size() && IsAsciiLetter(p[i + 2])) {
            AppendCodeUnit(out, p[i + 2] % 32u);
            return {3, false};
        }
        out += u"\\\\";  // a lone \c is a backslash; the c follows as itself
        return {1, false};
    case u'x':
        if (HexRun(p, i + 2, 2)) {
            out += p.substr(i, 4);
            return {4, false};
        }
        out += u'x';
        return {2, false};
    case u'u':
        if (HexRun(p, i + 2, 4)) {
            out += p.substr(i, 6);
            return {6, false};
        }
        out += u'u';
        return {2, false};
    default:
        break;
    }
    if (IsDigit(c)) {
        if (!inClass && c != u'0') {
            std::size_t j = i + 1;
            long number = 0;
            while (j < p.size() && IsDigit(p[j]) && number <= groups) number = number * 10 + (p[j++] - u'0');
            if (number <= groups) {
                out += p.substr(i, j - i);  // a back reference to a group that exists
                return {j - i, false};
            }
        }
        if (IsOctal(c)) {
            // No such group: a legacy octal escape, up to three digits, at most 0377.
            unsigned value = 0;
            std::size_t j = i + 1;
            while (j < p.size() && j < i + 4 && IsOctal(p[j]) && value * 8 + (p[j] - u'0') <= 0377) {
                value = value * 8 + (p[j] - u'0');
                ++j;
            }
            AppendCodeUnit(out, value);
            return {j - i, false};
        }
        out += c;  // \8 and \9 are the digits themselves
        return {2, false};
    }
    if (c < 0x80 && !IsAsciiLetter(c)) out += u'\\';
    out += c;  // an escaped letter with no meaning, or any non-ASCII character, is itself
    return {2, false};
}

// True when the class body p[from, to) holds an escape and its negation
// (\s\S, \w\W, \d\D), so that it takes every character.
bool TakesEverything(std::u16string_view p, std::size_t from, std::size_t to) {
    bool seen[128] = {};
    for (std::size_t k = from; k + 1 < to; ++k) {
        if (p[k] != u'\\') continue;
        if (p[k + 1] < 128) seen[p[k + 1]] = true;
        ++k;
    }
    return (seen[u's'] && seen[u'S']) || (seen[u'w'] && seen[u'W']) || (seen[u'd'] && seen[u'D']);
}

// Index of the ']' closing the class whose body starts at p[from], or npos.
std::size_t ClassEnd(std::u16string_view p, std::size_t from) {
    for (std::size_t k = from; k < p.size(); ++k) {
        if (p[k] == u'\\') ++k;
        else if (p[k] == u']') return k;
    }
    return std::u16string_view::npos;
}

// The class starting at p[i] == '['; returns the index after it.
std::size_t TranslateClass(std::u16string_view p, std::size_t i, std::u16string& out) {
    std::size_t j = i + 1;
    const bool negated = j < p.size() && p[j] == u'^';
    if (negated) ++j;
    // Any character, as [\s\S] or [^]: a dot with DOTALL. Under case folding ICU
    // spends milliseconds closing such a set over case at every compile.
    const std::size_t end = ClassEnd(p, j);
    if (end != std::u16string_view::npos && (negated ? end == j : TakesEverything(p, j, end))) {
        out += u"(?s:.)";
        return end + 1;
    }
    if (!negated && end == j) {
        out += u"(?:(?!))";  // a group, so that a quantifier may follow
        return j + 1;
    }
    out += negated ? u"[^" : u"[";
    bool lastWasAtom = false;  // a single character that a dash may extend into a range
    bool inRange = false;
    while (j < p.size()) {
        const char16_t c = p[j];
        if (c == u']') {
            out += u']';
            return j + 1;
        }
        if (c == u'\\' && j + 1 < p.size()) {
            Escape e = TranslateEscape(p, j, true, 0, out);
            j += e.consumed;
            lastWasAtom = !e.isClass && !inRange;
            inRange = false;
            continue;
        }
        if (c == u'-' && lastWasAtom && j + 1 < p.size() && p[j + 1] != u']') {
            out += u'-';
            lastWasAtom = false;
            inRange = true;
            ++j;
            continue;
        }
        if (c < 0x80 && IsAsciiPunct(c)) out += u'\\';
        out += c;
        lastWasAtom = !inRange;
        inRange = false;
        ++j;
    }
    return j;  // unterminated: ICU refuses it
}

// Number of capturing groups: every '(' outside a class that is not "(?",
// plus ICU's named groups "(?<name>".
int CountGroups(std::u16string_view p) {
    int groups = 0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        if (p[k] == u'\\') {
            ++k;
        } else if (p[k] == u'[') {
            std::size_t from = k + 1 < p.size() && p[k + 1] == u'^' ? k + 2 : k + 1;
            std::size_t end = ClassEnd(p, from);
            if (end == std::u16string_view::npos) break;
            k = end;
        } else if (p[k] == u'(') {
            std::u16string_view rest = p.substr(k + 1);
            if (rest.empty() || rest[0] != u'?') ++groups;
            else if (rest.size() > 2 && rest[1] == u'<' && rest[2] != u'=' && rest[2] != u'!') ++groups;
        }
    }
    return groups;
}

}  // namespace

std::u16string TranslateScriptPattern(std::u16string_view p, bool multiline) {
    const int groups = CountGroups(p);
    std::u16string out;
    out.reserve(p.size() + p.size() / 2 + 8);
    std::size_t i = 0;
    while (i < p.size()) {
        const char16_t c = p[i];
        switch (c) {
        case u'\\':
            if (i + 1 >= p.size()) {
                out += c;  // a trailing backslash: ICU refuses it
                ++i;
            } else {
                i += TranslateEscape(p, i, false, groups, out).consumed;
            }
            break;
        case u'[':
            i = TranslateClass(p, i, out);
            break;
        case u'{':
            if (std::size_t n = QuantifierLength(p, i)) {
                out += p.substr(i, n);
                i += n;
            } else {
                out += u"\\{";
                ++i;
            }
            break;
        case u'}':
            out += u"\\}";
            ++i;
            break;
        case u'^':
            out += multiline ? std::u16string_view(u"(?:^|(?<=\\r))") : std::u16string_view(u"^");
            ++i;
            break;
        case u'$':
            out += multiline ? std::u16string_view(u"(?:$|(?=\\r))") : std::u16string_view(u"\\z");
            ++i;
            break;
        default:
            out += c;
            ++i;
            break;
        }
    }
    if (out.empty()) out = u"(?:)";  // ICU refuses an empty pattern; the script one matches everywhere
    return out;
}

}  // namespace lumora::detail
