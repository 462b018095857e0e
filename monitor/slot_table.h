#pragma once

#include <array>
#include <string_view>

#include "core/settings.h"

namespace lumora {

/// One row of the fixed slot table: which board a slot watches and the form
/// names (UTF-8) of its controls on the main window.
struct SlotDescriptor {
    int number;                  // 1 to 9
    Site site;                   // picks the parser and the paging rule
    std::string_view tabPage;    // the page its controls belong to
    std::string_view addressBox;
    std::string_view defaultPath;  // after the site's base address
    std::string_view intervalBox;
    std::string_view grid;
    std::string_view startButton;
    std::string_view stopButton;
};

inline constexpr int kSlotCount = 9;
inline constexpr int kGridTagBase = 90;  // slot N's grid carries tag 90 + N

inline constexpr std::array<SlotDescriptor, kSlotCount> kSlotTable = {{
    {1, Site::ZhuanKeBa, "活动线报", "编辑框1", "/forum-19-1.html", "编辑框2", "高级表格1", "单选框1", "按钮2"},
    {2, Site::ZhuanKeBa, "大家谈", "编辑框3", "/forum-15-1.html", "编辑框4", "高级表格2", "单选框2", "按钮4"},
    {3, Site::ZhuanKeBa, "活动线报", "编辑框5", "/forum-31-1.html", "编辑框6", "高级表格3", "单选框3", "按钮6"},
    {4, Site::ZhuanKeBa, "活动线报", "编辑框7", "/forum-11-1.html", "编辑框8", "高级表格4", "单选框4", "按钮8"},
    {5, Site::ZhuanKeBa, "赚品交换", "编辑框10", "/forum-25-1.html", "编辑框9", "高级表格5", "单选框5", "按钮9"},
    {6, Site::FuLiBa, "活动线报", "编辑框12", "/forum-37-1.html", "编辑框11", "高级表格6", "单选框6", "按钮1"},
    {7, Site::QiangQiangWang, "活动线报", "编辑框13", "/forum-96-1.html", "编辑框14", "高级表格7", "单选框7", "按钮3"},
    {8, Site::XianBaoWu, "线报屋", "编辑框15", "/sitemap.php", "编辑框16", "高级表格8", "单选框8", "按钮5"},
    {9, Site::ZhuanKeZhiJia, "赚客之家", "编辑框17", "/sort/huodong/page/1", "编辑框18", "高级表格9", "单选框9", "按钮7"},
}};

/// nullptr for a number outside 1 to 9.
inline const SlotDescriptor* FindSlot(int number) {
    return (number >= 1 && number <= kSlotCount) ? &kSlotTable[static_cast<std::size_t>(number - 1)] : nullptr;
}

}  // namespace lumora
