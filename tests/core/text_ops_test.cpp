#include "core/text_ops.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

// GBK byte literals used below:
//   "\xD6\xD0" 中   "\xCE\xC4" 文   "\xA1\xA1" full-width space
//   "\xA3\xB1\xA3\xB0" full-width "10"   "\xA3\xAD" full-width "-"
//   "\xB0\xA1" 啊: its trail byte A1 is also a lead byte value

TEST(TextFind, FollowsTheTable) {
    struct Row {
        const char* name;
        Text text, part;
        int start;
        bool ignoreCase;
        int expected;
    };
    const Row rows[] = {
        {"plain", "abcabc", "bc", 1, false, 2},
        {"start 0 is the beginning", "abcabc", "ab", 0, false, 1},
        {"negative start is the beginning", "abcabc", "ab", -3, false, 1},
        {"start after first occurrence", "abcabc", "ab", 2, false, 4},
        {"start on the match", "abcabc", "ab", 4, false, 4},
        {"start at the last byte", "abcabc", "c", 6, false, 6},
        {"start beyond the end", "abcabc", "c", 7, false, -1},
        {"missing", "abcabc", "x", 1, false, -1},
        {"case-sensitive by default", "ABC", "b", 1, false, -1},
        {"ignore case folds ASCII", "ABC", "b", 1, true, 2},
        {"empty part in text", "abc", "", 1, false, 1},
        {"empty part in empty text", "", "", 1, false, -1},
        {"part longer than text", "ab", "abc", 1, false, -1},
        // 中文: D6 D0 CE C4; "\xD0\xCE" spans the boundary, starting on a trail byte.
        {"never starts on a trail byte", "\xD6\xD0\xCE\xC4", "\xD0\xCE", 1, false, -1},
        {"double-byte found whole", "a\xD6\xD0\xCE\xC4", "\xCE\xC4", 1, false, 4},
        // 0x5D "]" as the trail byte of a double-byte character is not an ASCII "]".
        {"ASCII trail byte skipped", "\x81\x5D]", "]", 1, false, 3},
        // Case folding never touches the bytes of a double-byte character.
        {"ignore case leaves GBK alone", "\xA3\xC1", "\xA3\xE1", 1, true, -1},
        {"lone lead byte at the end", "ab\xD6", "\xD6", 1, false, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Find(row.text, row.part, row.start, row.ignoreCase), row.expected);
    }
}

TEST(TextReplace, EveryOccurrenceLeftToRight) {
    EXPECT_EQ(Replace("aaaa", "aa", "a"), "aa");  // resumes after each replacement
    EXPECT_EQ(Replace("a-b-c", "-", "--"), "a--b--c");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Replace("", "a", "x"), "");
    EXPECT_EQ(Replace("Href=x HREF=y", "href=", "", false), "x y");
    EXPECT_EQ(Replace("Href=x", "href=", "", true), "Href=x");
    EXPECT_EQ(Replace("\xD6\xD0\xCE\xC4", "\xD0\xCE", "!"), "\xD6\xD0\xCE\xC4");
}

TEST(TextSplit, EmptyPiecesAndTheRest) {
    using Pieces = std::vector<Text>;
    EXPECT_EQ(Split("a\r\nb\r\n", "\r\n"), (Pieces{"a", "b"}));
    EXPECT_EQ(Split("a\r\n\r\nb", "\r\n"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(Split("\r\n", "\r\n"), (Pieces{""}));
    EXPECT_EQ(Split("ab", "\r\n"), (Pieces{"ab"}));
    EXPECT_EQ(Split("", "\r\n"), Pieces{});
    EXPECT_EQ(Split("a,,b,", ","), (Pieces{"a", "", "b"}));
}

TEST(TextTrim, SpacesAndFullWidthSpacesOnly) {
    struct Row {
        const char* name;
        Text text, expected;
    };
    const Row rows[] = {
        {"ascii spaces", "  ab  ", "ab"},
        {"full-width spaces", "\xA1\xA1" "ab" "\xA1\xA1", "ab"},
        {"mixed", " \xA1\xA1 a b\xA1\xA1 ", "a b"},
        {"tabs and line breaks stay", "\tab\r\n", "\tab\r\n"},
        {"all blank", " \xA1\xA1 ", ""},
        {"empty", "", ""},
        // 啊 (B0 A1) then A1 A1: the pair at the end is a trail plus a full-width space's
        // first half... only a whole A1 A1 character counts.
        {"trail A1 is not half a space", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        {"lone A1 at the end stays", "a\xA1", "a\xA1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Trim(row.text), row.expected);
    }
}

TEST(TextCut, LeftRightMid) {
    EXPECT_EQ(Left("abcdef", 2), "ab");
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(Left("ab", 0), "");
    EXPECT_EQ(Left("ab", -1), "");
    EXPECT_EQ(Right("abcdef", 2), "ef");
    EXPECT_EQ(Right("ab", 5), "ab");
    EXPECT_EQ(Right("ab", -2), "");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
    EXPECT_EQ(Mid("abcdef", 7, 1), "");
    EXPECT_EQ(Mid("abcdef", 2, 0), "");
}

TEST(TextToNumber, FullWidthThenAtoi) {
    struct Row {
        const char* name;
        Text text;
        int expected;
    };
    const Row rows[] = {
        {"plain", "10", 10},
        {"leading blank", " 10", 10},
        {"leading tab", "\t10", 10},
        {"full-width digits", "\xA3\xB1\xA3\xB0", 10},
        {"full-width space and sign", "\xA1\xA1\xA3\xAD" "5", -5},
        {"negative", "-5", -5},
        {"plus", "+7", 7},
        {"not a number", "abc", 0},
        {"empty", "", 0},
        {"digits then text", "12abc", 12},
        {"sign without digits", "-", 0},
        {"overflow saturates", "99999999999", 2147483647},
        {"negative overflow saturates", "-99999999999", -2147483647 - 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ToNumber(row.text), row.expected);
    }
}

TEST(TextFromBytes, EndsAtTheFirstNul) {
    EXPECT_EQ(TextFromBytes(Bytes(std::string("ab\0cd", 5))), "ab");
    EXPECT_EQ(TextFromBytes(Bytes("abc")), "abc");
    EXPECT_EQ(TextFromBytes(Bytes()), "");
}

}  // namespace
}  // namespace lumora
