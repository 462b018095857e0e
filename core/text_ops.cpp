#include "core/text_ops.h"

#include <algorithm>
#include <climits>

namespace lumora {

Text TextFromBytes(const Bytes& bytes) {
    const std::string& data = bytes.data();
    return data.substr(0, data.find('\0'));
}

namespace detail {

inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

bool MatchesAt(const Text& text, std::size_t at, const Text& part, bool ignoreCase) {
    for (std::size_t k = 0; k < part.size(); ++k) {
        auto a = static_cast<unsigned char>(text[at + k]);
        auto b = static_cast<unsigned char>(part[k]);
        if (ignoreCase ? FoldAscii(a) != FoldAscii(b) : a != b) return false;
    }
    return true;
}

// Width of the character starting at index i: a lead byte takes its trail with it.
inline std::size_t CharWidth(const Text& text, std::size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// 0-based index of part at or after from, stepping by characters; npos if none.
std::size_t FindFrom(const Text& text, const Text& part, std::size_t from, bool ignoreCase) {
    if (part.size() > text.size()) return Text::npos;
    for (std::size_t i = from; i + part.size() <= text.size(); i += CharWidth(text, i))
        if (MatchesAt(text, i, part, ignoreCase)) return i;
    return Text::npos;
}

}  // namespace detail

int Find(const Text& text, const Text& part, int start, bool ignoreCase) {
    if (text.empty()) return -1;
    std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= text.size()) return -1;
    if (part.empty()) return static_cast<int>(from) + 1;
    std::size_t at = detail::FindFrom(text, part, from, ignoreCase);
    return at == Text::npos ? -1 : static_cast<int>(at) + 1;
}

Text Replace(const Text& text, const Text& oldPart, const Text& newPart, bool caseSensitive) {
    if (oldPart.empty() || text.empty()) return text;
    Text result;
    result.reserve(text.size());
    std::size_t from = 0;
    while (true) {
        std::size_t at = detail::FindFrom(text, oldPart, from, !caseSensitive);
        if (at == Text::npos) break;
        result.append(text, from, at - from);
        result += newPart;
        from = at + oldPart.size();
    }
    result.append(text, from, Text::npos);
    return result;
}

std::vector<Text> Split(const Text& text, const Text& separator) {
    std::vector<Text> pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    std::size_t from = 0;
    while (true) {
        std::size_t at = detail::FindFrom(text, separator, from, false);
        if (at == Text::npos) break;
        pieces.emplace_back(text, from, at - from);
        from = at + separator.size();
    }
    if (from < text.size()) pieces.emplace_back(text, from, Text::npos);
    return pieces;
}

Text Trim(const Text& text) {
    // Walk by characters so that a trail byte A1 followed by a lead A1 is never
    // taken for a full-width space.
    std::size_t begin = Text::npos;
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t width = detail::CharWidth(text, i);
        bool blank = text[i] == ' ' ||
                     (width == 2 && static_cast<unsigned char>(text[i]) == 0xA1 &&
                      static_cast<unsigned char>(text[i + 1]) == 0xA1);
        if (!blank) {
            if (begin == Text::npos) begin = i;
            end = i + width;
        }
        i += width;
    }
    return begin == Text::npos ? Text() : text.substr(begin, end - begin);
}

Text Left(const Text& text, int n) {
    if (n <= 0) return {};
    return text.substr(0, static_cast<std::size_t>(n));
}

Text Right(const Text& text, int n) {
    if (n <= 0) return {};
    auto count = std::min(text.size(), static_cast<std::size_t>(n));
    return text.substr(text.size() - count);
}

Text Mid(const Text& text, int p, int n) {
    if (n <= 0) return {};
    std::size_t from = p <= 1 ? 0 : static_cast<std::size_t>(p - 1);
    if (from >= text.size()) return {};
    return text.substr(from, static_cast<std::size_t>(n));
}

int ToNumber(const Text& text) {
    // Full-width ASCII forms are A3 A1..A3 FE; the full-width space is A1 A1.
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c) && i + 1 < text.size()) {
            auto t = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xA3 && t >= 0xA1 && t <= 0xFE)
                ascii += static_cast<char>(t - 0x80);
            else if (c == 0xA1 && t == 0xA1)
                ascii += ' ';
            else
                ascii.append(text, i, 2);
            i += 2;
        } else {
            ascii += static_cast<char>(c);
            ++i;
        }
    }
    std::size_t i = 0;
    while (i < ascii.size() && (ascii[i] == ' ' || (ascii[i] >= '\t' && ascii[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) negative = ascii[i++] == '-';
    long long value = 0;
    for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
        value = value * 10 + (ascii[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturate, never overflow
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace lumora
