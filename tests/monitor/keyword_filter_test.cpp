#include "monitor/keyword_filter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lumora {
namespace {

// GBK: 红包
const Text kRedPacket = "\xBA\xEC\xB0\xFC";

TEST(KeywordFilterTest, KeepPostTable) {
    struct Row {
        const char* name;
        Text keywordText;
        Text title;
        bool kept;
    };
    const std::vector<Row> rows = {
        {"no keywords keep a title", "", "abc", true},
        {"no keywords keep an empty title", "", "", true},
        {"keyword found", kRedPacket + "\r\nQQ\r\n", "\xC1\xEC" + kRedPacket, true},  // 领红包
        {"second keyword found", kRedPacket + "\r\nQQ\r\n", "QQ\xBB\xE1\xD4\xB1", true},  // QQ会员
        {"case-sensitive: qq is no QQ", kRedPacket + "\r\nQQ\r\n", "qq\xC8\xBA", false},  // qq群
        {"full-width QQ is no QQ", kRedPacket + "\r\nQQ\r\n", "\xA3\xD1\xA3\xD1", false},  // ＱＱ
        {"no keyword in an empty title", kRedPacket + "\r\nQQ\r\n", "", false},
        {"final CR LF gives no empty keyword", kRedPacket + "\r\n", "abc", false},
        {"empty line keeps any non-empty title", kRedPacket + "\r\n\r\nQQ\r\n", "abc", true},
        {"empty line keeps no empty title", kRedPacket + "\r\n\r\nQQ\r\n", "", false},
        {"CR LF alone is one empty keyword", "\r\n", "x", true},
        {"last keyword without CR LF", "a\r\nQQ", "xQQ", true},
        // 啊啊 is B0 A1 B0 A1; “ (A1 B0) only occurs from the trail byte of the first.
        {"no match from a trail byte", "\xA1\xB0\r\n", "\xB0\xA1\xB0\xA1", false},
        {"match after a double-byte character", "\xB0\xA1\r\n", "x\xB0\xA1\xB0\xA1", true},
        // 郵 (E0 5D): a keyword "]" does not match its trail byte.
        {"ASCII keyword and a trail byte", "]\r\n", "\xE0]", false},
        {"ASCII keyword found", "]\r\n", "\xE0]]", true},
        {"lone lead byte at the title's end", "x\r\n", "a\xB0", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(KeepPost(row.title, KeywordSet(row.keywordText)), row.kept);
        const KeywordList list(row.keywordText);
        EXPECT_EQ(KeepPost(row.title, list), row.kept);
    }
}

TEST(KeywordFilterTest, KeywordSetSplitsOnce) {
    const KeywordSet set(kRedPacket + "\r\n\r\nQQ\r\n");
    EXPECT_EQ(set.keywords(), (std::vector<Text>{kRedPacket, "", "QQ"}));
    EXPECT_TRUE(KeywordSet("").keywords().empty());
    EXPECT_EQ(KeywordSet("a\r\nb").keywords(), (std::vector<Text>{"a", "b"}));
}

TEST(KeywordFilterTest, ChangeAppliesToTheNextPost) {
    KeywordList list;
    EXPECT_TRUE(KeepPost("abc", list));
    const auto before = list.Snapshot();
    list.Set("QQ\r\n");
    EXPECT_FALSE(KeepPost("abc", list));
    EXPECT_TRUE(KeepPost("QQ", list));
    EXPECT_EQ(list.KeywordText(), "QQ\r\n");
    // A snapshot taken before holds the old value whole.
    EXPECT_EQ(before->text(), "");
    EXPECT_TRUE(KeepPost("abc", *before));
    list.Set("");
    EXPECT_TRUE(KeepPost("abc", list));
}

}  // namespace
}  // namespace lumora
