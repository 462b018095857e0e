#include "monitor/forum_parser.h"

#include <chrono>
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

std::vector<PostRecord> Parse(Site site, const std::string& page, const Text& keywordText = {},
                              const std::string& base = kBase) {
    const KeywordList keywords(keywordText);
    std::vector<PostRecord> posts;
    ParseForumList(site, base, keywords, posts, Bytes(page));
    return posts;
}

std::string Fixture(const std::string& name) { return test::WithBase(test::ReadDataFile(name), kBase); }

// The fields keep the line breaks and the text that stand between their
// start and end markers: the category everything from the block's start, the
// title everything inside <th> before the title link.
const std::vector<PostRecord> kZhuanKeList = {
    // "\r\n\r\n预览\r\n[话费] 联通话费红包 50元" | "…预览\r\n[话费]" | 老王
    Post("\r\n\r\n\xD4\xA4\xC0\xC0\r\n[\xBB\xB0\xB7\xD1] \xC1\xAA\xCD\xA8\xBB\xB0\xB7\xD1\xBA\xEC\xB0\xFC 50\xD4\xAA",
         "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\xD4\xA4\xC0\xC0\r\n[\xBB\xB0\xB7\xD1]", "\xC0\xCF\xCD\xF5",
         kBase + "/thread-700101-1-1.html"),
    // "\r\n\r\n预览\r\n[网购] 京东 qq 会员领取" | "…预览\r\n[网购]" | 小李
    Post("\r\n\r\n\xD4\xA4\xC0\xC0\r\n[\xCD\xF8\xB9\xBA] \xBE\xA9\xB6\xAB qq \xBB\xE1\xD4\xB1\xC1\xEC\xC8\xA1",
         "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\xD4\xA4\xC0\xC0\r\n[\xCD\xF8\xB9\xBA]", "\xD0\xA1\xC0\xEE",
         kBase + "/thread-700102-1-1.html"),
    // "\r\n\r\n[郵费] QQ 音乐绿钻 7天" (郵 ends in the byte "]") | "…[郵费]" | Ｊａｃｋ
    Post("\r\n\r\n[\xE0]\xB7\xD1] QQ \xD2\xF4\xC0\xD6\xC2\xCC\xD7\xEA 7\xCC\xEC",
         "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[\xE0]\xB7\xD1]", "\xA3\xCA\xA3\xE1\xA3\xE3\xA3\xEB",
         kBase + "/thread-700103-1-1.html"),
    // "\r\n[话费] 全角ＱＱ福利　红包" | "…[话费]" | 老王
    Post("\r\n[\xBB\xB0\xB7\xD1] \xC8\xAB\xBD\xC7\xA3\xD1\xA3\xD1\xB8\xA3\xC0\xFB\xA1\xA1\xBA\xEC\xB0\xFC",
         "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[\xBB\xB0\xB7\xD1]", "\xC0\xCF\xCD\xF5", kBase + "/thread-700104-1-1.html"),
    // "\r\n没有分类的帖子": no category link, and an author cite the pattern cannot read
    Post("\r\n\xC3\xBB\xD3\xD0\xB7\xD6\xC0\xE0\xB5\xC4\xCC\xFB\xD7\xD3", "", "", kBase + "/thread-700105-1-1.html"),
};

const std::vector<PostRecord> kFuLiList = {
    // "\r\n[红包] 支付宝红包 每天可领" | "…[红包]" | 阿福
    Post("\r\n[\xBA\xEC\xB0\xFC] \xD6\xA7\xB8\xB6\xB1\xA6\xBA\xEC\xB0\xFC \xC3\xBF\xCC\xEC\xBF\xC9\xC1\xEC",
         "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[\xBA\xEC\xB0\xFC]", "\xB0\xA2\xB8\xA3", kBase + "/thread-800201-1-1.html"),
    // "\r\n[游戏] qq飞车 礼包" | "…[游戏]" | Tom
    Post("\r\n[\xD3\xCE\xCF\xB7] qq\xB7\xC9\xB3\xB5 \xC0\xF1\xB0\xFC", "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[\xD3\xCE\xCF\xB7]",
         "Tom", kBase + "/thread-800202-1-1.html"),
};

const std::vector<PostRecord> kQiangQiangList = {
    // "\r\n[话费] 移动话费 红包雨" | "…[话费]" | 抢手; the first link of the block is an ad elsewhere
    Post("\r\n[\xBB\xB0\xB7\xD1] \xD2\xC6\xB6\xAF\xBB\xB0\xB7\xD1 \xBA\xEC\xB0\xFC\xD3\xEA",
         "\r\n\r\n\r\n\r\n\r\n\r\n[\xBB\xB0\xB7\xD1]", "\xC7\xC0\xCA\xD6", kBase + "/thread-900301-1-1.html"),
    // "\r\n[其他] QQ会员 一个月" | "…[其他]" | 小抢
    Post("\r\n[\xC6\xE4\xCB\xFB] QQ\xBB\xE1\xD4\xB1 \xD2\xBB\xB8\xF6\xD4\xC2", "\r\n\r\n\r\n\r\n\r\n\r\n[\xC6\xE4\xCB\xFB]",
         "\xD0\xA1\xC7\xC0", kBase + "/thread-900302-1-1.html"),
};

TEST(ForumParserTest, FixturePagesGiveTheirNormalThreadsInPageOrder) {
    struct Row {
        const char* name;
        Site site;
        const char* fixture;
        const std::vector<PostRecord>* expected;
    };
    const std::vector<Row> rows = {
        {"zhuanke", Site::ZhuanKeBa, "forum_zhuanke_list.html", &kZhuanKeList},
        {"fuli", Site::FuLiBa, "forum_fuli_list.html", &kFuLiList},
        {"qiangqiang", Site::QiangQiangWang, "forum_qiangqiang_list.html", &kQiangQiangList},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const KeywordList keywords;
        std::vector<PostRecord> posts;
        const int blocks = ParseForumList(row.site, kBase, keywords, posts, Bytes(Fixture(row.fixture)));
        EXPECT_EQ(blocks, static_cast<int>(row.expected->size()));
        EXPECT_EQ(posts, *row.expected);
    }
}

TEST(ForumParserTest, KeywordsAreCaseSensitive) {
    // 红包 and QQ: "qq" alone is dropped, full-width ＱＱ is no QQ, a title with 红包 is kept.
    const Text keywords = "\xBA\xEC\xB0\xFC\r\nQQ\r\n";
    const std::vector<PostRecord> posts = Parse(Site::ZhuanKeBa, Fixture("forum_zhuanke_list.html"), keywords);
    EXPECT_EQ(posts, (std::vector<PostRecord>{kZhuanKeList[0], kZhuanKeList[2], kZhuanKeList[3]}));

    EXPECT_EQ(Parse(Site::FuLiBa, Fixture("forum_fuli_list.html"), keywords),
              std::vector<PostRecord>{kFuLiList[0]});
}

TEST(ForumParserTest, AppendsToWhatThePostListHolds) {
    const KeywordList keywords;
    std::vector<PostRecord> posts = {Post("earlier", "", "", "")};
    ParseForumList(Site::FuLiBa, kBase, keywords, posts, Bytes(Fixture("forum_fuli_list.html")));
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].title, "earlier");
    EXPECT_EQ(posts[2], kFuLiList[1]);
}

// One thread block around the given <th> content and author cell.
std::string Block(const std::string& th, const std::string& by = "<cite><a href=\"space-uid-1.html\">a</a></cite>") {
    return "<tbody id=\"normalthread_1\"><tr><th class=\"new\">" + th + "</th><td class=\"by\">" + by +
           "</td></tr></tbody>";
}

TEST(ForumParserTest, FieldsFromSmallBlocks) {
    struct Row {
        const char* name;
        Site site;
        std::string base;
        std::string page;
        PostRecord expected;
    };
    const std::string cat = "<em>[<a href=\"f.php?filter=typeid&amp;typeid=1\">c</a>]</em>";
    const std::vector<Row> rows = {
        {"every block is a post, also one without a title", Site::ZhuanKeBa, kBase, Block(""),
         Post("", "", "a", "")},
        {"fuli relative link gets the base and a slash", Site::FuLiBa, kBase,
         Block(cat + "<a href=\"thread-123-1-1.html\" class=\"s xst\">t</a>"),
         Post("[c]t", "[c]", "a", kBase + "/thread-123-1-1.html")},
        {"fuli block without a thread link", Site::FuLiBa, kBase, Block(cat), Post("", "[c]", "a", kBase + "/")},
        {"zhuanke two spaces before class", Site::ZhuanKeBa, kBase,
         Block("<a href=\"http://z.example/thread-9-1-1.html\"  class=\"s xst\">t</a>"),
         Post("t", "", "a", "http://z.example/thread-9-1-1.html")},
        {"zhuanke title with one space is not read", Site::ZhuanKeBa, kBase,
         Block("<a href=\"http://z.example/thread-9-1-1.html\" class=\"s xst\">t</a>"),
         Post("", "", "a", "http://z.example/thread-9-1-1.html")},
        {"link loses href= in any case and every quote", Site::ZhuanKeBa, kBase,
         Block("<a HREF=\"http://z.example/thread-9.html?a=Href=&q=\"  class=\"s\">t</a>"),
         Post("t", "", "a", "http://z.example/thread-9.html?a=&q=")},
        {"qiangqiang link only under its base", Site::QiangQiangWang, kBase,
         Block("<a href=\"http://other.example/thread-1.html\">x</a><a href=\"" + kBase +
               "/thread-2-1-1.html\" class=\"s\">t</a>"),
         Post("xt", "", "a", kBase + "/thread-2-1-1.html")},
        {"qiangqiang base dots are pattern dots", Site::QiangQiangWang, "http://q.example",
         Block("<a href=\"http://qxexample/thread-3.html\" class=\"s\">t</a>"),
         Post("t", "", "a", "http://qxexample/thread-3.html")},
        {"qiangqiang base other metacharacters are literal", Site::QiangQiangWang, "http://a+b.example",
         Block("<a href=\"http://aab.example/thread-4.html\">x</a><a href=\"http://a+b.example/thread-5.html\" "
               "class=\"s\">t</a>"),
         Post("xt", "", "a", "http://a+b.example/thread-5.html")},
        {"qiangqiang base with a bracket still matches", Site::QiangQiangWang, "http://[::1]:8080",
         Block("<a href=\"http://[::1]:8080/thread-6.html\" class=\"s\">t</a>"),
         Post("t", "", "a", "http://[::1]:8080/thread-6.html")},
        {"upper-case markup", Site::FuLiBa, kBase,
         "<TBODY ID=\"NORMALTHREAD_1\"><TH><EM>[<A HREF=\"F?FILTER=TYPEID&AMP;TYPEID=2\">C</A>]</EM>"
         "<A HREF=\"THREAD-1.HTML\" CLASS=\"S\">T</A></TH><CITE><A HREF=\"U\">A</A></CITE></TBODY>",
         Post("[C]T", "[C]", "A", kBase + "/THREAD-1.HTML")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Parse(row.site, row.page, {}, row.base), std::vector<PostRecord>{row.expected});
    }
}

TEST(ForumParserTest, PagesWithoutThreadBlocks) {
    struct Row {
        const char* name;
        std::string page;
    };
    const std::vector<Row> rows = {
        {"empty page", ""},
        {"sticky threads only", test::ForumPage(Site::ZhuanKeBa, kBase, 0)},
        {"other layout", test::SitemapPage(kBase, 3)},
        {"block after a NUL byte", std::string("<html>\0", 7) + Block("x")},
        {"unclosed block", "<tbody id=\"normalthread_1\"><tr><th>x</th>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const KeywordList keywords;
        std::vector<PostRecord> posts;
        EXPECT_EQ(ParseForumList(Site::ZhuanKeBa, kBase, keywords, posts, Bytes(row.page)), 0);
        EXPECT_TRUE(posts.empty());
    }
}

TEST(ForumParserTest, OtherSitesAreNotForumVariants) {
    const KeywordList keywords;
    std::vector<PostRecord> posts;
    const Bytes page(test::ForumPage(Site::ZhuanKeBa, kBase, 5));
    EXPECT_EQ(ParseForumList(Site::XianBaoWu, kBase, keywords, posts, page), 0);
    EXPECT_EQ(ParseForumList(Site::XianBaoBa, kBase, keywords, posts, page), 0);
    EXPECT_TRUE(posts.empty());
}

TEST(ForumParserTest, TruncatedPageKeepsTheWholeBlocks) {
    const std::string page = test::ForumPage(Site::FuLiBa, kBase, 10);
    // Cut inside the eighth block, on a lead byte of its title.
    const std::string eighth = "normalthread_8\"";
    const std::size_t cut = page.find(test::detail::kGbkTip, page.find(eighth));
    ASSERT_NE(cut, std::string::npos);
    const std::vector<PostRecord> posts = Parse(Site::FuLiBa, page.substr(0, cut + 1));
    ASSERT_EQ(posts.size(), 7u);
    EXPECT_EQ(posts[6].link, kBase + "/thread-7-1-1.html");
}

TEST(ForumParserTest, HostilePageEndsWithNoPosts) {
    // Thousands of blocks that never close: each search runs into the
    // engine's limit instead of scanning the page once per block start.
    std::string page;
    while (page.size() < 150 * 1024) {
        page += "<tbody id=\"normalthread_1\"><th><a href=\"thread-1.html\" class=\"s\">t</a></th>";
    }
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(Parse(Site::FuLiBa, page).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

}  // namespace
}  // namespace lumora
