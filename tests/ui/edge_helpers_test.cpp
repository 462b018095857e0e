#include <gtest/gtest.h>

#include "tests/ui/ui_support.h"
#include "ui/qt_text.h"

namespace lumora::test {
namespace {

TEST(QtTextTest, GbkCrossesTheEdgeBothWays) {
    const Text gbk = "\xBA\xEC\xB0\xFC QQ";  // GBK: 红包 QQ
    EXPECT_EQ(ToQt(gbk), QString::fromUtf8("红包 QQ"));
    EXPECT_EQ(FromQt(QString::fromUtf8("红包 QQ")), gbk);
    // A lead byte cut off at the end is shown, not dropped silently nor crashed on.
    EXPECT_FALSE(ToQt("ab\xBA").isEmpty());
    // A character GBK lacks comes back as "?".
    EXPECT_EQ(FromQt(QString::fromUtf8("a😀b")), "a?b");
}

TEST(QtTextTest, CellsShowOnOneLine) {
    struct Case {
        const char* name;
        QString text;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"category after eight line breaks", QString::fromUtf8("\n\n\n\n\n\n\n\n[红包]"), QString::fromUtf8("[红包]")},
        {"inner runs fold to one blank", QStringLiteral("a \r\n\t b"), QStringLiteral("a b")},
        {"full-width spaces count as white space", QString::fromUtf8("\u3000抽奖\u3000"), QString::fromUtf8("抽奖")},
        {"only blanks", QStringLiteral(" \r\n "), QString()},
        {"plain text stays", QStringLiteral("plain"), QStringLiteral("plain")},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(OneLine(row.text), row.shown);
    }
}

TEST(DesktopTest, OnlyWebAddressesAreOpened) {
    struct Case {
        const char* text;
        bool web;
    };
    const std::vector<Case> cases = {
        {"http://www.example.com/thread-1-1-1.html", true},
        {"HTTPS://www.example.com/a?b=c&d=e", true},
        {"https://item.example.com/100012.html", true},
        {"https://", false},
        {"http:///path", false},
        {"", false},
        {"javascript:alert(1)", false},
        {"file:///etc/passwd", false},
        {"ftp://example.com/", false},
        {"www.example.com", false},
        {"http://example.com/a b", false},
        {"http://example.com/\n--evil", false},
        {"-new-tab http://example.com", false},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(WebAddress(QString::fromUtf8(row.text)).has_value(), row.web);
    }
}

TEST(DesktopTest, LinkGoesToTheBrowserAsOneArgumentOrToTheDesktop) {
    RecordingDesktop desktop;
    const QString link = QStringLiteral("http://www.example.com/thread-9-1-1.html?a=1&b=2");
    EXPECT_TRUE(OpenLink(desktop, QStringLiteral("/usr/bin/browser"), link));
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.started[0].program, QStringLiteral("/usr/bin/browser"));
    EXPECT_EQ(desktop.started[0].arguments, QStringList{link});
    EXPECT_TRUE(desktop.opened.empty());

    EXPECT_TRUE(OpenLink(desktop, QString(), link));
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], link);

    EXPECT_FALSE(OpenLink(desktop, QStringLiteral("/usr/bin/browser"), QStringLiteral("; rm -rf ~")));
    EXPECT_FALSE(OpenLink(desktop, QString(), QString()));
    EXPECT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.opened.size(), 1u);
}

TEST(TrayTipTest, TipIsCutToSixtyTwoBytesOnCharacterBoundaries) {
    EXPECT_EQ(TrayTip(QStringLiteral("ok")), QStringLiteral("ok"));
    const QString chinese = QString(40, QChar(0x7EA2));  // 红 x 40: 80 bytes of GBK
    EXPECT_EQ(TrayTip(chinese), QString(31, QChar(0x7EA2)));
    const QString mixed = QStringLiteral("a") + chinese;  // 1 + 2n never lands on 62
    EXPECT_EQ(TrayTip(mixed), QStringLiteral("a") + QString(30, QChar(0x7EA2)));
}

}  // namespace
}  // namespace lumora::test
