#include "scrape/run_source.h"

#include <gtest/gtest.h>

#include <mutex>

#include "core/text_ops.h"
#include "scrape/source_descriptor.h"
#include "scrape/stored_page.h"
#include "controls/edit_box.h"
#include "scrape_support.h"
#include "support/loopback_server.h"
#include "support/refused_port.h"
#include "support/temp_files.h"
#include "web/http_read_page.h"
#include "web/web_request.h"

namespace lumora {
namespace {

using test::LoopbackServer;
using test::ToUtf8;
using test::Utf8Rows;

const SourceDescriptor& Source(std::string_view page) {
    const SourceDescriptor* source = FindSource(page);
    if (!source) throw std::runtime_error("no source " + std::string(page));
    return *source;
}

struct FixtureCase {
    const char* page;
    const char* fixture;
    const char* path;  // where the site serves it
    const char* contentType;
    Utf8Rows rows;
};

const FixtureCase kFixtureCases[] = {
    {"线报吧",
     "scrape_xianbaoba_forumdisplay.html",
     "/forum.php",
     "text/html; charset=gbk",
     {{"30001", "【版规】线报发布须知，违者删帖"},
      {"30588", "工行新用户领20元话费"},  // written as \u escapes
      {"30587", "招行掌上生活 100%返现 周三有效"},
      {"30585", "商城&amp;银联 支付立减5元"},
      {"30580", "限时：扫码领随机红包"}}},
    {"爱Q生活网",
     "scrape_aiq_home.html",
     "/",
     "text/html; charset=gb2312",
     {{"/qqhd/20170612/8812.html", "QQ会员新活动 领7天超级会员"},
      {"/qqhd/20170612/8809.html", "QQ空间签到领成长值"},
      {"/qqhd/20170611/8801.html", "手游礼包免费领 附兑换码"},
      {"/qita/20170610/8790.html", "话费充值满30减5"},  // upper-case tags
      {"/qita/20170610/8788.html", "视频会员0.1元抢"}}},
    {"寻宝阁",
     "scrape_xunbaoge_home.html",
     "/",
     "text/html; charset=UTF-8",
     // The sidebar's thumbnail, seven tabs deep, is not taken.
     {{"http://www.xunbaoge.com/2231.html", "支付宝新一期集分宝，人人可领"},
      {"http://www.xunbaoge.com/2229.html", "&#8220;夏日狂欢&#8221;抽奖 100%中奖"},
      {"http://www.xunbaoge.com/2226.html", "某视频APP新人领7天会员"}}},
    {"情圣娱乐网",
     "scrape_qingsheng_channel.html",
     "/channel/",
     "text/html; charset=utf-8",
     {{"?5127.html", "端午节游戏礼包大放送"},
      {"?5126.html", "手机充值话费 立减5元"},
      {"5120.html", "老版静态页：分享得积分"}}},
    {"小高教学网",
     "scrape_xiaogao_home.html",
     "/",
     "text/html; charset=utf-8",
     // The title run holds the attribute, its quote, ">" and the link text;
     // the address is the next item's, so in a plain list every other item pairs.
     {{"邮储银行新户领20元\">邮储银行新户领20元", "http://www.xiaogaojiaoxue.com/huodong/501.html"},
      {"&quot;分享有礼&quot; 邀请好友得现金\"><b>&quot;分享有礼&quot; 邀请好友得现金</b>",
       "http://www.xiaogaojiaoxue.com/huodong/498.html"},
      {"新手入门\">新手入门", "/jiaocheng/78.html"}}},
    {"号码短租",
     "scrape_haoma_project_list.json",
     "/user.do",
     "application/json;charset=UTF-8",
     {{"外卖红包", "http://hb.waimai.example.com"},
      {"\\u5feb\\u9012\\u67e5\\u8be2", "http://kd.example.net/reg"},  // escapes stay
      {"视频会员", "http://vip.example.org\",\"remark\":\"仅限新号"},   // fields up to ydphone
      {"旧项目无网址", "http://taxi.example.cn/h5"},                    // runs on into the next project
      {"银行开户", "https://bank.example.com/open?from=sms&ch=7"}}},
    {"京东物品",
     "scrape_jd_search.html",
     "/search",
     "text/html;charset=utf-8",
     // The hit linked with "https://" is passed over; so is every href before title.
     {{"轻薄款安全套 超薄12只装", "item.shop.example/1000422.html", "0.90"},
      {"旅行装 3只 &amp; 赠品", "item.shop.example/1000387.html", "0.50"},
      {"超润滑 6只装", "item.shop.example/1000290.html", "1.00"}}},
};

TEST(Sources, EachSourceGivesItsRowsFromItsSitePage) {
    for (const FixtureCase& c : kFixtureCases) {
        SCOPED_TRACE(c.page);
        LoopbackServer server;
        server.Serve(c.path, test::ReadDataFile(c.fixture), c.contentType);
        const SourceDescriptor& source = Source(c.page);
        SourceRows rows = RunSource(source, test::SettingsAt(server.base()));
        EXPECT_EQ(ToUtf8(rows), c.rows);
        for (const auto& row : rows) EXPECT_EQ(row.size(), source.columns().size());

        // Appended twice after a row already there: nothing cleared, sorted or merged.
        ListView list(std::string(source.list), ListColumns(source), source.colour);
        list.SetCell(list.InsertRow(), 0, "earlier");
        AppendRows(list, rows);
        AppendRows(list, RunSource(source, test::SettingsAt(server.base())));
        const auto listed = list.Rows();
        ASSERT_EQ(listed.size(), 1 + 2 * c.rows.size());
        EXPECT_EQ(listed[0][0], "earlier");
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(listed[1 + i], rows[i]);
            EXPECT_EQ(listed[1 + c.rows.size() + i], rows[i]);
        }
    }
}

struct SeenRequest {
    std::string method;
    std::string target;
    std::string version;
    httplib::Headers headers;
    std::map<std::string, std::string> params;
};

// Answers every GET with an empty page and keeps what each request carried.
class RecordingSite {
public:
    RecordingSite() {
        m_server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(m_mutex);
            SeenRequest& seen = m_seen.emplace_back();
            seen.method = request.method;
            seen.target = request.target;
            seen.version = request.version;
            seen.headers = request.headers;
            for (const auto& [name, value] : request.params) seen.params[name] = value;
            response.set_content("", "text/html");
        });
    }
    std::string base() const { return m_server.base(); }
    int TotalHits() const { return m_server.TotalHits(); }
    std::vector<SeenRequest> Seen() const {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

private:
    LoopbackServer m_server;
    mutable std::mutex m_mutex;
    std::vector<SeenRequest> m_seen;
};

std::string HeaderOf(const SeenRequest& seen, const std::string& name) {
    auto it = seen.headers.find(name);
    return it == seen.headers.end() ? std::string("(none)") : it->second;
}

TEST(Sources, EachSourceRequestsItsAddressWithItsMethodAndHeaders) {
    struct Case {
        const char* page;
        SourceInputs inputs;
        std::string target;
    };
    const std::string account = std::string("uid=") + test::kUid + "&token=" + test::kToken;
    const std::string keyword = "%E9%81%BF%E5%AD%95%E5%A5%97";
    const Case cases[] = {
        {"小高教学网", {}, "/"},
        {"爱Q生活网", {}, "/"},
        {"线报吧", {}, "/forum.php?mod=forumdisplay&fid=36&filter=lastpost&orderby=lastpost"},
        {"情圣娱乐网", {}, "/channel/?HuoDongZiXun.html"},
        {"寻宝阁", {}, "/"},
        {"号码短租", {}, "/user.do?action=projectList&" + account + "&pid=0&name=&isc=no&index=1&status="},
        {"号码短租", {.page = "", .item = "", .price = ""},
         "/user.do?action=projectList&" + account + "&pid=0&name=&isc=no&index=&status="},
        {"京东物品", {},
         "/search?keyword=" + keyword + "&enc=utf-8&qrst=1&rt=1&stop=1&vt=2&offset=2&wq=" + keyword +
             "&ev=exprice_0-1%40&uc=0&psort=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + c.target);
        RecordingSite site;
        const SourceDescriptor& source = Source(c.page);
        const Settings settings = test::SettingsAt(site.base());
        EXPECT_TRUE(RunSource(source, settings, c.inputs).empty());
        // One request, to the site itself: no URL-coding service, no second try.
        ASSERT_EQ(site.TotalHits(), 1);
        const SeenRequest seen = site.Seen().at(0);
        EXPECT_EQ(seen.method, "GET");
        EXPECT_EQ(seen.target, c.target);
        EXPECT_EQ(HeaderOf(seen, "Cookie"), "(none)");
        const std::string address = SourceAddress(source, settings, c.inputs);
        EXPECT_EQ(address, site.base() + (std::string(c.page) == "爱Q生活网" ? "" : c.target));
        if (source.fetch == PageFetch::HttpReadPage) {
            EXPECT_EQ(seen.version, "HTTP/1.0");
            EXPECT_EQ(HeaderOf(seen, "User-Agent"), kReadPageUserAgent);
            EXPECT_EQ(HeaderOf(seen, "Accept"), "*/*");
            EXPECT_EQ(HeaderOf(seen, "Referer"), "(none)");
        } else {
            // The default header block, its Referer being the address itself.
            for (const Text& line : Split(DefaultRequestHeaders(address), "\r\n")) {
                const auto colon = line.find(": ");
                EXPECT_EQ(HeaderOf(seen, line.substr(0, colon)), line.substr(colon + 2)) << line;
            }
        }
    }
}

TEST(Sources, TypedBoxTextsReachTheSiteAsTyped) {
    RecordingSite site;
    const Settings settings = test::SettingsAt(site.base());
    RunSource(Source("号码短租"), settings, {.page = " 2", .item = "", .price = ""});
    RunSource(Source("京东物品"), settings, {.page = "1", .item = Utf8ToGbk("A&B 套"), .price = ""});
    const auto seen = site.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].params.at("index"), " 2");
    EXPECT_EQ(seen[0].params.at("status"), "");
    EXPECT_EQ(seen[1].params.at("keyword"), "A&B 套");
    EXPECT_EQ(seen[1].params.at("wq"), "A&B 套");
    EXPECT_EQ(seen[1].params.at("ev"), "exprice_@");
}

TEST(Sources, AnUnreachableSiteAddsNoRow) {
    test::RefusedPort refused;
    const Settings settings = test::SettingsAt(refused.base());
    for (const SourceDescriptor& source : Sources()) {
        if (source.fetch == PageFetch::StoredPage) continue;
        SCOPED_TRACE(source.page);
        ListView list(std::string(source.list), ListColumns(source), source.colour);
        list.SetCell(list.InsertRow(), 1, "earlier");
        AppendRows(list, RunSource(source, settings));
        EXPECT_EQ(list.RowCount(), 1);
        EXPECT_EQ(list.Cell(0, 1), "earlier");
    }
}

TEST(Sources, AnEmptyOrForeignPageAddsNoRow) {
    for (const char* body : {"", "<html><body>站点维护中</body></html>", "\xFF\xFE\x00garbage"}) {
        LoopbackServer server;
        server.Get(".*", [body](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(body, std::char_traits<char>::length(body)), "text/html");
        });
        for (const SourceDescriptor& source : Sources()) {
            if (source.fetch == PageFetch::StoredPage) continue;
            SCOPED_TRACE(source.page);
            EXPECT_TRUE(RunSource(source, test::SettingsAt(server.base())).empty());
        }
    }
}

TEST(StoredLendingPage, IsThirtyThousandGbkBytesCutInsideTheFourteenthEntry) {
    const Text& page = StoredLendingPage();
    EXPECT_EQ(page.size(), 30000u);
    EXPECT_EQ(page.find('\0'), Text::npos);
    // Fourteen activity pictures begin; the last one's listing is cut off
    // halfway through a double-byte character.
    int pictures = 0;
    for (std::size_t at = page.find("width=\"440\""); at != Text::npos; at = page.find("width=\"440\"", at + 1))
        ++pictures;
    EXPECT_EQ(pictures, 14);
    EXPECT_GE(static_cast<unsigned char>(page.back()), 0x80);
}

TEST(Sources, TheStoredPageGivesThirteenRowsPerRunWithoutARequest) {
    const SourceDescriptor& source = Source("理财活动");
    EXPECT_EQ(source.fetch, PageFetch::StoredPage);
    test::RefusedPort refused;
    const Settings settings = test::SettingsAt(refused.base());

    ListView list(std::string(source.list), ListColumns(source), source.colour);
    AppendRows(list, RunSource(source, settings));
    ASSERT_EQ(list.RowCount(), 13);
    const Utf8Rows rows = ToUtf8(list.Rows());
    EXPECT_EQ(rows.front(), (std::vector<std::string>{"注册送88元红包，首投满1000元返现30元", "星槎贷", "30418"}));
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"新用户首投返现1.5%，单人最高150元", "晴川贷", "30385"}));

    AppendRows(list, RunSource(source, settings));
    ASSERT_EQ(list.RowCount(), 26);
    const Utf8Rows twice = ToUtf8(list.Rows());
    for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(twice[13 + i], rows[i]);
}

TEST(SourceTable, EverySourceHasItsPageListTriggerAndColumns) {
    const char* pages[] = {"小高教学网", "爱Q生活网", "线报吧", "情圣娱乐网", "寻宝阁", "理财活动", "京东物品", "号码短租"};
    ASSERT_EQ(Sources().size(), std::size(pages));
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        SCOPED_TRACE(pages[i]);
        const SourceDescriptor& source = Sources()[i];
        EXPECT_EQ(source.page, pages[i]);
        EXPECT_EQ(FindSource(pages[i]), &source);
        EXPECT_FALSE(source.trigger.empty());
        EXPECT_FALSE(source.list.empty());
        // Every pattern's groups fill the list's columns exactly.
        const std::vector<ListView::Column> columns = ListColumns(source);
        EXPECT_EQ(columns.size(), source.columns().size());
        EXPECT_EQ(static_cast<int>(columns.size()), source.columnCount);
    }
    EXPECT_EQ(FindSource("赚客吧"), nullptr);
    EXPECT_EQ(FindSource(""), nullptr);
    // The thumbnails must sit eight tabs deep.
    EXPECT_TRUE(Source("寻宝阁").pattern.starts_with("\t\t\t\t\t\t\t\t<a href="));
    EXPECT_NE(GbkToUtf8(Text(Source("理财活动").pattern)).find("class=\"f_link\">(.*?)</a>】"), std::string::npos);
}

TEST(ReadSourceInputs, ReadsThePageBoxesAsTypedAndKeepsInitialTextsForMissingOnes) {
    Form form;
    form.Add<EditBox>("编辑框20", " 7");
    form.Add<EditBox>("编辑框22", "\xC3\xE6");  // 面
    SourceInputs project = ReadSourceInputs(Source("号码短租"), form);
    EXPECT_EQ(project.page, " 7");
    SourceInputs search = ReadSourceInputs(Source("京东物品"), form);
    EXPECT_EQ(search.item, "\xC3\xE6");
    EXPECT_EQ(search.price, "0-1");  // no 编辑框23 in this form
    EXPECT_EQ(search.page, "1");     // not one of its boxes
}

}  // namespace
}  // namespace lumora
