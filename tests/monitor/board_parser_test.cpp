#include "monitor/board_parser.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/board_pages.h"

namespace lumora {
namespace {

PostRecord Expected(Site site, const std::string& base, int id) {
    const test::BoardPost post = test::ExpectedPost(site, base, id);
    return {post.title, {}, post.category, post.author, post.link};
}

const Site kBoardSites[] = {Site::ZhuanKeBa, Site::FuLiBa, Site::QiangQiangWang, Site::XianBaoWu,
                            Site::ZhuanKeZhiJia};

TEST(BoardParserTest, BuiltPagesGiveTheirPostsBack) {
    const std::string base = "http://127.0.0.1:18080";
    for (const Site site : kBoardSites) {
        for (const int count : {0, 1, 12, 35, 60}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(site)) + " with " + std::to_string(count));
            const KeywordList keywords;
            std::vector<PostRecord> posts;
            EXPECT_EQ(ParseBoardPage(site, base, keywords, posts, Bytes(test::BoardPage(site, base, count, 101))),
                      count);
            ASSERT_EQ(posts.size(), static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(posts[static_cast<std::size_t>(i)], Expected(site, base, 101 + i));
            }
        }
    }
}

TEST(BoardParserTest, KeywordsKeepTheOddPostsOfBuiltPages) {
    const std::string base = "http://127.0.0.1:18080";
    const KeywordList keywords("\xBA\xEC\xB0\xFC\r\n");  // 红包: the odd ids
    for (const Site site : kBoardSites) {
        SCOPED_TRACE(static_cast<int>(site));
        std::vector<PostRecord> posts;
        EXPECT_EQ(ParseBoardPage(site, base, keywords, posts, Bytes(test::BoardPage(site, base, 10))), 10);
        ASSERT_EQ(posts.size(), 5u);
        EXPECT_EQ(posts[0], Expected(site, base, 1));
        EXPECT_EQ(posts[4], Expected(site, base, 9));
    }
}

TEST(BoardParserTest, SitesWithoutABoardParser) {
    const KeywordList keywords;
    std::vector<PostRecord> posts;
    const Bytes page(test::ForumPage(Site::ZhuanKeBa, "http://x.example", 3));
    EXPECT_EQ(ParseBoardPage(Site::XianBaoBa, "http://x.example", keywords, posts, page), 0);
    EXPECT_EQ(ParseBoardPage(Site::JingDongWuPin, "http://x.example", keywords, posts, page), 0);
    EXPECT_TRUE(posts.empty());
}

TEST(BoardParserTest, ForumPageIsOfRealisticSize) {
    const std::size_t size = test::ForumPage(Site::ZhuanKeBa, "http://www.example.com", 50).size();
    EXPECT_GT(size, 140u * 1024);
    EXPECT_LT(size, 160u * 1024);
}

}  // namespace
}  // namespace lumora
