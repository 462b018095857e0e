#include "core/escape_decoding.h"

#include <string>
#include <string_view>

#include "core/charset.h"

namespace lumora {
namespace {

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Value of count hexadecimal digits at s[at], or -1 when they are not all there.
int HexRun(std::u16string_view s, std::size_t at, std::size_t count) {
    if (at + count > s.size()) return -1;
    int value = 0;
    for (std::size_t k = at; k < at + count; ++k) {
        int digit = HexValue(s[k]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Backslashes read as percent signs, then the script unescape rules.
Utf16 To16Un(std::u16string_view s) {
    Utf16 out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const char16_t c = s[i];
        if (c != u'\\' && c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < s.size() && s[i + 1] == u'u') {
            if (int code = HexRun(s, i + 2, 4); code >= 0) {
                out += static_cast<char16_t>(code);
                i += 6;
                continue;
            }
        }
        if (int code = HexRun(s, i + 1, 2); code >= 0) {
            out += static_cast<char16_t>(code);
            i += 3;
            continue;
        }
        out += u'%';
        ++i;
    }
    return out;
}

Text To16On(std::u16string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    Text out;
    out.reserve(2 + s.size() * 6);
    out += "\\u";
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i > 0) out += "\\u";
        // "00" + hexadecimal without leading zeros, last four kept: below 0x10 only three digits.
        char piece[6] = {'0', '0'};
        std::size_t length = 2;
        const unsigned code = s[i];
        for (int shift = 12; shift >= 0; shift -= 4) {
            if ((code >> shift) != 0 || shift == 0) piece[length++] = kHex[(code >> shift) & 0xF];
        }
        out.append(piece + (length > 4 ? length - 4 : 0), piece + length);
    }
    return out;
}

Text To10On(std::u16string_view s) {
    Text out = "&#";
    out.reserve(3 + s.size() * 8);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i > 0) out += ";&#";
        out += std::to_string(static_cast<unsigned>(s[i]));
    }
    out += ';';
    return out;
}

bool IsScriptSpace(char16_t c) {
    return c == 0x09 || c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x20 || c == 0xA0 ||
           c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// parseInt(piece, base) taken to a code unit as String.fromCharCode does:
// leading digits only, NaN as 0, modulo 65536.
char16_t ParseIntCode(std::u16string_view piece, int base) {
    std::size_t i = 0;
    while (i < piece.size() && IsScriptSpace(piece[i])) ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == u'+' || piece[i] == u'-')) negative = piece[i++] == u'-';
    if (base == 16 && i + 1 < piece.size() && piece[i] == u'0' && (piece[i + 1] == u'x' || piece[i + 1] == u'X'))
        i += 2;
    long value = 0;
    bool any = false;
    for (; i < piece.size(); ++i) {
        int digit = HexValue(piece[i]);
        if (digit < 0 || digit >= base) break;
        value = value * base + digit;
        any = true;
    }
    if (!any) return 0;
    if (negative) value = -value;
    return static_cast<char16_t>(((value % 65536) + 65536) % 65536);
}

Utf16 To10Un(std::u16string_view s) {
    Utf16 out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] != u'&' || i + 1 >= s.size() || s[i + 1] != u'#') {
            out += s[i++];
            continue;
        }
        std::size_t j = i + 2;
        int base = 10;
        // The "x" counts only when a character other than "&" follows it.
        if (j + 1 < s.size() && s[j] == u'x' && s[j + 1] != u'&') {
            base = 16;
            ++j;
        }
        std::size_t end = j;
        while (end < s.size() && end < j + 5 && s[end] != u'&') ++end;
        if (end == j) {
            out += s[i++];
            continue;
        }
        out += ParseIntCode(s.substr(j, end - j), base);
        if (end < s.size() && s[end] == u';') ++end;
        i = end;
    }
    return out;
}

}  // namespace

Text DecodeUnicodeEscapes(const Text& text, Text* functionName) {
    if (functionName && functionName->empty()) *functionName = "to16un";
    const std::string_view name = functionName ? std::string_view(*functionName) : std::string_view("to16un");
    if (name == "to16un") return Utf16ToMultiByte(To16Un(GbkToUtf16(text)), kCodePageAnsi);
    if (name == "to10un") return Utf16ToMultiByte(To10Un(GbkToUtf16(text)), kCodePageAnsi);
    if (name == "to16on") return To16On(GbkToUtf16(text));
    if (name == "to10on") return To10On(GbkToUtf16(text));
    return {};
}

}  // namespace lumora
