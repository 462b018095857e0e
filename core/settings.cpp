#include "core/settings.h"

#include <cstdlib>
#include <sstream>

#include <toml++/toml.h>

#include "core/charset.h"

namespace lumora {
namespace {

struct SiteEntry {
    Site site;
    std::string_view name;
    std::string_view defaultBase;
};

// Built-in addresses: the sites as last known. Sites move; the settings file
// points any of them elsewhere.
constexpr SiteEntry kSites[kSiteCount] = {
    {Site::ZhuanKeBa, "赚客吧", "http://www.zuanke8.com"},
    {Site::FuLiBa, "福利吧", "http://www.wnflb.com"},
    {Site::QiangQiangWang, "抢抢网", "http://www.qiangqiang5.com"},
    {Site::XianBaoWu, "线报屋", "http://www.xianbaowu.com"},
    {Site::ZhuanKeZhiJia, "赚客之家", "http://www.zkzj.net"},
    {Site::XianBaoBa, "线报吧", "http://www.xianbaoba.com"},
    {Site::AiQShengHuo, "爱Q生活网", "http://www.iqshw.com"},
    {Site::XunBaoGe, "寻宝阁", "http://www.xunbaoge.com"},
    {Site::QingShengYuLe, "情圣娱乐网", "http://www.qingshengyule.com"},
    {Site::XiaoGaoJiaoXue, "小高教学网", "http://www.xiaogaojiaoxue.com"},
    {Site::HaoMaDuanZu, "号码短租", "http://api.haomaduanzu.com"},
    {Site::JingDongWuPin, "京东物品", "https://search.jd.com"},
};

constexpr std::string_view kDefaultUpdateUrl = "https://pan.baidu.com/s/lumora-update";

class SettingsError {
public:
    SettingsError(const std::filesystem::path& file, const toml::source_region& where, std::string_view key,
                  std::string_view what) {
        std::ostringstream text;
        text << file.string() << ':' << where.begin.line << ": key " << key << ": " << what;
        message = text.str();
    }
    std::string message;
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

std::size_t SchemeLength(std::string_view address) {
    if (StartsWithNoCase(address, "http://")) return 7;
    if (StartsWithNoCase(address, "https://")) return 8;
    return 0;
}

// Scheme and host (an optional port), nothing after; one trailing "/" is dropped.
std::optional<std::string> SiteAddress(std::string address) {
    if (!address.empty() && address.back() == '/') address.pop_back();
    std::size_t scheme = SchemeLength(address);
    if (scheme == 0 || address.size() == scheme) return std::nullopt;
    for (std::size_t i = scheme; i < address.size(); ++i) {
        auto c = static_cast<unsigned char>(address[i]);
        bool hostChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '-' || c == ':' || c == '[' || c == ']' || c == '_';
        if (!hostChar) return std::nullopt;
    }
    return address;
}

std::string StringValue(const std::filesystem::path& file, const toml::node& node, std::string_view key) {
    if (auto value = node.value<std::string>()) return *value;
    throw SettingsError(file, node.source(), key, "must be a string");
}

void ApplySection(const std::filesystem::path& file, Settings& settings, std::string_view section,
                  const toml::table& table) {
    for (const auto& [rawKey, node] : table) {
        std::string key(rawKey.str());
        std::string fullKey = std::string(section) + "." + key;
        if (section == "sites") {
            auto site = SiteFromName(key);
            if (!site) throw SettingsError(file, rawKey.source(), fullKey, "unknown site");
            auto address = SiteAddress(StringValue(file, node, fullKey));
            if (!address)
                throw SettingsError(file, node.source(), fullKey,
                                    "must be http:// or https:// followed by a host only");
            settings.siteBase[static_cast<int>(*site)] = *address;
        } else if (section == "sms" && key == "uid") {
            settings.smsUid = StringValue(file, node, fullKey);
        } else if (section == "sms" && key == "token") {
            settings.smsToken = StringValue(file, node, fullKey);
        } else if (section == "app" && key == "update_url") {
            std::string address = StringValue(file, node, fullKey);
            if (SchemeLength(address) == 0 || address.size() == SchemeLength(address))
                throw SettingsError(file, node.source(), fullKey, "must be an http:// or https:// address");
            settings.updateUrl = address;
        } else if (section == "app" && key == "browser") {
            settings.browser = StringValue(file, node, fullKey);
        } else if (section == "app" && key == "notify") {
            auto value = node.value<bool>();
            if (!value) throw SettingsError(file, node.source(), fullKey, "must be true or false");
            settings.notify = *value;
        } else if (section == "filter" && key == "exclude") {
            const toml::array* words = node.as_array();
            if (!words) throw SettingsError(file, node.source(), fullKey, "must be an array of strings");
            settings.exclude.clear();
            for (const auto& word : *words) {
                std::string utf8 = StringValue(file, word, fullKey);
                if (!utf8.empty()) settings.exclude.push_back(Utf8ToGbk(utf8));
            }
        } else {
            throw SettingsError(file, rawKey.source(), fullKey, "unknown key");
        }
    }
}

}  // namespace

std::string_view SiteName(Site site) { return kSites[static_cast<int>(site)].name; }

std::optional<Site> SiteFromName(std::string_view utf8Name) {
    for (const auto& entry : kSites)
        if (entry.name == utf8Name) return entry.site;
    return std::nullopt;
}

Settings DefaultSettings() {
    Settings settings;
    for (const auto& entry : kSites) settings.siteBase[static_cast<int>(entry.site)] = std::string(entry.defaultBase);
    settings.updateUrl = std::string(kDefaultUpdateUrl);
    settings.smsUid = "qq000000000";
    settings.smsToken = "0123456789abcdef0123456789abcdef";
    return settings;
}

SettingsLoad LoadSettingsFile(const std::filesystem::path& file) {
    SettingsLoad load{DefaultSettings(), std::nullopt, file};
    toml::table root;
    try {
        root = toml::parse_file(file.string());
    } catch (const toml::parse_error& error) {
        std::ostringstream text;
        text << file.string() << ':' << error.source().begin.line << ": " << error.description();
        load.error = text.str();
        return load;
    }
    try {
        Settings settings = DefaultSettings();
        for (const auto& [rawKey, node] : root) {
            std::string section(rawKey.str());
            const toml::table* table = node.as_table();
            if (section != "sites" && section != "sms" && section != "app" && section != "filter")
                throw SettingsError(file, rawKey.source(), section, "unknown section");
            if (!table) throw SettingsError(file, node.source(), section, "must be a table");
            ApplySection(file, settings, section, *table);
        }
        load.settings = std::move(settings);
    } catch (const SettingsError& error) {
        load.error = error.message;
    }
    return load;
}

SettingsLoad LoadSettings(const std::optional<std::filesystem::path>& configOption) {
    auto explicitFile = [](const std::filesystem::path& file) {
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(file, ignored))
            return SettingsLoad{DefaultSettings(), file.string() + ": no such settings file", file};
        return LoadSettingsFile(file);
    };
    if (configOption) return explicitFile(*configOption);
    if (const char* env = std::getenv("LUMORA_CONFIG"); env && *env) return explicitFile(env);

    std::filesystem::path folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        folder = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::filesystem::path(home) / ".config";
    if (!folder.empty()) {
        auto file = folder / "lumora" / "lumora.toml";
        std::error_code ignored;
        if (std::filesystem::exists(file, ignored)) return LoadSettingsFile(file);
    }
    return SettingsLoad{DefaultSettings(), std::nullopt, std::nullopt};
}

}  // namespace lumora
