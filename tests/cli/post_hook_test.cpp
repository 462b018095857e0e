#include "cli/post_hook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_files.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

TEST(PostHook, AHungCommandIsKilledAtItsLimit) {
    test::TempDir dir;
    auto after = dir.path() / "after";
    PostHook hook("sleep 10; touch '" + after.string() + "'", 4, 200ms);
    auto before = std::chrono::steady_clock::now();
    hook.Run({{"LUMORA_TITLE", "x"}});
    hook.Drain();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 3s);
    EXPECT_FALSE(std::filesystem::exists(after));
}

TEST(PostHook, AtMostFourAtATime) {
    test::TempDir dir;
    // Each run holds a slot for a while; a fifth concurrent one would see five
    // marker files at once.
    std::string script = "touch \"$DIR/$LUMORA_SLOT\"; ls \"$DIR\" | wc -l >> \"$DIR.counts\"; sleep 0.2; rm \"$DIR/$LUMORA_SLOT\"";
    {
        test::EnvGuard env("DIR", dir.path().string());
        PostHook hook(script, 4, 5s);
        for (int i = 0; i < 10; ++i) hook.Run({{"LUMORA_SLOT", std::to_string(i)}});
        hook.Drain();
    }
    std::ifstream counts(dir.path().string() + ".counts");
    int runs = 0;
    for (int count; counts >> count; ++runs) EXPECT_LE(count, 4);
    EXPECT_EQ(runs, 10);
    std::filesystem::remove(dir.path().string() + ".counts");
}

}  // namespace
}  // namespace lumora
