#include "scrape/source_descriptor.h"

#include "core/charset.h"
#include "scrape/source_address.h"

namespace lumora {
namespace {

std::string ProjectList(const SourceDescriptor&, const Settings& settings, const SourceInputs& inputs) {
    return ProjectListAddress(settings, inputs.page);
}

std::string PriceSearch(const SourceDescriptor&, const Settings& settings, const SourceInputs& inputs) {
    return PriceSearchAddress(settings, inputs.item, inputs.price);
}

// The patterns stand byte for byte as the sites' pages need them; raw literals
// keep their quotes and backslashes readable.

// A Discuz! thread list: the thread number from the first link of a thread,
// the title from its "s xst" link.
constexpr std::string_view kXianBaoBaPattern = R"re(tid=(.*?)&amp;extra=[\s\S]*?class="s xst">(.*?)</a>[\s\S]*?)re";

constexpr std::string_view kAiQPattern = R"re(</i><a href="(.*?)" title="(.*?)" target=)re";

// Only thumbnails indented by eight tabs are articles of the home page's list.
constexpr std::string_view kXunBaoGePattern =
    "\t\t\t\t\t\t\t\t"
    R"re(<a href="(.*?)" class="post-thumbnail" [\s\S]*?" alt="(.*?)" width="[\s\S]*?)re";

// "/info/?" makes the slash optional: the cell keeps the "?" of "/info/?123.html".
constexpr std::string_view kQingShengPattern =
    R"re(a style="" href="/info/?(.*?)" target="_blank" title="[\s\S]*?target="_blank" title="(.*?)">[\s\S]*?)re";

constexpr std::string_view kXiaoGaoPattern = R"re(" title="(.*?)</a></li>[\s\S]*?<li><a href="(.*?)" title="[\s\S]*?)re";

constexpr std::string_view kLendingPattern =
    R"re(alt="(.*?)" width="440[\s\S]*?" target="_blank" class="f_link">(.*?)</a>)re"
    "\xA1\xBF"  // 】
    R"re([\s\S]*?<a href="/product/(.*?)"[\s\S]*?)re";

constexpr std::string_view kPriceSearchPattern = R"re(title="(.*?)" href="//(.*?)"[\s\S]*?</em><i>(.*?)</i></strong>)re";

constexpr std::string_view kProjectListPattern =
    R"re(projectName":"(.*?)","[\s\S]*?website":"(.*?)","ydphone[\s\S]*?)re";

constexpr SourceInputBoxes kNoInputs{};

constexpr SourceDescriptor kSources[] = {
    {"小高教学网", "单选框11", "超级列表框2", {{{"活动标题", 380}, {"活动地址", 350}}}, 2, {255, 0, 0}, kNoInputs,
     PageFetch::WebRequest, "GET", Site::XiaoGaoJiaoXue, "/", FixedAddress, PageDecoding::Utf8ToAnsi,
     kXiaoGaoPattern},
    {"爱Q生活网", "单选框12", "超级列表框3", {{{"活动标题", 380}, {"发稿时间", 350}}}, 2, {255, 0, 0}, kNoInputs,
     PageFetch::WebRequest, "GET", Site::AiQShengHuo, "", FixedAddress, PageDecoding::UnicodeEscapes, kAiQPattern},
    {"线报吧", "单选框15", "超级列表框6", {{{"活动编号", 120}, {"活动名称", 610}}}, 2, {255, 128, 0}, kNoInputs,
     PageFetch::WebRequest, "GET", Site::XianBaoBa, "/forum.php?mod=forumdisplay&fid=36&filter=lastpost&orderby=lastpost",
     FixedAddress, PageDecoding::UnicodeEscapes, kXianBaoBaPattern},
    {"情圣娱乐网", "单选框16", "超级列表框7", {{{"活动编号", 120}, {"活动名称", 610}}}, 2, {60, 182, 196}, kNoInputs,
     PageFetch::WebRequest, "GET", Site::QingShengYuLe, "/channel/?HuoDongZiXun.html", FixedAddress,
     PageDecoding::Utf8ToAnsi, kQingShengPattern},
    {"寻宝阁", "单选框17", "超级列表框8", {{{"活动编号", 230}, {"活动名称", 500}}}, 2, {144, 0, 255}, kNoInputs,
     PageFetch::WebRequest, "GET", Site::XunBaoGe, "/", FixedAddress, PageDecoding::Utf8ToAnsi, kXunBaoGePattern},
    {"理财活动", "按钮15", "超级列表框9", {{{"活动奖励", 250}, {"活动名字", 230}, {"活动ID", 250}}}, 3, {192, 96, 0},
     kNoInputs, PageFetch::StoredPage, "", std::nullopt, "", nullptr, PageDecoding::None, kLendingPattern},
    {"京东物品", "单选框14", "超级列表框4", {{{"物品名字", 390}, {"活动地址（物品ID）", 220}, {"价格", 120}}}, 3,
     {192, 96, 0}, {.page = "", .item = "编辑框22", .price = "编辑框23"}, PageFetch::HttpReadPage, "GET", Site::JingDongWuPin, "",
     PriceSearch, PageDecoding::Utf8ToAnsi, kPriceSearchPattern},
    {"号码短租", "单选框10", "超级列表框1", {{{"项目名字", 150}, {"活动地址", 580}}}, 2, {255, 0, 0},
     {.page = "编辑框20", .item = "", .price = ""}, PageFetch::WebRequest, "GET", Site::HaoMaDuanZu, "", ProjectList,
     PageDecoding::Utf8ToAnsi, kProjectListPattern},
};

}  // namespace

std::span<const SourceDescriptor> Sources() { return kSources; }

const SourceDescriptor* FindSource(std::string_view page) {
    for (const SourceDescriptor& source : kSources)
        if (source.page == page) return &source;
    return nullptr;
}

std::vector<ListView::Column> ListColumns(const SourceDescriptor& source) {
    std::vector<ListView::Column> columns;
    for (const SourceColumn& column : source.columns()) columns.push_back({Utf8ToGbk(column.title), column.width});
    return columns;
}

}  // namespace lumora
