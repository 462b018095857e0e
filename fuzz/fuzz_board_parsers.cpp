// The five list layouts with a keyword list taken from the input. The first
// byte picks the layout; the rest up to the first NUL is the keyword text, and
// everything after it the page (which may hold further NULs).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "monitor/board_parser.h"
#include "monitor/keyword_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr lumora::Site kLayouts[] = {lumora::Site::ZhuanKeBa, lumora::Site::FuLiBa,
                                                lumora::Site::QiangQiangWang, lumora::Site::XianBaoWu,
                                                lumora::Site::ZhuanKeZhiJia};
    const lumora::Site site = kLayouts[data[0] % 5];
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t nul = input.find('\0');
    std::string_view keywordText = input.substr(0, nul);
    std::string_view page = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

    const lumora::KeywordList keywords{lumora::Text(keywordText)};
    std::vector<lumora::PostRecord> posts;
    int blocks = lumora::ParseBoardPage(site, "http://127.0.0.1:8080", keywords, posts,
                                        lumora::Bytes(page.data(), page.size()));
    if (blocks < 0 || posts.size() > static_cast<std::size_t>(blocks)) __builtin_trap();
    return 0;
}
