#include <gtest/gtest.h>

#include "tests/support/temp_files.h"
#include "tests/ui/ui_support.h"
#include "ui/startup.h"

namespace lumora::test {
namespace {

TEST(StartupTest, CommandLineTakesAConfigFile) {
    ParsedStartup parsed = ParseStartupOptions({QStringLiteral("lumora"), QStringLiteral("--config"),
                                                QString::fromUtf8("/tmp/设置.toml")});
    EXPECT_TRUE(parsed.error.isEmpty());
    ASSERT_TRUE(parsed.options.config.has_value());
    EXPECT_EQ(parsed.options.config->string(), "/tmp/设置.toml");
    EXPECT_TRUE(parsed.options.screenshotDir.isEmpty());

    EXPECT_FALSE(ParseStartupOptions({QStringLiteral("lumora")}).options.config.has_value());
    EXPECT_FALSE(ParseStartupOptions({QStringLiteral("lumora"), QStringLiteral("--bogus")}).error.isEmpty());
    EXPECT_FALSE(ParseStartupOptions({QStringLiteral("lumora"), QStringLiteral("stray")}).error.isEmpty());
    EXPECT_FALSE(ParseStartupOptions({QStringLiteral("lumora"), QStringLiteral("--config")}).error.isEmpty());
}

TEST(StartupTest, BadSettingsAreShownAndTheWindowStartsOnTheDefaults) {
    TempDir dir;
    EnvGuard config("LUMORA_CONFIG", std::nullopt);
    EnvGuard xdg("XDG_CONFIG_HOME", dir.path().string());
    const auto file = dir.Write("bad.toml", "[sites]\n\"赚客吧\" = \"ftp://example.com\"\n");
    std::vector<QString> shown;
    const Settings settings = LoadWindowSettings(file, [&](const QString& message) { shown.push_back(message); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].contains(QString::fromStdString(file.string()))) << shown[0].toStdString();
    EXPECT_EQ(settings.siteBase, DefaultSettings().siteBase);

    const auto good = dir.Write("good.toml", "[sites]\n\"赚客吧\" = \"http://127.0.0.1:8080\"\n");
    shown.clear();
    EXPECT_EQ(LoadWindowSettings(good, [&](const QString& message) { shown.push_back(message); }).Base(Site::ZhuanKeBa),
              "http://127.0.0.1:8080");
    EXPECT_TRUE(shown.empty());

    shown.clear();
    LoadWindowSettings(dir.path() / "missing.toml", [&](const QString& message) { shown.push_back(message); });
    EXPECT_EQ(shown.size(), 1u) << "a named file that is not there is an error";
}

TEST(StartupTest, ScreenshotsOfEveryPage) {
    TempDir dir;
    WindowUnderTest ui;
    ui.window->show();
    const QString folder = QString::fromStdString((dir.path() / "shots").string());
    ASSERT_TRUE(SaveScreenshots(*ui.window, folder));
    for (int page = 1; page <= 13; ++page) {
        const QString file = folder + QStringLiteral("/page-%1.png").arg(page, 2, 10, QLatin1Char('0'));
        QImage picture(file);
        EXPECT_EQ(picture.size(), QSize(757, 473)) << file.toStdString();
    }
}

}  // namespace
}  // namespace lumora::test
