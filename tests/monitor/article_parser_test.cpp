#include "monitor/article_parser.h"

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
    ParseArticleList(kBase, keywords, posts, Bytes(page));
    return posts;
}

std::string Fixture() { return test::WithBase(test::ReadDataFile("article_list.html"), kBase); }

// The UTF-8 page comes out in GBK; titles keep the space before "<h2>".
const std::vector<PostRecord> kArticleList = {
    // " 招商银行 红包 领取" | 活动 | 站长
    Post(" \xD5\xD0\xC9\xCC\xD2\xF8\xD0\xD0 \xBA\xEC\xB0\xFC \xC1\xEC\xC8\xA1", "\xBB\xEE\xB6\xAF", "\xD5\xBE\xB3\xA4",
         kBase + "/post-3101.html"),
    // " QQ 音乐 会员 7 天" | 活动 | 小编
    Post(" QQ \xD2\xF4\xC0\xD6 \xBB\xE1\xD4\xB1 7 \xCC\xEC", "\xBB\xEE\xB6\xAF", "\xD0\xA1\xB1\xE0",
         kBase + "/post-3102.html"),
    // <h2> written without the space before it: empty title | 活动 | 站长
    Post("", "\xBB\xEE\xB6\xAF", "\xD5\xBE\xB3\xA4", kBase + "/post-3103.html"),
    // " emoji ? 红包" (GBK has no 🧧) | 羊毛 | Café (é is A8 A6 in GBK)
    Post(" emoji ? \xBA\xEC\xB0\xFC", "\xD1\xF2\xC3\xAB", "Caf\xA8\xA6", kBase + "/post-3104.html"),
};

TEST(ArticleParserTest, FixturePageGivesEveryArticle) {
    const KeywordList keywords;
    std::vector<PostRecord> posts;
    EXPECT_EQ(ParseArticleList(kBase, keywords, posts, Bytes(Fixture())), 4);
    EXPECT_EQ(posts, kArticleList);
}

TEST(ArticleParserTest, KeywordsApplyToTheConvertedTitle) {
    // 红包 (GBK): found in the converted titles only.
    EXPECT_EQ(Parse(Fixture(), "\xBA\xEC\xB0\xFC\r\n"), (std::vector<PostRecord>{kArticleList[0], kArticleList[3]}));
    // The title written without the space is empty, so no keyword keeps it.
    EXPECT_EQ(Parse(Fixture(), "\r\n").size(), 3u);
}

TEST(ArticleParserTest, PagesWithoutArticles) {
    struct Row {
        const char* name;
        std::string page;
    };
    const std::vector<Row> rows = {
        {"empty page", ""},
        {"no article element", "<html><body><div class=\"content\"><p>nothing</p></div></body></html>"},
        {"unclosed article", "<article class=\"excerpt\"><header><h2>x</h2>"},
        {"not UTF-8", std::string("\xFF\xFE<\x00a\x00r\x00t\x00", 10)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const KeywordList keywords;
        std::vector<PostRecord> posts;
        EXPECT_EQ(ParseArticleList(kBase, keywords, posts, Bytes(row.page)), 0);
        EXPECT_TRUE(posts.empty());
    }
}

TEST(ArticleParserTest, MalformedUtf8IsConvertedNotRefused) {
    // A stray continuation byte and a truncated sequence inside the title.
    const std::string page = "<article class=\"a\"><a class=\"cat\" href=\"c\">x</a> <h2><a href=\"" + kBase +
                             "/post-1.html\" title=\"t\">A\x80" "B\xE7\xBA</a></h2></article>";
    const std::vector<PostRecord> posts = Parse(page);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].link, kBase + "/post-1.html");
    EXPECT_EQ(posts[0].title.substr(0, 2), " A");
    EXPECT_NE(posts[0].title.find('B'), std::string::npos);
}

}  // namespace
}  // namespace lumora
