#include <string>

#include <benchmark/benchmark.h>

#include "core/charset.h"
#include "core/escape_decoding.h"
#include "core/script_regex.h"

namespace lumora {
namespace {

constexpr std::size_t kPageBytes = 200 * 1024;
constexpr int kRows = 50;

// A Discuz!-style thread list of about 200 KB in GBK with kRows thread rows,
// each padded with the cells and Chinese text a real list carries.
Text ThreadListPage() {
    Text page = Utf8ToGbk("<html><head><title>活动线报 - 线报吧</title></head><body>\r\n<table id=\"threadlisttableid\">\r\n");
    const Text filler = Utf8ToGbk(
        "<td class=\"by\"><cite><a href=\"space-uid-1.html\" c=\"1\">会员昵称</a></cite>"
        "<em><span>2024-5-1 12:30</span></em></td>\r\n"
        "<td class=\"num\"><a href=\"thread.html\" class=\"xi2\">12</a><em>345</em></td>\r\n"
        "<td class=\"by\"><cite><a href=\"space-username.html\">最后发表</a></cite>"
        "<em><a href=\"forum.php?mod=redirect&amp;goto=lastpost\">2024-5-1 13:00</a></em></td>\r\n");
    for (int row = 0; row < kRows; ++row) {
        const std::string tid = std::to_string(1000000 + row * 37);
        page += Utf8ToGbk("<tbody id=\"normalthread_" + tid + "\">\r\n<tr>\r\n<td class=\"icn\"><a href=\"thread-" + tid +
                          "-1-1.html\" title=\"有新回复 - 新窗口打开\" target=\"_blank\"><img src=\"folder_new.gif\" /></a>"
                          "</td>\r\n<th class=\"new\"><em>[<a href=\"forum.php?mod=forumdisplay&amp;fid=2&amp;typeid=1\">"
                          "线报</a>]</em> <a href=\"forum.php?mod=viewthread&amp;tid=" +
                          tid + "&amp;extra=page%3D1\" onclick=\"atarget(this)\" class=\"s xst\">某银行信用卡活动第" +
                          std::to_string(row) + "期 领取立减金 速度</a>\r\n</th>\r\n");
        const std::size_t target = kPageBytes * static_cast<std::size_t>(row + 1) / kRows;
        while (page.size() + filler.size() < target) page += filler;
        page += "</tr>\r\n</tbody>\r\n";
    }
    page += "</table></body></html>\r\n";
    return page;
}

void BM_ThreadListSearch(benchmark::State& state) {
    const Text page = ThreadListPage();
    const Text pattern = "tid=(.*?)&amp;extra=[\\s\\S]*?class=\"s xst\">(.*?)</a>[\\s\\S]*?";
    std::size_t cells = 0;
    for (auto _ : state) {
        ScriptRegex regex;
        regex.Search(pattern, page);
        const int matches = regex.MatchCount();
        const int groups = regex.SubMatchCount();
        for (int i = 1; i <= matches; ++i) {
            for (int j = 1; j <= groups; ++j) {
                Text cell = regex.SubMatchText(i, j);
                cells += cell.size();
                benchmark::DoNotOptimize(cell);
            }
        }
        if (matches != kRows || groups != 2) state.SkipWithError("wrong match count");
    }
    benchmark::DoNotOptimize(cells);
    state.counters["page_bytes"] = static_cast<double>(page.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ThreadListSearch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// About 200 KB of a script-escaped listing: JSON rows whose Chinese is \uXXXX.
Text EscapedListing() {
    Text text;
    int row = 0;
    while (text.size() < kPageBytes) {
        text += "{\"id\":" + std::to_string(row++) +
                ",\"title\":\"\\u94f6\\u884c\\u6d3b\\u52a8\\u7acb\\u51cf\\u91d1 50%25 off\","
                "\"url\":\"https:\\/\\/example.invalid\\/a?b=1&c=2\",\"note\":\"plain ascii text here\"},\r\n";
    }
    return text;
}

void BM_DecodeUnicodeEscapes(benchmark::State& state) {
    const Text text = EscapedListing();
    for (auto _ : state) {
        Text decoded = DecodeUnicodeEscapes(text);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DecodeUnicodeEscapes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lumora
