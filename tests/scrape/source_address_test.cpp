#include "scrape/source_address.h"

#include <gtest/gtest.h>

#include "core/charset.h"
#include "scrape/source_descriptor.h"
#include "scrape_support.h"

namespace lumora {
namespace {

// 避孕套 in UTF-8: E9 81 BF, E5 AD 95, E5 A5 97.
constexpr const char* kDefaultKeyword = "%E9%81%BF%E5%AD%95%E5%A5%97";
constexpr const char* kSearchTail = "&enc=utf-8&qrst=1&rt=1&stop=1&vt=2&offset=2&wq=";

TEST(PriceSearchAddress, KeywordTwiceThenThePriceBoxAsTyped) {
    const Settings settings = test::SettingsAt("https://search.example");
    struct Case {
        const char* name;
        std::string item;  // UTF-8, as the box shows it
        std::string price;
        std::string keyword;
        std::string priceInAddress;
    };
    const Case cases[] = {
        {"initial inputs", "避孕套", "0-1", kDefaultKeyword, "0-1"},
        {"empty price box", "避孕套", "", kDefaultKeyword, ""},
        {"name with an ampersand and a space", "A&B 套", "10-20", "A%26B%20%E5%A5%97", "10-20"},
        {"name with plus, percent and hash", "C+D%#", "1-2", "C%2BD%25%23", "1-2"},
        {"unreserved characters stay", "Az09-_.~", "0-1", "Az09-_.~", "0-1"},
        {"empty name", "", "0-1", "", "0-1"},
        // Only the space is written %20; "&" and "=" go in as typed.
        {"price typed with a space and a query", "x", " 5-9&x=1", "x", "%205-9&x=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PriceSearchAddress(settings, Utf8ToGbk(c.item), Utf8ToGbk(c.price)),
                  "https://search.example/search?keyword=" + c.keyword + kSearchTail + c.keyword + "&ev=exprice_" +
                      c.priceInAddress + "%40&uc=0&psort=2");
    }
}

TEST(PriceSearchAddress, InitialInputsEndAsTheSiteExpects) {
    const std::string address =
        PriceSearchAddress(test::SettingsAt("https://search.example"), SourceInputs().item, SourceInputs().price);
    EXPECT_TRUE(address.ends_with("&ev=exprice_0-1%40&uc=0&psort=2")) << address;
    EXPECT_TRUE(PriceSearchAddress(test::SettingsAt("https://s.example"), SourceInputs().item, "")
                    .ends_with("&ev=exprice_%40&uc=0&psort=2"));
}

TEST(ProjectListAddress, BuiltFromBaseAccountAndThePageBoxAsTyped) {
    const Settings settings = test::SettingsAt("http://sms.example");
    const std::string head = std::string("http://sms.example/user.do?action=projectList&uid=") + test::kUid +
                             "&token=" + test::kToken + "&pid=0&name=&isc=no&index=";
    struct Case {
        const char* name;
        Text page;
        std::string inAddress;
    };
    const Case cases[] = {
        {"initial page", "1", "1"},
        {"empty box", "", ""},
        {"leading space kept, written so it can travel", " 2", "%202"},
        {"not a number, not validated", "x&y=1", "x&y=1"},
        {"full-width digit stays the typed bytes", "\xA3\xB3", "%A3%B3"},  // ３
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ProjectListAddress(settings, c.page), head + c.inAddress + "&status=");
    }
}

TEST(AddressSafe, OnlyBytesThatCannotStandInAnAddressAreEscaped) {
    EXPECT_EQ(AddressSafe("a-b_c.d~e!$&'()*+,;=:@/?%"), "a-b_c.d~e!$&'()*+,;=:@/?%");
    EXPECT_EQ(AddressSafe(" \t\r\n\x7F\"#<>\\^`{|}"), "%20%09%0D%0A%7F%22%23%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(AddressSafe("\xB1\xDC"), "%B1%DC");
    EXPECT_EQ(AddressSafe(""), "");
}

TEST(PercentEncode, EncodesEveryByteButTheUnreservedOnes) {
    EXPECT_EQ(PercentEncode("避孕套"), kDefaultKeyword);
    EXPECT_EQ(PercentEncode("a b&c=d/e"), "a%20b%26c%3Dd%2Fe");
    EXPECT_EQ(PercentEncode(std::string("\0x", 2)), "%00x");
}

}  // namespace
}  // namespace lumora
