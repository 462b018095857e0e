#pragma once

#include <span>
#include <string_view>

#include "controls/list_view.h"
#include "core/settings.h"
#include "core/text.h"

namespace lumora {

enum class ListActionKind { Copy, Open, Clear };

/// One item of a scrape list's popup menu. Copy and Open work on the text
/// built from the list's selected row (cells of no row read as empty); Clear
/// empties the list.
struct ListMenuAction {
    std::string_view menu;  // UTF-8
    std::string_view item;  // UTF-8
    std::string_view list;  // the list view's form name
    ListActionKind kind;
    Text (*build)(const ListView& list, const Settings& settings);
};

std::span<const ListMenuAction> ListMenuActions();

/// The text an item builds, exactly as the cells stand (GBK).
Text BuildListActionText(const ListMenuAction& action, const ListView& list, const Settings& settings);

}  // namespace lumora
