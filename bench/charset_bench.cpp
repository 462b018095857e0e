#include <string>

#include <benchmark/benchmark.h>

#include "core/charset.h"
#include "tests/support/board_pages.h"

namespace {

// A 150 KB UTF-8 page: the article list the 赚客之家 monitor converts.
const std::string& Utf8Page() {
    static const std::string page = [] {
        std::string text;
        while (text.size() < 150 * 1024) text += lumora::test::ArticlePage("http://www.example.com", 40);
        return text.substr(0, 150 * 1024 - 8);
    }();
    return page;
}

void BM_Utf8ToAnsiBytes(benchmark::State& state) {
    const lumora::Bytes page(Utf8Page());
    for (auto _ : state) {
        auto text = lumora::Utf8ToAnsi(page);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_Utf8ToAnsiBytes);

void BM_Utf8ToAnsiText(benchmark::State& state) {
    const lumora::Text page = Utf8Page();
    for (auto _ : state) {
        auto text = lumora::Utf8ToAnsi(page);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_Utf8ToAnsiText);

void BM_GbkToUtf8(benchmark::State& state) {
    const lumora::Text page = lumora::Utf8ToAnsi(lumora::Bytes(Utf8Page()));
    for (auto _ : state) {
        auto text = lumora::GbkToUtf8(page);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_GbkToUtf8);

}  // namespace
