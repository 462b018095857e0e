#include "web/cookie_text.h"

#include <string>

#include <gtest/gtest.h>

namespace lumora {
namespace {

// "#引号" in GBK.
const Text kQuote = "#\xD2\xFD\xBA\xC5";

TEST(TextBetween, CutsBetweenTheMarkers) {
    struct Row {
        const char* name;
        Text text;
        Text left;
        Text right;
        int start;
        bool caseSensitive;
        Text expected;
    };
    const Row rows[] = {
        {"set-cookie pair keeps the space after the colon", "Set-Cookie: sid=ab12; path=/; HttpOnly", "Set-Cookie:", ";", 0,
         false, " sid=ab12"},
        {"no right marker after the left", "Set-Cookie: sid=ab12", "Set-Cookie:", ";", 0, false, ""},
        {"left marker at the very end", "x=1; Set-Cookie:", "Set-Cookie:", ";", 0, false, ""},
        {"right marker only before the left", "a;Set-Cookie: b", "Set-Cookie:", ";", 0, false, ""},
        {"left marker missing", "Content-Type: text/html", "Set-Cookie:", ";", 0, false, ""},
        {"left found without regard to case", "set-cookie: a=1; path=/", "Set-Cookie:", ";", 0, false, " a=1"},
        {"case-sensitive misses other case", "set-cookie: a=1; path=/", "Set-Cookie:", ";", 0, true, ""},
        {"first occurrence of each", "<b>one</b><b>two</b>", "<b>", "</b>", 0, false, "one"},
        {"start skips an earlier left", "k=1;k=22;", "k=", ";", 3, false, "22"},
        {"start also applies within the rest", "xx;ab=1;", "ab=", ";", 3, false, ""},
        // B0 41 is one double-byte character whose trail byte reads as "A".
        {"never matches on a trail byte", "\xB0" "A=1;A=2;", "A=", ";", 0, true, "2"},
        {"empty text", "", "a", "b", 0, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Text left = row.left;
        Text right = row.right;
        EXPECT_EQ(TextBetween(row.text, left, right, row.start, row.caseSensitive), row.expected);
        EXPECT_EQ(left, row.left);
        EXPECT_EQ(right, row.right);
    }
}

TEST(TextBetween, QuotePlaceholderFindsADoubleQuoteAndIsWrittenBack) {
    Text left = "value=" + kQuote;
    Text right = kQuote;
    EXPECT_EQ(TextBetween(R"(<input value="42" />)", left, right), "42");
    EXPECT_EQ(left, "value=\"");
    EXPECT_EQ(right, "\"");

    Text twice = kQuote + "x" + kQuote;
    Text end = ";";
    EXPECT_EQ(TextBetween(R"(a "x"=1;)", twice, end), "=1");
    EXPECT_EQ(twice, "\"x\"");
}

TEST(TextBetweenFrom, CutsFromTheLeftMarkerToTheEnd) {
    struct Row {
        const char* name;
        Text text;
        int position;
        Text left;
        Text marker;
        bool searchMarker;
        Text end;
        bool ignoreCase;
        bool includeLeft;
        Text expected;
        int positionAfter;
        Text markerAfter;
    };
    const Row rows[] = {
        {"entry of a name", "a=1; b=2; c=3;", 0, "b", "", false, ";", true, true, "b=2", 6, "b"},
        {"runs to the end without an end marker", "a=1; b=2", 0, "b", "", false, ";", true, true, "b=2", 6, "b"},
        {"left not found", "a=1;", 0, "z", "old", false, ";", true, true, "", -1, "old"},
        {"without the left marker", "a=1; b=2;", 0, "b=", "", false, ";", true, false, "2", 8, "b="},
        {"from a given position", "a=1; a=2;", 3, "a", "", false, ";", true, true, "a=2", 6, "a"},
        {"case folded by default", "A=1; B=2;", 0, "b", "", false, ";", true, true, "B=2", 6, "b"},
        {"case kept when asked", "A=1; B=2;", 0, "b", "", false, ";", false, true, "", -1, ""},
        {"searched marker bounds the end search", "<a href=x>t</a>", 0, "<a", "href=", true, ">", true, true,
         "<a href=x", 1, "href="},
        {"searched marker missing", "<a name=x>t</a>", 0, "<a", "href=", true, ">", true, true, "", -1, "href="},
        {"end right after the marker", "k=;", 0, "k=", "", false, ";", true, true, "k=", 1, "k="},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int position = row.position;
        Text marker = row.marker;
        EXPECT_EQ(TextBetweenFrom(row.text, position, row.left, marker, row.searchMarker, row.end, row.ignoreCase,
                                  row.includeLeft),
                  row.expected);
        EXPECT_EQ(position, row.positionAfter);
        EXPECT_EQ(marker, row.markerAfter);
    }
}

TEST(MergeCookies, FoldsReceivedPairsIntoCanonicalCookieText) {
    struct Row {
        const char* name;
        Text cookies;
        Text received;
        Text expected;
        Text receivedAfter;
    };
    const Row rows[] = {
        {"nothing to merge", "", "", "", ""},
        {"rewritten in canonical form when nothing arrives", "a=1;b=2", "", "a=1; b=2;", ""},
        {"=deleted value removes the entry", "a=1; x=5;", "x=deleted;", "a=1;", "x=deleted;"},
        {"empty value removes the entry", "a=1; x=5;", "x=;", "a=1;", "x=;"},
        {"kept entries need no =", "a=1; HttpOnly;", "", "a=1; HttpOnly;", ""},
        {"received pieces without = are ignored", "a=1;", "HttpOnly;", "a=1;", "HttpOnly;"},
        {"an empty piece survives as an empty entry", "a=1;;b=2", "", "a=1; ; b=2;", ""},
        {"name matched as a plain substring", "sid=abc; id=1;", "id=2;", "sid=2; id=1;", "id=2;"},
        {"leading space keeps a second entry", "c=1;", "b=2; c=3; ", "c=1; b=2; c=3;", "b=2; c=3;"},
        {"empty name replaces the first entry", "a=1; b=2;", "=9;", "=9; b=2;", "=9;"},
        {"current entry replaced wherever it occurs", "a=1; a=1;", "a=2;", "a=2; a=2;", "a=2;"},
        {"worked example", "a=1; b=2", "b=3; c=4; ", "a=1; b=3; c=4;", "b=3; c=4;"},
        {"new pairs into empty cookies", "", "a=1; b=2; ", "a=1; b=2;", "a=1; b=2;"},
        {"received without final semicolon", "a=1;", "a=2", "a=2;", "a=2;"},
        {"case folded when matching names", "SID=1;", "sid=2;", "sid=2;", "sid=2;"},
        {"received empty entry", "a=1;", "; ", "a=1;", ";"},
        {"full-width spaces trimmed", "\xA1\xA1" "a=1\xA1\xA1", "", "a=1;", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Text cookies = row.cookies;
        Text received = row.received;
        Text returned = MergeCookies(cookies, received);
        EXPECT_EQ(cookies, row.expected);
        EXPECT_EQ(returned, row.expected);
        EXPECT_EQ(received, row.receivedAfter);
    }
}

TEST(MergeCookies, AHostileReplacementCannotBlowTheTextUp) {
    // Two thousand entries ending in "z", then a pair named "z" whose 60 kB value
    // would replace every one of them.
    Text cookies;
    for (int i = 0; i < 2000; ++i) cookies += "b" + std::to_string(i) + "=z; ";
    Text before = cookies;
    Text received = "z=" + std::string(60000, 'y') + "; n=1;";
    MergeCookies(cookies, received);
    EXPECT_LE(cookies.size(), kMaxCookieTextBytes);
    Text canonical = before;
    canonical.pop_back();
    EXPECT_EQ(cookies, canonical + " n=1;") << "the oversized pair is skipped, the next one still merges";
}

}  // namespace
}  // namespace lumora
