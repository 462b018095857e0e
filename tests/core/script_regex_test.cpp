#include "core/script_regex.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace lumora {
namespace {

// GBK fixtures: 中 = D6 D0, 文 = CE C4, 标题 = B1 EA CC E2, 全角１ = A3 B1.
const Text kZhong = "\xD6\xD0";
const Text kWen = "\xCE\xC4";
const Text kBiaoTi = "\xB1\xEA\xCC\xE2";

void ExpectEmptyResults(const ScriptRegex& regex) {
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
}

TEST(ScriptRegex, BeforeAnySearchEverythingIsEmpty) {
    ScriptRegex regex;
    ExpectEmptyResults(regex);
    EXPECT_EQ(regex.GetPattern(), "");
    EXPECT_EQ(regex.ReplaceMatches("x"), "");
    int position = 7;
    EXPECT_EQ(regex.MatchText(1, &position), "");
    EXPECT_EQ(position, -1);
    regex.Reserved();
}

TEST(ScriptRegex, NoMatchIsStillASuccess) {
    ScriptRegex regex;
    EXPECT_TRUE(regex.Search("tid=(\\d+)", "<html>nothing here</html>"));
    ExpectEmptyResults(regex);
    EXPECT_EQ(regex.ReplaceMatches("x"), "<html>nothing here</html>");
}

TEST(ScriptRegex, InvalidPatternFailsWithEmptyResults) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("(a)", "a"));
    EXPECT_FALSE(regex.Search("title=\"(.*?\"", "title=\"x\""));
    ExpectEmptyResults(regex);
    EXPECT_EQ(regex.ReplaceMatches("x"), "");
    // The pattern itself is still what the object holds.
    EXPECT_EQ(regex.GetPattern(), "title=\"(.*?\"");
}

TEST(ScriptRegex, MatchesAndGroupsByOneBasedNumber) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("<a href=\"(.*?)\">(.*?)</a>", "<a href=\"/1\">one</a><a href=\"/2\">two</a>"));
    ASSERT_EQ(regex.MatchCount(), 2);
    ASSERT_EQ(regex.SubMatchCount(), 2);
    EXPECT_EQ(regex.MatchText(1), "<a href=\"/1\">one</a>");
    EXPECT_EQ(regex.SubMatchText(1, 1), "/1");
    EXPECT_EQ(regex.SubMatchText(2, 2), "two");
    // Out of range in every direction.
    EXPECT_EQ(regex.MatchText(0), "");
    EXPECT_EQ(regex.MatchText(3), "");
    EXPECT_EQ(regex.MatchText(-1), "");
    EXPECT_EQ(regex.SubMatchText(0, 1), "");
    EXPECT_EQ(regex.SubMatchText(1, 0), "");
    EXPECT_EQ(regex.SubMatchText(1, 3), "");
    EXPECT_EQ(regex.SubMatchText(3, 1), "");
    // Reads do not change the object.
    EXPECT_EQ(regex.SubMatchText(2, 1), "/2");
}

TEST(ScriptRegex, GroupCountComesFromTheFirstMatch) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("<b>.*?</b>", "<b>x</b><b>y</b>"));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    ASSERT_TRUE(regex.Search("(a)(b)?", "a ab"));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchCount(), 2);
}

TEST(ScriptRegex, GroupThatTookNoPartIsEmpty) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("(x)|(y)", "y"));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
    EXPECT_EQ(regex.SubMatchText(1, 2), "y");
    int position = 0;
    regex.SubMatchText(1, 1, &position);
    EXPECT_EQ(position, -1);
}

TEST(ScriptRegex, DefaultsIgnoreCaseAndScanGlobally) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("<a href=\"(.*?)\">", "<A HREF=\"/x\"><a href=\"/y\">"));
    ASSERT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(1, 1), "/x");

    ASSERT_TRUE(regex.Search("<a href=\"(.*?)\">", "<A HREF=\"/x\"><a href=\"/y\">", true));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchText(1, 1), "/y");

    ASSERT_TRUE(regex.Search("a", "aaa", false, true, false));
    EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(ScriptRegex, LineBreaks) {
    ScriptRegex regex;
    // (.*?) stays within a line, [\s\S]*? crosses it.
    ASSERT_TRUE(regex.Search("a(.*?)b", "a1\nb a2b"));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchText(1, 1), "2");
    ASSERT_TRUE(regex.Search("a([\\s\\S]*?)b", "a1\nb a2b"));
    ASSERT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(1, 1), "1\n");
    // A carriage return is an ordinary character for ".".
    ASSERT_TRUE(regex.Search("a(.)b", "a\rb"));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchText(1, 1), "\r");
    // ^ and $ at line breaks when multiline, only at the ends when not.
    ASSERT_TRUE(regex.Search("^x$", "a\nx\nb"));
    EXPECT_EQ(regex.MatchCount(), 1);
    ASSERT_TRUE(regex.Search("^x$", "a\nx\nb", false, false));
    EXPECT_EQ(regex.MatchCount(), 0);
    ASSERT_TRUE(regex.Search("b$", "ab\n", false, false));
    EXPECT_EQ(regex.MatchCount(), 0);
    ASSERT_TRUE(regex.Search("^(\\w+)$", "ab\r\ncd"));
    ASSERT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(1, 1), "ab");
    EXPECT_EQ(regex.SubMatchText(2, 1), "cd");
}

TEST(ScriptRegex, QuotePlaceholder) {
    // #引号 in GBK: '#', 引 D2 FD, 号 BA C5.
    const Text pattern = "title=#\xD2\xFD\xBA\xC5(.*?)#\xD2\xFD\xBA\xC5";
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search(pattern, "<a title=\"x\">", false, true, true, true));
    EXPECT_EQ(regex.GetPattern(), "title=\"(.*?)\"");
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchText(1, 1), "x");

    ASSERT_TRUE(regex.Search(pattern, "<a title=\"x\">"));
    EXPECT_EQ(regex.GetPattern(), pattern);
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(ScriptRegex, RunawayPatternEndsAsNoResult) {
    ScriptRegex regex;
    const Text as(30, 'a');
    EXPECT_FALSE(regex.Search("(a+)+b", as));
    ExpectEmptyResults(regex);
    // Matches found before the runaway are not kept either.
    EXPECT_FALSE(regex.Search("(a+)+b", "ab " + as));
    ExpectEmptyResults(regex);
    EXPECT_EQ(regex.ReplaceMatches("x"), "");
    // The object is usable afterwards.
    EXPECT_TRUE(regex.Search("(a+)+b", "aab"));
    EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(ScriptRegex, ChineseIsOneCharacterAndComesBackAsGbk) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("^(.)(.)$", kZhong + kWen));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.SubMatchText(1, 1), kZhong);
    EXPECT_EQ(regex.SubMatchText(1, 2), kWen);
    // A GBK pattern on a GBK subject.
    ASSERT_TRUE(regex.Search(kZhong + "(.{2})", kZhong + kBiaoTi + "x"));
    EXPECT_EQ(regex.SubMatchText(1, 1), kBiaoTi);
}

TEST(ScriptRegex, PositionsAreBytePositionsInTheGbkSubject) {
    // 中文<b>标题</b><b>x</b>: the first <b> starts at byte 4, its group at byte 7.
    const Text subject = kZhong + kWen + "<b>" + kBiaoTi + "</b><b>x</b>";
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("<b>(.*?)</b>", subject));
    ASSERT_EQ(regex.MatchCount(), 2);
    int position = -5;
    EXPECT_EQ(regex.MatchText(1, &position), "<b>" + kBiaoTi + "</b>");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(regex.SubMatchText(1, 1, &position), kBiaoTi);
    EXPECT_EQ(position, 7);
    EXPECT_EQ(regex.MatchText(2, &position), "<b>x</b>");
    EXPECT_EQ(position, 15);
    EXPECT_EQ(subject.substr(15, 8), "<b>x</b>");
    EXPECT_EQ(regex.MatchText(3, &position), "");
    EXPECT_EQ(position, -1);
}

TEST(ScriptRegex, BrokenGbkAndNulInTheSubject) {
    ScriptRegex regex;
    // FF FF is no GBK character; the match after it still sits at byte 2.
    ASSERT_TRUE(regex.Search("ab", "\xFF\xFF" "ab"));
    int position = 0;
    EXPECT_EQ(regex.MatchText(1, &position), "ab");
    EXPECT_EQ(position, 2);
    // A lead byte cut off at the end comes back as the byte it was.
    ASSERT_TRUE(regex.Search("b(.*)", "ab\xD6"));
    EXPECT_EQ(regex.SubMatchText(1, 1), "\xD6");
    // A lead byte before an ASCII byte that cannot be its trail stands alone.
    ASSERT_TRUE(regex.Search("0(a)", "\xD6" "0ab"));
    EXPECT_EQ(regex.SubMatchText(1, 1, &position), "a");
    EXPECT_EQ(position, 2);
    // 乗 = 81 5C: its trail byte is a backslash, and the pair is one character.
    ASSERT_TRUE(regex.Search("^(.)x", "\x81\x5C" "x"));
    EXPECT_EQ(regex.SubMatchText(1, 1), "\x81\x5C");
    // 0x80 alone is the euro sign in code page 936.
    ASSERT_TRUE(regex.Search("(.)a", "\x80" "a"));
    EXPECT_EQ(regex.SubMatchText(1, 1), "\x80");
    // The subject ends at its first NUL.
    ASSERT_TRUE(regex.Search("cd", Text("ab\0cd", 5)));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(ScriptRegex, ReplaceMatches) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("(\\w+)@(\\w+)", "a@b, c@d"));
    EXPECT_EQ(regex.ReplaceMatches("$2 at $1"), "b at a, d at c");
    EXPECT_EQ(regex.ReplaceMatches("[$&|$$|$3|$0|$]"), "[a@b|$|$3|$0|$], [c@d|$|$3|$0|$]");
    EXPECT_EQ(regex.ReplaceMatches("($`)"), "(), (a@b, )");
    EXPECT_EQ(regex.ReplaceMatches(""), ", ");
    ASSERT_TRUE(regex.Search("(\\w+)@(\\w+)", "a@b, c@d", false, true, false));
    EXPECT_EQ(regex.ReplaceMatches("<$1>"), "<a>, c@d");
    // GBK on both sides.
    ASSERT_TRUE(regex.Search("<b>(.*?)</b>", kZhong + "<b>" + kBiaoTi + "</b>"));
    EXPECT_EQ(regex.ReplaceMatches("[$1" + kWen + "]"), kZhong + "[" + kBiaoTi + kWen + "]");
}

TEST(ScriptRegex, ScriptDialectWhereIcuDiffers) {
    struct Row {
        const char* name;
        Text pattern;
        Text subject;
        std::optional<Text> firstMatch;
    };
    const Row rows[] = {
        {"\\d is ASCII only (full-width 1 is A3 B1)", "\\d", "\xA3\xB1", std::nullopt},
        {"\\d on ASCII", "\\d+", "x12y", "12"},
        {"\\w is ASCII only", "\\w+", kZhong + "ab" + kWen, "ab"},
        {"\\W takes Chinese", "\\W+", "ab" + kZhong + kWen, kZhong + kWen},
        {"\\b between Chinese and a letter", "\\bab\\b", kZhong + "ab" + kWen, "ab"},
        {"\\B inside a word", "a\\Bb", "ab", "ab"},
        {"[\\w] in a class", "[\\w.]+", kZhong + "a.b" + kZhong, "a.b"},
        {"[^\\d] in a class", "[^\\d,]+", "12ab,3", "ab"},
        {"literal brace", "a{", "xa{", "a{"},
        {"literal brace pair", "{x}", "{x}", "{x}"},
        {"real quantifier", "a{2,3}", "aaaa", "aaa"},
        {"bracket inside a class", "[[]+", "a[[b", "[["},
        {"ampersands inside a class", "[&]+", "a&&b", "&&"},
        {"trailing dash in a class", "[a-]+", "x-a-y", "-a-"},
        {"empty class matches nothing", "a[]", "a", std::nullopt},
        {"empty class may be quantified", "a[]*b", "ab", "ab"},
        {"negated empty class matches anything", "a[^]b", "a\nb", "a\nb"},
        {"escaped letter is the letter", "\\y\\e", "ye", "ye"},
        {"\\v is a vertical tab", "a\\vb", "a\vb", "a\vb"},
        {"\\x and \\u escapes", "\\x41\\u0042", "AB", "AB"},
        {"\\u without four digits is u", "\\u12", "u12", "u12"},
        {"control escape", "\\cJ", "a\nb", "\n"},
        {"back reference", "(a)\\1", "aa", "aa"},
        {"no such group: \\9 is the digit", "a\\9", "a9", "a9"},
        {"no such group: \\1 is octal", "a\\1", Text("a\x01", 2), Text("a\x01", 2)},
        {"octal beyond the groups", "(a)\\101", "aA", "aA"},
        {"lazy quantifier", "<(.+?)>", "<a><b>", "<a>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptRegex regex;
        ASSERT_TRUE(regex.Search(row.pattern, row.subject));
        if (row.firstMatch) {
            ASSERT_GE(regex.MatchCount(), 1);
            EXPECT_EQ(regex.MatchText(1), *row.firstMatch);
        } else {
            EXPECT_EQ(regex.MatchCount(), 0);
        }
    }
}

TEST(ScriptRegex, EmptyMatchesAdvance) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("", "ab"));
    EXPECT_EQ(regex.MatchCount(), 3);
    ASSERT_TRUE(regex.Search("a*", "baa"));
    ASSERT_EQ(regex.MatchCount(), 3);
    EXPECT_EQ(regex.MatchText(2), "aa");
}

TEST(ScriptRegex, CopySharesTheResultsOfItsTime) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("(b)", "abc"));
    ScriptRegex copy = regex;
    ASSERT_TRUE(regex.Search("x", "abc"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(copy.MatchCount(), 1);
    EXPECT_EQ(copy.SubMatchText(1, 1), "b");
    EXPECT_EQ(copy.GetPattern(), "(b)");
}

TEST(ScriptRegex, ThreadListRowsAsTheSourceReadsThem) {
    // Two Discuz!-style rows, titles 标题 and 中文 in GBK, mixed-case tags.
    const Text page = "<tr><th><a href=\"forum.php?mod=viewthread&amp;tid=101&amp;extra=page%3D1\" "
                      "onclick=\"atarget(this)\" class=\"s xst\">" +
                      kBiaoTi + "</a>\r\n</th></tr>\r\n<TR><TH><A HREF=\"forum.php?mod=viewthread&amp;tid=202&amp;" +
                      "extra=page%3D1\" CLASS=\"s xst\">" + kZhong + kWen + "</A></TH></TR>";
    ScriptRegex regex;
    ASSERT_TRUE(regex.Search("tid=(.*?)&amp;extra=[\\s\\S]*?class=\"s xst\">(.*?)</a>[\\s\\S]*?", page));
    ASSERT_EQ(regex.MatchCount(), 2);
    ASSERT_EQ(regex.SubMatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(1, 1), "101");
    EXPECT_EQ(regex.SubMatchText(1, 2), kBiaoTi);
    EXPECT_EQ(regex.SubMatchText(2, 1), "202");
    EXPECT_EQ(regex.SubMatchText(2, 2), kZhong + kWen);
}

}  // namespace
}  // namespace lumora
