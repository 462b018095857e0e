#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "monitor/board_parser.h"
#include "monitor/keyword_filter.h"
#include "support/board_pages.h"

namespace lumora {
namespace {

// GBK: 红包 (odd ids of the page builders), 签到 (even ids)
const Text kOdd = "\xBA\xEC\xB0\xFC\r\n";
const Text kEven = "\xC7\xA9\xB5\xBD\r\n";

// The post id in a link of the page builders: ".../thread-N-1-1.html" or ".../post-N.html".
int IdOf(const PostRecord& post) {
    for (const std::string marker : {"/thread-", "/post-"}) {
        const std::size_t at = post.link.rfind(marker);
        if (at != std::string::npos) {
            return std::atoi(post.link.c_str() + at + marker.size());
        }
    }
    return -1;
}

PostRecord Expected(Site site, const std::string& base, int id) {
    const test::BoardPost post = test::ExpectedPost(site, base, id);
    return {post.title, {}, post.category, post.author, post.link};
}

TEST(KeywordSwapTest, ParsersOnThreadsReadKeywordsWhileTheyChange) {
    const std::vector<Site> sites = {Site::ZhuanKeBa, Site::FuLiBa, Site::QiangQiangWang, Site::XianBaoWu,
                                     Site::ZhuanKeZhiJia};
    KeywordList keywords(kOdd);
    std::atomic<int> parsersLeft{static_cast<int>(sites.size())};
    std::atomic<int> swaps{0};
    std::vector<int> wrongPosts(sites.size(), 0);
    std::vector<int> pagesParsed(sites.size(), 0);

    std::thread writer([&] {
        // Swaps between values that keep disjoint halves, plus the empty value.
        const Text values[] = {kEven, "", kOdd};
        for (int i = 0; parsersLeft.load() > 0; ++i) {
            keywords.Set(values[i % 3]);
            swaps.fetch_add(1);
        }
    });
    std::vector<std::thread> parsers;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        parsers.emplace_back([&, i] {
            const Site site = sites[i];
            // Each thread has its own base, so link patterns are compiled concurrently.
            const std::string base = "http://127.0.0." + std::to_string(i + 1) + ":8080";
            const Bytes page(test::BoardPage(site, base, 50));
            for (int round = 0; round < 60 || (round < 2000 && swaps.load() < 100); ++round) {
                std::vector<PostRecord> posts;
                if (ParseBoardPage(site, base, keywords, posts, page) != 50 || posts.size() > 50) {
                    ++wrongPosts[i];
                }
                for (const PostRecord& post : posts) {
                    if (post != Expected(site, base, IdOf(post))) {
                        ++wrongPosts[i];
                    }
                }
                ++pagesParsed[i];
            }
            parsersLeft.fetch_sub(1);
        });
    }
    for (std::thread& parser : parsers) {
        parser.join();
    }
    writer.join();

    for (std::size_t i = 0; i < sites.size(); ++i) {
        SCOPED_TRACE(static_cast<int>(i));
        EXPECT_EQ(wrongPosts[i], 0);
        EXPECT_GE(pagesParsed[i], 60);
    }
    EXPECT_GT(swaps.load(), 0);

    // Once the writer is done, every parse sees its last value.
    keywords.Set(kEven);
    std::vector<PostRecord> posts;
    const std::string base = "http://b.example";
    ParseBoardPage(Site::FuLiBa, base, keywords, posts, Bytes(test::ForumPage(Site::FuLiBa, base, 10)));
    ASSERT_EQ(posts.size(), 5u);
    for (const PostRecord& post : posts) {
        EXPECT_EQ(IdOf(post) % 2, 0) << post.link;
    }
}

}  // namespace
}  // namespace lumora
