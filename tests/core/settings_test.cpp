#include "core/settings.h"

#include <gtest/gtest.h>

#include "support/temp_files.h"

namespace lumora {
namespace {

using test::EnvGuard;
using test::TempDir;

TEST(Settings, DefaultsCoverEverySite) {
    Settings defaults = DefaultSettings();
    for (int i = 0; i < kSiteCount; ++i) {
        auto site = static_cast<Site>(i);
        SCOPED_TRACE(std::string(SiteName(site)));
        EXPECT_EQ(SiteFromName(SiteName(site)), site);
        const std::string& base = defaults.Base(site);
        EXPECT_TRUE(base.rfind("http://", 0) == 0 || base.rfind("https://", 0) == 0);
        EXPECT_NE(base.back(), '/');
    }
    EXPECT_FALSE(defaults.updateUrl.empty());
    EXPECT_EQ(defaults.smsUid.size(), 11u);
    EXPECT_EQ(defaults.smsToken.size(), 32u);
    EXPECT_TRUE(defaults.browser.empty());
    EXPECT_TRUE(defaults.notify);
}

TEST(Settings, FileOverridesDefaults) {
    TempDir dir;
    auto file = dir.Write("lumora.toml", R"([sites]
"赚客吧" = "http://127.0.0.1:8080/"
"赚客之家" = "HTTPS://example.test:8443"
[sms]
uid = "qq123456789"
token = "ffffffffffffffffffffffffffffffff"
[app]
update_url = "http://127.0.0.1/update"
browser = "firefox"
notify = false
[filter]
exclude = ["求", "有没有", ""]
)");
    SettingsLoad load = LoadSettingsFile(file);
    ASSERT_FALSE(load.error) << *load.error;
    EXPECT_EQ(load.settings.Base(Site::ZhuanKeBa), "http://127.0.0.1:8080");  // trailing "/" dropped
    EXPECT_EQ(load.settings.Base(Site::ZhuanKeZhiJia), "HTTPS://example.test:8443");
    EXPECT_EQ(load.settings.Base(Site::FuLiBa), DefaultSettings().Base(Site::FuLiBa));
    EXPECT_EQ(load.settings.smsUid, "qq123456789");
    EXPECT_EQ(load.settings.browser, "firefox");
    EXPECT_EQ(load.settings.updateUrl, "http://127.0.0.1/update");
    EXPECT_FALSE(load.settings.notify);
    // GBK 求, 有没有; the empty word is dropped, it would exclude every post.
    EXPECT_EQ(load.settings.exclude, (std::vector<std::string>{"\xC7\xF3", "\xD3\xD0\xC3\xBB\xD3\xD0"}));
}

TEST(Settings, ErrorsNameFileLineAndKey) {
    struct Row {
        const char* name;
        std::string toml;
        std::string lineAndKey;  // expected after the file name
    };
    const Row rows[] = {
        {"not TOML", "[sites]\n\"赚客吧\" = \n", ":2:"},
        {"unknown site", "[sites]\n\"某网\" = \"http://a.test\"\n", ":2: key sites.某网: unknown site"},
        {"unknown key", "[app]\nbrowser = \"\"\ncolour = 1\n", ":3: key app.colour: unknown key"},
        {"unknown section", "[extra]\na = 1\n", ":1: key extra: unknown section"},
        {"not http", "[sites]\n\"福利吧\" = \"ftp://a.test\"\n", ":2: key sites.福利吧: must be http"},
        {"a path after the host", "[sites]\n\"福利吧\" = \"http://a.test/forum\"\n", ":2: key sites.福利吧: must be http"},
        {"no host", "[sites]\n\"福利吧\" = \"http://\"\n", ":2: key sites.福利吧: must be http"},
        {"wrong type", "[sms]\nuid = 5\n", ":2: key sms.uid: must be a string"},
        {"notify not bool", "[app]\nnotify = \"no\"\n", ":2: key app.notify: must be true or false"},
        {"exclude not a list", "[filter]\nexclude = \"x\"\n", ":2: key filter.exclude: must be an array"},
        {"exclude of numbers", "[filter]\nexclude = [1]\n", ":2: key filter.exclude: must be a string"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        auto file = dir.Write("bad.toml", row.toml);
        SettingsLoad load = LoadSettingsFile(file);
        ASSERT_TRUE(load.error);
        EXPECT_NE(load.error->find(file.string() + row.lineAndKey), std::string::npos) << *load.error;
        // A bad file leaves every value at its default.
        EXPECT_EQ(load.settings.Base(Site::FuLiBa), DefaultSettings().Base(Site::FuLiBa));
    }
}

TEST(Settings, FoundByOptionThenEnvironmentThenXdg) {
    TempDir dir;
    auto optionFile = dir.Write("option.toml", "[app]\nbrowser = \"option\"\n");
    auto envFile = dir.Write("env.toml", "[app]\nbrowser = \"env\"\n");
    dir.Write("xdg/lumora/lumora.toml", "[app]\nbrowser = \"xdg\"\n");
    dir.Write("home/.config/lumora/lumora.toml", "[app]\nbrowser = \"home\"\n");

    EnvGuard home("HOME", (dir.path() / "home").string());
    {
        EnvGuard env("LUMORA_CONFIG", envFile.string());
        EnvGuard xdg("XDG_CONFIG_HOME", (dir.path() / "xdg").string());
        EXPECT_EQ(LoadSettings(optionFile).settings.browser, "option");
        EXPECT_EQ(LoadSettings(std::nullopt).settings.browser, "env");
    }
    {
        EnvGuard env("LUMORA_CONFIG", std::nullopt);
        EnvGuard xdg("XDG_CONFIG_HOME", (dir.path() / "xdg").string());
        EXPECT_EQ(LoadSettings(std::nullopt).settings.browser, "xdg");
    }
    {
        EnvGuard env("LUMORA_CONFIG", std::nullopt);
        EnvGuard xdg("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(LoadSettings(std::nullopt).settings.browser, "home");
    }
    {
        EnvGuard env("LUMORA_CONFIG", std::nullopt);
        EnvGuard xdg("XDG_CONFIG_HOME", (dir.path() / "nothing").string());
        SettingsLoad load = LoadSettings(std::nullopt);
        EXPECT_FALSE(load.error);
        EXPECT_FALSE(load.file);
        EXPECT_EQ(load.settings.browser, "");
    }
    SettingsLoad missing = LoadSettings(dir.path() / "absent.toml");
    ASSERT_TRUE(missing.error);
    EXPECT_NE(missing.error->find("absent.toml"), std::string::npos);
}

}  // namespace
}  // namespace lumora
