#include <string>

#include <benchmark/benchmark.h>

#include "core/board_pattern.h"
#include "tests/support/board_pages.h"

namespace {

using lumora::BoardPattern;

// A 50-thread list page of about 150 KB, the size the monitors fetch.
const std::string& ThreadListPage() {
    static const std::string page = lumora::test::ForumPage(lumora::Site::ZhuanKeBa, "http://www.example.com", 50);
    return page;
}

void BM_FindAllThreadBlocks(benchmark::State& state) {
    const std::string& page = ThreadListPage();
    BoardPattern block;
    block.Compile("<tbody id=\"normalthread_.*?\">.*?</tbody>", false);
    for (auto _ : state) {
        auto matches = block.FindAll(page);
        benchmark::DoNotOptimize(matches.data());
        if (matches.size() != 50) {
            state.SkipWithError("wrong block count");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_FindAllThreadBlocks);

void BM_StripTags(benchmark::State& state) {
    const std::string& page = ThreadListPage();
    const BoardPattern tag("<.*?>");
    for (auto _ : state) {
        auto text = lumora::ReplaceAllMatches(page, tag, "");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_StripTags);

}  // namespace
