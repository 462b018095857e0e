#pragma once

#include <string>
#include <vector>

#include "core/charset.h"
#include "core/settings.h"
#include "scrape/scrape_to_list.h"

namespace lumora::test {

using Utf8Rows = std::vector<std::vector<std::string>>;

inline Utf8Rows ToUtf8(const SourceRows& rows) {
    Utf8Rows out;
    for (const auto& row : rows) {
        auto& cells = out.emplace_back();
        for (const Text& cell : row) cells.push_back(GbkToUtf8(cell));
    }
    return out;
}

inline constexpr const char* kUid = "qq123456789";
inline constexpr const char* kToken = "0123456789abcdef0123456789abcdef";

/// Every site of the settings at one base address, with a platform account.
inline Settings SettingsAt(const std::string& base) {
    Settings settings = DefaultSettings();
    for (std::string& site : settings.siteBase) site = base;
    settings.smsUid = kUid;
    settings.smsToken = kToken;
    return settings;
}

}  // namespace lumora::test
