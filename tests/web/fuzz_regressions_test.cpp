// Inputs the fuzzers found, reduced to what they show.

#include <string>

#include <gtest/gtest.h>

#include "web/cookie_text.h"

namespace lumora {
namespace {

// A pair whose name already stands in the text replaces every occurrence of
// the entry, so "a=1a=1" doubles the text each time; every further pair then
// scans all of it. Two thousand bytes of such pairs took seconds. The text cap
// and the pair cap bound one merge.
TEST(FuzzRegressions, ADoublingRunOfCookiePairsStaysWithinBothBounds) {
    Text cookies = "a=1;";
    Text received;
    for (int i = 0; i < 20; ++i) received += "a=1a=1; ";
    for (int i = 0; i < 1000; ++i) received += "c" + std::to_string(i) + "=1; ";
    MergeCookies(cookies, received);
    EXPECT_LE(cookies.size(), kMaxCookieTextBytes);
    // The 20 doubling pairs count, so the last merged new pair is c235.
    EXPECT_NE(cookies.find("c235=1;"), Text::npos);
    EXPECT_EQ(cookies.find("c236=1"), Text::npos);
}

TEST(FuzzRegressions, AResponseWithManyCookiesStillMergesUpToTheBound) {
    Text cookies;
    Text received;
    for (int i = 0; i < kMaxMergedCookiePairs; ++i) received += "k" + std::to_string(i) + "=v; ";
    MergeCookies(cookies, received);
    EXPECT_EQ(cookies.rfind("k0=v; ", 0), 0u);
    EXPECT_NE(cookies.find(" k" + std::to_string(kMaxMergedCookiePairs - 1) + "=v;"), Text::npos);
}

}  // namespace
}  // namespace lumora
