#include "core/escape_decoding.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

// GBK fixtures: 中 = D6 D0, 文 = CE C4, 乗 = 81 5C (its trail byte is a backslash).
const Text kZhong = "\xD6\xD0";
const Text kWen = "\xCE\xC4";
const Text kJou = "\x81\x5C";

TEST(DecodeUnicodeEscapes, DecodesAsTheScriptUnescapeDoes) {
    struct Row {
        const char* name;
        Text in;
        Text out;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"ascii unchanged", "abc", "abc"},
        {"chinese unchanged", kZhong + kWen, kZhong + kWen},
        {"four-digit escapes", "\\u4e2d\\u6587", kZhong + kWen},
        {"hex digits in either case", "\\u4E2D", kZhong},
        {"only a lower-case u", "\\U4E2D", "%U4E2D"},
        {"fewer than four digits", "\\u4e2", "%u4e2"},
        {"two-digit escape", "\\41", "A"},
        {"a backslash that starts nothing", "a\\nb", "a%nb"},
        {"two backslashes", "a\\\\u4e2d", "a%" + kZhong},
        {"percent escapes already there", "50%25 off", "50% off"},
        {"no GBK form", "\\ud83d\\ude00", "?"},
        {"lone surrogate", "x\\ud83dy", "x?y"},
        {"backslash at the end", "ab\\", "ab%"},
        {"two-digit code is a code point, not a byte", "%E9", "\xA8\xA6"},  // é = A8 A6
        {"decoded NUL ends the text", "a%00b", "a"},
        {"trail byte 5C is no backslash", kJou + "u4e2d", kJou + "u4e2d"},
        {"escape among Chinese", kZhong + "\\u6587" + kZhong, kZhong + kWen + kZhong},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(DecodeUnicodeEscapes(row.in), row.out);
    }
}

TEST(DecodeUnicodeEscapes, FunctionNameIsInAndOut) {
    Text name;
    EXPECT_EQ(DecodeUnicodeEscapes("\\u4e2d", &name), kZhong);
    EXPECT_EQ(name, "to16un");
    name = "to16un";
    EXPECT_EQ(DecodeUnicodeEscapes("\\u4e2d", &name), kZhong);
    name = "nosuchfunction";
    EXPECT_EQ(DecodeUnicodeEscapes("\\u4e2d", &name), "");
    name = "TO16UN";  // script names are case-sensitive
    EXPECT_EQ(DecodeUnicodeEscapes("\\u4e2d", &name), "");
    EXPECT_EQ(name, "TO16UN");
}

TEST(DecodeUnicodeEscapes, OtherFunctions) {
    struct Row {
        const char* function;
        Text in;
        Text out;
    };
    const Row rows[] = {
        {"to16on", kZhong + "A", "\\u4e2d\\u0041"},
        {"to16on", "\t", "\\u009"},
        {"to16on", "\x7F", "\\u007f"},
        {"to16on", "", "\\u"},
        {"to10on", kZhong + "A", "&#20013;&#65;"},
        {"to10on", "", "&#;"},
        {"to10un", "&#20013;", kZhong},
        {"to10un", "&#x4e2d;", kZhong},
        {"to10un", "&#X4e2d;", ""},  // upper-case X: no digits in base 10, code 0 ends the text
        {"to10un", "&#65;bcd", "Ad"},
        {"to10un", "&#65&#66;", "AB"},
        {"to10un", "&#x41", "A"},
        {"to10un", "a&#x&b", "a"},  // x before & is the piece itself: code 0 ends the text
        {"to10un", "a&#&b", "a&#&b"},
        {"to10un", "&# 65;", "A"},
        {"to10un", "&#x0x41", "A"},
        {"to10un", "&#-65;", "?"},  // -65 modulo 65536 is U+FFBF, which GBK lacks
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.function) + " " + row.in);
        Text name = row.function;
        EXPECT_EQ(DecodeUnicodeEscapes(row.in, &name), row.out);
    }
}

TEST(DecodeUnicodeEscapes, RoundTrips) {
    // No code below 0x10: to16on writes those with three digits, which to16un leaves alone.
    const Text text = "a" + kZhong + kWen + "<&#>";
    for (auto [on, un] : {std::pair{"to16on", "to16un"}, std::pair{"to10on", "to10un"}}) {
        SCOPED_TRACE(on);
        Text encode = on;
        Text decode = un;
        EXPECT_EQ(DecodeUnicodeEscapes(DecodeUnicodeEscapes(text, &encode), &decode), text);
    }
}

}  // namespace
}  // namespace lumora
