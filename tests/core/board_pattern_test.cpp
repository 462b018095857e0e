#include "core/board_pattern.h"

#include <chrono>
#include <locale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lumora {
namespace {

PatternMatch Match(int offset, int length) { return {true, offset, length}; }

BoardPattern Pattern(const std::string& pattern) {
    BoardPattern compiled;
    EXPECT_TRUE(compiled.Compile(pattern, false)) << pattern;
    return compiled;
}

TEST(BoardPatternTest, EmptyTextFindsNothing) {
    const BoardPattern tag = Pattern("<.*?>");
    const PatternMatch match = tag.FindFirst("", 1);
    EXPECT_FALSE(match);
    EXPECT_EQ(MatchedText(match, ""), "");
    EXPECT_TRUE(tag.FindAll("").empty());
    // Even a pattern that matches empty text finds nothing in empty text.
    EXPECT_FALSE(Pattern("x*").FindFirst("", 1));
    EXPECT_TRUE(Pattern("x*").FindAll("").empty());
}

TEST(BoardPatternTest, FindFirstStartAndLengthBounds) {
    const std::string text = "ab<i>cd<b>";  // 10 bytes
    const BoardPattern tag = Pattern("<.*?>");
    struct Row {
        const char* name;
        int start;
        std::optional<int> length;
        PatternMatch expected;
    };
    const std::vector<Row> rows = {
        {"start 0", 0, std::nullopt, {}},
        {"negative start", -3, std::nullopt, {}},
        {"start one past the end", 11, std::nullopt, {}},
        {"start 1", 1, std::nullopt, Match(2, 3)},
        {"offset counts from the whole text", 4, std::nullopt, Match(7, 3)},
        {"start on the last byte", 10, std::nullopt, {}},
        {"length ending on the text's end", 6, 5, Match(7, 3)},
        {"length past the end", 6, 6, {}},
        {"length cuts the tag", 1, 4, {}},
        {"negative length", 1, -1, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(tag.FindFirst(text, row.start, row.length), row.expected);
    }
}

TEST(BoardPatternTest, RangeIsSearchedAsATextOfItsOwn) {
    // ^ matches at the start of the searched range, never after a line break.
    const BoardPattern anchored = Pattern("^b");
    EXPECT_EQ(anchored.FindFirst("ab", 2), Match(1, 1));
    EXPECT_FALSE(anchored.FindFirst("a\nb", 1));
}

TEST(BoardPatternTest, FindAllGivesTheTagsInOrder) {
    const std::string text = "one <b>two</b> three";
    const std::vector<PatternMatch> matches = Pattern("<.*?>").FindAll(text);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0], Match(4, 3));
    EXPECT_EQ(matches[1], Match(10, 4));
    EXPECT_EQ(MatchedText(matches[0], text), "<b>");
    EXPECT_EQ(MatchedText(matches[1], text), "</b>");
}

TEST(BoardPatternTest, DotMatchesLineBreaks) {
    const std::string text = "x<a\r\nhref=\"t\">y";
    const std::vector<PatternMatch> matches = Pattern("<.*?>").FindAll(text);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(MatchedText(matches[0], text), "<a\r\nhref=\"t\">");

    const std::string block = "<tbody id=\"normalthread_1\">\n<tr>\n<th>t</th>\n</tr>\n</tbody>";
    EXPECT_EQ(Pattern("<tbody id=\"normalthread_.*?\">.*?</tbody>").FindFirst(block, 1),
              Match(0, static_cast<int>(block.size())));
}

TEST(BoardPatternTest, LowerCasePatternMatchesUpperCaseText) {
    const std::string text = "<TD><CITE><A HREF=\"space-uid-1.html\">Name</A></CITE></TD>";
    const PatternMatch match = Pattern("<cite><a href=\".*?>.*?</a></cite>").FindFirst(text, 1);
    EXPECT_EQ(MatchedText(match, text), "<CITE><A HREF=\"space-uid-1.html\">Name</A></CITE>");
}

TEST(BoardPatternTest, CaseSensitiveCompileKeepsCase) {
    BoardPattern exact;
    ASSERT_TRUE(exact.Compile("<cite>"));
    EXPECT_FALSE(exact.FindFirst("<CITE>", 1));
    EXPECT_TRUE(exact.FindFirst("<cite>", 1));
}

TEST(BoardPatternTest, CaseFoldingIsAsciiOnly) {
    // "Ａ" and "ａ" (A3 C1, A3 E1) differ in their trail byte only.
    EXPECT_FALSE(Pattern("\xA3\xC1").FindFirst("\xA3\xE1", 1));
    EXPECT_FALSE(Pattern("\xC0").FindFirst("\xE0", 1));
}

// A ctype that folds the Latin-1 capitals, as a single-byte locale would.
class LatinFoldingCtype : public std::ctype<char> {
protected:
    char do_tolower(char c) const override {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) {
            return static_cast<char>(byte + 0x20);
        }
        return std::ctype<char>::do_tolower(c);
    }
    const char* do_tolower(char* first, const char* last) const override {
        for (; first != last; ++first) {
            *first = do_tolower(*first);
        }
        return last;
    }
};

class GlobalLocaleGuard {
public:
    explicit GlobalLocaleGuard(const std::locale& locale) : m_old(std::locale::global(locale)) {}
    ~GlobalLocaleGuard() { std::locale::global(m_old); }
    GlobalLocaleGuard(const GlobalLocaleGuard&) = delete;
    GlobalLocaleGuard& operator=(const GlobalLocaleGuard&) = delete;

private:
    std::locale m_old;
};

TEST(BoardPatternTest, GlobalLocaleCannotChangeMatching) {
    const GlobalLocaleGuard guard(std::locale(std::locale::classic(), new LatinFoldingCtype));
    ASSERT_EQ(std::tolower('\xC0', std::locale()), '\xE0') << "the folding locale is not in force";

    // A pattern first compiled under the folding locale.
    const BoardPattern lead = Pattern("x\xC1y");
    EXPECT_FALSE(lead.FindFirst("x\xE1y", 1));
    EXPECT_TRUE(lead.FindFirst("X\xC1Y", 1));
    // "]" deletion and tag stripping keep their bytes.
    EXPECT_EQ(ReplaceAllMatches("\xC1\xE1<b>", "\xC1", ""), "\xE1<b>");
}

TEST(BoardPatternTest, ReplaceAllMatchesDeletesEveryMatch) {
    EXPECT_EQ(ReplaceAllMatches("one <b>two</b> three", "<.*?>", ""), "one two three");
    EXPECT_EQ(ReplaceAllMatches("<i>a</i><i>b</i>", "<.*?>", ""), "ab");
    EXPECT_EQ(ReplaceAllMatches("", "<.*?>", ""), "");
    EXPECT_EQ(ReplaceAllMatches("<a>", "<.*?>", ""), "");
    EXPECT_EQ(ReplaceAllMatches("no tags", "<.*?>", ""), "no tags");
    EXPECT_EQ(ReplaceAllMatches("HREF=\"x\" href=y", "href=", ""), "\"x\" y");
}

TEST(BoardPatternTest, ReplacementUsesTheExtendedFormat) {
    EXPECT_EQ(ReplaceAllMatches("a1b2", "([a-z])([0-9])", "$2$1"), "1a2b");
    EXPECT_EQ(ReplaceAllMatches("ab", "(a)|b", "(?1x:y)"), "xy");
}

TEST(BoardPatternTest, BracketDeletionTakesAGbkTrailByte) {
    // "[郵费]": 郵 is E0 5D, its trail byte is "]".
    const std::string category = "[\xE0]\xB7\xD1]";
    EXPECT_EQ(ReplaceAllMatches(category, "]", ""), "[\xE0\xB7\xD1");
}

TEST(BoardPatternTest, PatternThatDoesNotCompile) {
    BoardPattern pattern;
    EXPECT_FALSE(pattern.compiled());
    EXPECT_FALSE(pattern.FindFirst("abc", 1));
    EXPECT_FALSE(pattern.Compile("(unclosed", false));
    EXPECT_FALSE(pattern.FindFirst("(unclosed", 1));
    EXPECT_TRUE(pattern.FindAll("(unclosed").empty());
    EXPECT_EQ(ReplaceAllMatches("text", "(unclosed", ""), "");
    EXPECT_EQ(ReplaceAllMatches("text", pattern, ""), "");

    // A failed compile drops the earlier pattern; a good one brings it back.
    ASSERT_TRUE(pattern.Compile("b", false));
    EXPECT_FALSE(pattern.Compile("[", false));
    EXPECT_FALSE(pattern.FindFirst("b", 1));
    ASSERT_TRUE(pattern.Compile("b", false));
    EXPECT_EQ(pattern.FindFirst("abc", 1), Match(1, 1));
}

TEST(BoardPatternTest, FindAllEndsOnPatternsThatMatchEmptyText) {
    struct Row {
        const char* pattern;
        const char* text;
        std::vector<PatternMatch> expected;
    };
    const std::vector<Row> rows = {
        {"x*", "abc", {Match(0, 0)}},
        {"", "abc", {Match(0, 0)}},
        {"(?=b)", "abc", {Match(1, 0)}},
        {"a|(?=c)", "abc", {Match(0, 1), Match(2, 0)}},
        {"b*", "bbb", {Match(0, 3)}},
        {"b?", "bbb", {Match(0, 1), Match(1, 1), Match(2, 1)}},
        {"c|$", "abc", {Match(2, 1)}},
        {"a|$", "ab", {Match(0, 1), Match(2, 0)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.pattern) + " over " + row.text);
        EXPECT_EQ(Pattern(row.pattern).FindAll(row.text), row.expected);
    }
}

TEST(BoardPatternTest, SearchesContinueAfterTheMatchAsANewText) {
    // Each search starts at the previous match's end as at a text's start.
    EXPECT_EQ(Pattern("^a").FindAll("aaa"), (std::vector<PatternMatch>{Match(0, 1), Match(1, 1), Match(2, 1)}));
}

TEST(BoardPatternTest, HostileInputHitsTheLimitAndGivesNoMatch) {
    const BoardPattern runaway = Pattern("(x+x+)+y");
    const std::string hostile(3000, 'x');
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(runaway.FindFirst(hostile, 1));
    EXPECT_TRUE(runaway.FindAll(hostile).empty());
    EXPECT_EQ(ReplaceAllMatches(hostile, runaway, ""), hostile);
    // Generous: the limit ends each search long before this.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));

    // The same object still matches sane text afterwards.
    EXPECT_EQ(runaway.FindFirst("xxy", 1), Match(0, 3));
}

TEST(BoardPatternTest, CopiesShareTheCompiledPattern) {
    BoardPattern original = Pattern("<b>");
    const BoardPattern copy = original;
    ASSERT_TRUE(original.Compile("<i>", false));
    EXPECT_EQ(copy.FindFirst("<i><b>", 1), Match(3, 3));
    EXPECT_EQ(original.FindFirst("<i><b>", 1), Match(0, 3));
}

}  // namespace
}  // namespace lumora
