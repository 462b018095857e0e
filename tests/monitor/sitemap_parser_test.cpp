#include "monitor/sitemap_parser.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/board_pages.h"
#include "support/temp_files.h"

namespace lumora {
namespace {

const std::string kBase = "http://127.0.0.1:8080";

PostRecord Post(Text title, Text category, Text author, Text link) {
    return {std::move(title), {}, std::move(category), std::move(author), std::move(link)};
}

std::vector<PostRecord> Parse(const std::string& page, const Text& keywordText = {}) {
    const KeywordList keywords(keywordText);
    std::vector<PostRecord> posts;
    ParseSitemapList(kBase, keywords, posts, Bytes(page));
    return posts;
}

// Titles keep the space after "</em>"; categories lose every "]".
const std::vector<PostRecord> kSitemapList = {
    // " 话费充值 红包" | 话费 | 屋主
    Post(" \xBB\xB0\xB7\xD1\xB3\xE4\xD6\xB5 \xBA\xEC\xB0\xFC", "\xBB\xB0\xB7\xD1", "\xCE\xDD\xD6\xF7",
         kBase + "/thread-5501-1-1.html"),
    // " 包郵 9.9" (郵 is E0 5D and keeps its "]" in the title) | 郵费 without the trail byte of 郵 | 淘淘
    Post(" \xB0\xFC\xE0] 9.9", "\xE0\xB7\xD1", "\xCC\xD4\xCC\xD4", kBase + "/thread-5502-1-1.html"),
    // " qq炫舞 新手礼包" | 游戏 | Ａｍｙ
    Post(" qq\xEC\xC5\xCE\xE8 \xD0\xC2\xCA\xD6\xC0\xF1\xB0\xFC", "\xD3\xCE\xCF\xB7", "\xA3\xC1\xA3\xED\xA3\xF9",
         kBase + "/thread-5503-1-1.html"),
    // " 镜像站 红包": its thread link is on another host, so the link is empty
    Post(" \xBE\xB5\xCF\xF1\xD5\xBE \xBA\xEC\xB0\xFC", "\xBB\xB0\xB7\xD1", "\xCE\xDD\xD6\xF7", ""),
};

TEST(SitemapParserTest, FixturePageGivesEveryItem) {
    const KeywordList keywords;
    std::vector<PostRecord> posts;
    const std::string page = test::WithBase(test::ReadDataFile("sitemap_list.html"), kBase);
    EXPECT_EQ(ParseSitemapList(kBase, keywords, posts, Bytes(page)), 4);
    EXPECT_EQ(posts, kSitemapList);
}

TEST(SitemapParserTest, TitlesWithoutAKeywordAreDropped) {
    const std::string page = test::WithBase(test::ReadDataFile("sitemap_list.html"), kBase);
    // 红包 and QQ
    EXPECT_EQ(Parse(page, "\xBA\xEC\xB0\xFC\r\nQQ\r\n"), (std::vector<PostRecord>{kSitemapList[0], kSitemapList[3]}));
    EXPECT_TRUE(Parse(page, "nothing\r\n").empty());
}

TEST(SitemapParserTest, CategoryLosesEveryClosingBracket) {
    // "[a]b]" inside the category link: each "]" goes, the "[" stays.
    const std::string page = "<li><em>[<a href=\"" + kBase + "/forum-1-1.html\">[a]b]</a>]</em> <a href=\"" + kBase +
                             "/thread-1-1-1.html\" title=\"t\">t</a></li>";
    EXPECT_EQ(Parse(page), std::vector<PostRecord>{Post(" t", "[ab", "", kBase + "/thread-1-1-1.html")});
}

TEST(SitemapParserTest, PagesWithoutItems) {
    for (const std::string& page : {std::string(), test::ForumPage(Site::ZhuanKeBa, kBase, 3),
                                    std::string("<ul><li>plain</li></ul>"),
                                    std::string("\0", 1) + test::SitemapPage(kBase, 3)}) {
        const KeywordList keywords;
        std::vector<PostRecord> posts;
        EXPECT_EQ(ParseSitemapList(kBase, keywords, posts, Bytes(page)), 0);
        EXPECT_TRUE(posts.empty());
    }
}

}  // namespace
}  // namespace lumora
