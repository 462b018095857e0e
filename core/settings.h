#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

/// Every site the program reads. Ids are stable; names are the sites' own.
enum class Site {
    ZhuanKeBa,       // 赚客吧
    FuLiBa,          // 福利吧
    QiangQiangWang,  // 抢抢网
    XianBaoWu,       // 线报屋
    ZhuanKeZhiJia,   // 赚客之家
    XianBaoBa,       // 线报吧
    AiQShengHuo,     // 爱Q生活网
    XunBaoGe,        // 寻宝阁
    QingShengYuLe,   // 情圣娱乐网
    XiaoGaoJiaoXue,  // 小高教学网
    HaoMaDuanZu,     // 号码短租 (the SMS platform)
    JingDongWuPin,   // 京东物品 (the shopping search)
};
inline constexpr int kSiteCount = 12;

/// The site's name as the program shows it and as the settings file keys it (UTF-8).
std::string_view SiteName(Site site);
std::optional<Site> SiteFromName(std::string_view utf8Name);

/// Addresses and accounts; built-in defaults overridden by a read-only TOML file.
/// Site addresses are scheme and host without a trailing "/", plain ASCII.
struct Settings {
    std::array<std::string, kSiteCount> siteBase;
    std::string updateUrl;
    std::string smsUid;
    std::string smsToken;
    std::string browser;  // empty: the desktop's default
    bool notify = true;
    std::vector<std::string> exclude;  // GBK; a kept post whose title holds one is dropped

    const std::string& Base(Site site) const { return siteBase[static_cast<int>(site)]; }
};

/// The built-in table.
Settings DefaultSettings();

struct SettingsLoad {
    Settings settings;              // the defaults when error is set
    std::optional<std::string> error;  // "FILE:LINE: key K: what is wrong" (UTF-8)
    std::optional<std::filesystem::path> file;  // the file read, if any
};

/// Reads one TOML file over the defaults.
SettingsLoad LoadSettingsFile(const std::filesystem::path& file);

/// Finds the file as --config, else $LUMORA_CONFIG, else
/// $XDG_CONFIG_HOME/lumora/lumora.toml (or ~/.config/lumora/lumora.toml);
/// none present gives the defaults. An explicit path that does not exist is an error.
SettingsLoad LoadSettings(const std::optional<std::filesystem::path>& configOption);

}  // namespace lumora
