#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "monitor/article_parser.h"
#include "monitor/forum_parser.h"
#include "monitor/sitemap_parser.h"
#include "tests/support/board_pages.h"

namespace {

using lumora::Bytes;
using lumora::KeywordList;
using lumora::PostRecord;
using lumora::Site;

const std::string kBase = "http://www.example.com";

// A whole list page as the monitors fetch it: 50 threads, about 150 KB.
void BM_ParseForumList(benchmark::State& state) {
    const auto site = static_cast<Site>(state.range(0));
    const Bytes page(lumora::test::ForumPage(site, kBase, 50));
    const KeywordList keywords(state.range(1) != 0 ? "\xBA\xEC\xB0\xFC\r\nQQ\r\n" : "");  // 红包, QQ
    std::vector<PostRecord> posts;
    for (auto _ : state) {
        posts.clear();
        lumora::ParseForumList(site, kBase, keywords, posts, page);
        benchmark::DoNotOptimize(posts.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
    state.counters["posts"] = static_cast<double>(posts.size());
}
BENCHMARK(BM_ParseForumList)
    ->ArgNames({"site", "keywords"})
    ->Args({static_cast<int>(Site::ZhuanKeBa), 0})
    ->Args({static_cast<int>(Site::ZhuanKeBa), 1})
    ->Args({static_cast<int>(Site::FuLiBa), 0})
    ->Args({static_cast<int>(Site::QiangQiangWang), 0})
    ->Unit(benchmark::kMicrosecond);

void BM_ParseSitemapList(benchmark::State& state) {
    const Bytes page(lumora::test::SitemapPage(kBase, 50));
    const KeywordList keywords;
    std::vector<PostRecord> posts;
    for (auto _ : state) {
        posts.clear();
        lumora::ParseSitemapList(kBase, keywords, posts, page);
        benchmark::DoNotOptimize(posts.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ParseSitemapList)->Unit(benchmark::kMicrosecond);

void BM_ParseArticleList(benchmark::State& state) {
    const Bytes page(lumora::test::ArticlePage(kBase, 50));
    const KeywordList keywords;
    std::vector<PostRecord> posts;
    for (auto _ : state) {
        posts.clear();
        lumora::ParseArticleList(kBase, keywords, posts, page);
        benchmark::DoNotOptimize(posts.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ParseArticleList)->Unit(benchmark::kMicrosecond);

}  // namespace
