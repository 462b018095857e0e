#pragma once

#include <array>
#include <span>
#include <string_view>

#include "controls/list_view.h"

namespace lumora {

/// The main window's fixed layout, one table: which control lies on which page,
/// where, with which caption. Texts are UTF-8; places are from the tab
/// control's corner (the pages cover the whole control).
enum class ControlKind { Label, EditBox, Button, Radio, Grid, ListView };

struct Place {
    int left, top, width, height;
};

struct ControlSpec {
    std::string_view name;  // form name; empty for the notice labels of the scrape pages and their input captions
    ControlKind kind;
    std::string_view page;
    Place place;
    std::string_view caption;  // label, button and radio text; an edit box's initial text
    bool hidden = false;
};

struct ListColumnSpec {
    std::string_view title;
    int width;
};

/// One scrape page: its list view, columns, text colour, start control and
/// the popup menu of its list (empty: none).
struct ScrapePageSpec {
    std::string_view page;
    std::string_view list;
    std::array<ListColumnSpec, 3> columns;
    int columnCount;
    ListView::Colour colour;
    std::string_view startControl;
    std::string_view menu;
};

/// A hidden top-level menu, used only as a popup.
struct PopupMenuSpec {
    std::string_view name;
    std::array<std::string_view, 3> items;
    int itemCount;
};

inline constexpr std::string_view kMainCaption = "Lumora 活动线报采集工具V1.0  by:Tessaly";
inline constexpr int kMainWidth = 757;
inline constexpr int kMainHeight = 473;
inline constexpr std::string_view kTabControlName = "活动线报";
inline constexpr Place kTabControlPlace{-1, 0, 753, 424};
inline constexpr std::string_view kTrayMenu = "托盘";
inline constexpr std::string_view kQuitItem = "退出";
inline constexpr std::string_view kTrayTip = "ok";
/// Controls at or below this top on a page lie under the tab control's edge.
inline constexpr int kOutOfSightTop = 448;

std::span<const std::string_view> PageCaptions();
std::span<const ControlSpec> ControlSpecs();
std::span<const ScrapePageSpec> ScrapePageSpecs();
std::span<const PopupMenuSpec> PopupMenuSpecs();

}  // namespace lumora
