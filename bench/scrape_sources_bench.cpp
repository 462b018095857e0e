#include <fstream>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "core/escape_decoding.h"
#include "scrape/run_source.h"
#include "scrape/scrape_to_list.h"
#include "scrape/source_descriptor.h"

namespace lumora {
namespace {

std::string ReadBenchFile(const std::string& name) {
    std::ifstream in(std::string(BENCH_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// One click of the stored-page source: the whole run, 13 rows.
void BM_StoredLendingPageRun(benchmark::State& state) {
    const SourceDescriptor& source = *FindSource("理财活动");
    const Settings settings = DefaultSettings();
    for (auto _ : state) {
        SourceRows rows = RunSource(source, settings);
        benchmark::DoNotOptimize(rows);
        state.counters["rows"] = static_cast<double>(rows.size());
    }
}
BENCHMARK(BM_StoredLendingPageRun)->Unit(benchmark::kMicrosecond);

// Decoding and matching a forum list of state.range(0) saved pages end to end
// (about 9 KB and 5 threads each): a site's page grown to several hundred KB
// still gives every row within the regex's work limit.
void BM_ForumListDecodeAndMatch(benchmark::State& state) {
    const SourceDescriptor& source = *FindSource("线报吧");
    const std::string one = ReadBenchFile("scrape_xianbaoba_forumdisplay.html");
    Text page;
    for (int i = 0; i < state.range(0); ++i) page += one;
    for (auto _ : state) {
        SourceRows rows = MatchRows(DecodeUnicodeEscapes(page), Text(source.pattern));
        benchmark::DoNotOptimize(rows);
        state.counters["rows"] = static_cast<double>(rows.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_ForumListDecodeAndMatch)->Arg(1)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumora
