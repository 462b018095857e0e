#include "scrape/scrape_to_list.h"

#include <gtest/gtest.h>

#include "scrape_support.h"

namespace lumora {
namespace {

using test::ToUtf8;
using test::Utf8Rows;

ListView MakeList() { return ListView("超级列表框6", {{"a", 120}, {"b", 610}}, {255, 128, 0}); }

TEST(ScrapeToList, OneRowPerMatchInPageOrderOneCellPerGroup) {
    ListView list = MakeList();
    ScrapeToList("<a href=\"1\">one</a> <a href=\"2\">two</a>\n<a href=\"3\">three</a>", R"re(href="(.*?)">(.*?)</a>)re", list);
    EXPECT_EQ(list.Rows(), (std::vector<std::vector<Text>>{{"1", "one"}, {"2", "two"}, {"3", "three"}}));
}

TEST(ScrapeToList, AppendsAfterExistingRowsWithoutClearingSortingOrDroppingDuplicates) {
    ListView list = MakeList();
    list.SetCell(list.InsertRow(), 0, "kept");
    const Text page = "<i>b</i><i>a</i><i>b</i>";
    ScrapeToList(page, "<i>(.*?)</i>", list);
    ScrapeToList(page, "<i>(.*?)</i>", list);
    ASSERT_EQ(list.RowCount(), 7);
    EXPECT_EQ(list.Cell(0, 0), "kept");
    const Text expected[] = {"b", "a", "b", "b", "a", "b"};
    for (int row = 1; row < 7; ++row) EXPECT_EQ(list.Cell(row, 0), expected[row - 1]) << row;
}

TEST(MatchRows, CellsFollowTheGroupCountAndGroupsThatTookNoPartAreEmpty) {
    EXPECT_EQ(MatchRows("xy x1y", "x(1)?(y)"), (SourceRows{{"", "y"}, {"1", "y"}}));
    // Three groups give three cells whatever the list's columns.
    ListView list = MakeList();
    ScrapeToList("a-b-c", "(a)-(b)-(c)", list);
    EXPECT_EQ(list.Rows(), (std::vector<std::vector<Text>>{{"a", "b", "c"}}));
    // A pattern without groups gives one empty row per match.
    EXPECT_EQ(MatchRows("aXa", "a"), (SourceRows{{}, {}}));
}

TEST(MatchRows, CaseIsIgnoredAndDotStopsAtALineFeed) {
    EXPECT_EQ(ToUtf8(MatchRows("<A HREF=\"/x\">", R"re(<a href="(.*?)">)re")), (Utf8Rows{{"/x"}}));
    EXPECT_TRUE(MatchRows("<b>one\ntwo</b>", "<b>(.*?)</b>").empty());
    EXPECT_EQ(MatchRows("<b>one\ntwo</b>", R"re(<b>([\s\S]*?)</b>)re"), (SourceRows{{"one\ntwo"}}));
}

TEST(MatchRows, GbkTextComesBackAsGbk) {
    // 活动 = BB EE B6 AF; 标题 = B1 EA CC E2
    const Text page = "<li>\xBB\xEE\xB6\xAF</li><li>\xB1\xEA\xCC\xE2</li>";
    EXPECT_EQ(MatchRows(page, "<li>(.*?)</li>"), (SourceRows{{"\xBB\xEE\xB6\xAF"}, {"\xB1\xEA\xCC\xE2"}}));
}

TEST(ScrapeToList, NothingIsAddedForNoMatchAnEmptyPageABadPatternOrARunawayMatch) {
    struct Case {
        const char* name;
        Text page;
        Text pattern;
    };
    const Case cases[] = {
        {"no match", "<p>nothing here</p>", "<li>(.*?)</li>"},
        {"empty page", "", "<li>(.*?)</li>"},
        {"unbalanced pattern", "<li>x</li>", "<li>((.*?)</li>"},
        {"runaway backtracking", std::string(40, 'a'), "(a+)+b"},
        {"truncated lead byte", "<li>\xBB", "<li>(.*?)</li>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListView list = MakeList();
        list.SetCell(list.InsertRow(), 1, "before");
        ScrapeToList(c.page, c.pattern, list);
        EXPECT_EQ(list.Rows(), (std::vector<std::vector<Text>>{{"", "before"}}));
    }
}

}  // namespace
}  // namespace lumora
