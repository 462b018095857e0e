#include "core/charset.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

// UTF-8 "中文" = E4 B8 AD E6 96 87; GBK "中文" = D6 D0 CE C4.
const std::string kUtf8ZhongWen = "\xE4\xB8\xAD\xE6\x96\x87";
const Text kGbkZhongWen = "\xD6\xD0\xCE\xC4";

TEST(Utf8ToAnsi, BothFormsOnTheCommonCases) {
    struct Row {
        const char* name;
        std::string utf8;
        Text gbk;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"ascii", "Hello, <a href=\"x\">", "Hello, <a href=\"x\">"},
        {"chinese", kUtf8ZhongWen, kGbkZhongWen},
        {"emoji becomes ?", "a\xF0\x9F\x98\x80" "b", "a?b"},
        {"malformed byte becomes ?", "a\xFF" "b", "a?b"},
        {"truncated sequence at the end", "a\xE4\xB8", "a?"},
        {"full-width comma", "\xEF\xBC\x8C", "\xA3\xAC"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Utf8ToAnsi(Bytes(row.utf8)), row.gbk);
        EXPECT_EQ(Utf8ToAnsi(Text(row.utf8)), row.gbk);
    }
}

TEST(Utf8ToAnsi, NeverTheConverterSubstituteByte) {
    // Characters GBK cannot hold, in a row: none may come out as 0x1A.
    Text out = Utf8ToAnsi(Bytes("\xE2\x98\x83\xF0\x9F\x8D\xA3\xE1\x83\x90"));
    EXPECT_EQ(out.find('\x1A'), Text::npos);
    EXPECT_EQ(out, "???");
}

TEST(Utf8ToAnsi, BytesFormStopsAtAnInnerNul) {
    EXPECT_EQ(Utf8ToAnsi(Bytes(std::string("ab\0" "cd", 5))), "ab");
    EXPECT_EQ(Utf8ToAnsi(Text(std::string("ab\0" "cd", 5))), "ab");
}

TEST(Utf8ToAnsi, OnlyTheBytesFormComposes) {
    // e + U+0301 (CC 81) is é, GBK A8 A6, once composed.
    const std::string decomposed = "e\xCC\x81";
    EXPECT_EQ(Utf8ToAnsi(Bytes(decomposed)), "\xA8\xA6");
    // Unit by unit: e stays, the lone combining mark has no GBK form.
    EXPECT_EQ(Utf8ToAnsi(Text(decomposed)), "e?");
}

TEST(Charset, HelpersAndEdges) {
    EXPECT_EQ(Utf8BytesToUtf16(Bytes(kUtf8ZhongWen)), u"中文");
    EXPECT_EQ(Utf8BytesToUtf16(Bytes(std::string("a\0b", 3))), std::u16string(u"a\0b", 3));
    EXPECT_EQ(Utf16ToGbk(u"中文"), kGbkZhongWen);
    EXPECT_EQ(MultiByteToUtf16(kUtf8ZhongWen), u"中文");
    EXPECT_EQ(MultiByteToUtf16(kGbkZhongWen, kCodePageGbk), u"中文");
    EXPECT_EQ(Utf16ToMultiByte(u"中文"), kGbkZhongWen);  // ANSI is GBK here
    EXPECT_EQ(Utf16ToMultiByte(u"中文", kCodePageUtf8), kUtf8ZhongWen);
    EXPECT_EQ(GbkToUtf16(kGbkZhongWen), u"中文");
    EXPECT_EQ(GbkToUtf8(kGbkZhongWen), kUtf8ZhongWen);
    EXPECT_EQ(Utf8ToGbk(kUtf8ZhongWen), kGbkZhongWen);
    // The euro sign sits at 0x80 in code page 936.
    EXPECT_EQ(Utf8ToGbk("\xE2\x82\xAC"), "\x80");
}

TEST(Charset, BrokenGbkIsNeverLost) {
    // A lone lead byte at the end, and a lead followed by an invalid trail.
    std::u16string tail = GbkToUtf16("ab\xD6");
    ASSERT_EQ(tail.size(), 3u);
    EXPECT_EQ(tail.substr(0, 2), u"ab");
    EXPECT_EQ(GbkToUtf8("a\xD6").substr(0, 1), "a");
    EXPECT_FALSE(GbkToUtf16("\xFF\xFF" "ok").empty());
    EXPECT_EQ(GbkToUtf16("\xFF\xFF" "ok").substr(GbkToUtf16("\xFF\xFF" "ok").size() - 2), u"ok");
}

}  // namespace
}  // namespace lumora
