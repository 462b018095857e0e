#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/wait.h>

#include "support/handler_gate.h"
#include "support/loopback_server.h"
#include "support/refused_port.h"
#include "support/temp_files.h"
#include "web/curl_transfer.h"

extern char** environ;

// Before any test thread starts, as main() does.
static const lumora::CurlGlobal curlGlobal;

namespace lumora {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TempDir;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr auto kStopBound = 1000ms;
#else
constexpr auto kStopBound = 200ms;
#endif

struct ScrapeRun {
    int status;
    std::string out;
    std::string err;
};

ScrapeRun Scrape(std::vector<std::string> args) {
    args.insert(args.begin(), {"lumora-cli", "scrape"});
    std::vector<const char*> argv;
    for (const auto& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

std::string ConfigAt(const TempDir& dir, const std::string& base) {
    std::string toml = "[sites]\n";
    for (const char* site : {"线报吧", "爱Q生活网", "寻宝阁", "情圣娱乐网", "小高教学网", "号码短租", "京东物品"})
        toml += std::string("\"") + site + "\" = \"" + base + "\"\n";
    toml += "[sms]\nuid = \"qq123456789\"\ntoken = \"0123456789abcdef0123456789abcdef\"\n";
    return dir.Write("lumora.toml", toml).string();
}

std::vector<nlohmann::ordered_json> JsonLines(const std::string& text) {
    std::vector<nlohmann::ordered_json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::ordered_json::parse(line));
    return lines;
}

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

// Serves every saved page where its site has it and keeps the targets asked for.
class SavedSites {
public:
    SavedSites() {
        Serve("/forum.php", "scrape_xianbaoba_forumdisplay.html");
        Serve("/user.do", "scrape_haoma_project_list.json");
        Serve("/search", "scrape_jd_search.html");
    }
    std::string base() const { return m_server.base(); }
    std::vector<std::string> Targets() const {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }

private:
    void Serve(const std::string& path, const std::string& file) {
        m_server.Get(path, [this, body = test::ReadDataFile(file)](const httplib::Request& request,
                                                                   httplib::Response& response) {
            {
                std::lock_guard lock(m_mutex);
                m_targets.push_back(request.target);
            }
            response.set_content(body, "text/html");
        });
    }

    LoopbackServer m_server;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_targets;
};

TEST(CliScrape, PrintsOneObjectPerRowKeyedByTheColumnTitlesInOrder) {
    SavedSites sites;
    TempDir dir;
    const std::string config = ConfigAt(dir, sites.base());
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> keys;
        std::size_t rows;
        std::vector<std::string> firstRow;
    };
    const Case cases[] = {
        {{"线报吧"}, {"活动编号", "活动名称"}, 5, {"30001", "【版规】线报发布须知，违者删帖"}},
        {{"号码短租"}, {"项目名字", "活动地址"}, 5, {"外卖红包", "http://hb.waimai.example.com"}},
        {{"京东物品"},
         {"物品名字", "活动地址（物品ID）", "价格"},
         3,
         {"轻薄款安全套 超薄12只装", "item.shop.example/1000422.html", "0.90"}},
        {{"理财活动"}, {"活动奖励", "活动名字", "活动ID"}, 13, {"注册送88元红包，首投满1000元返现30元", "星槎贷", "30418"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--config", config});
        ScrapeRun run = Scrape(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const auto lines = JsonLines(run.out);
        ASSERT_EQ(lines.size(), c.rows);
        for (const auto& line : lines) EXPECT_EQ(Keys(line), c.keys);
        std::vector<std::string> first;
        for (const auto& item : lines[0].items()) first.push_back(item.value().get<std::string>());
        EXPECT_EQ(first, c.firstRow);
    }
}

TEST(CliScrape, PageItemAndPriceGoIntoTheAddressWithTheBoxesInitialTextsAsDefaults) {
    SavedSites sites;
    TempDir dir;
    const std::string config = ConfigAt(dir, sites.base());
    const std::string account = "uid=qq123456789&token=0123456789abcdef0123456789abcdef";
    const std::string search = "&enc=utf-8&qrst=1&rt=1&stop=1&vt=2&offset=2&wq=";
    ASSERT_EQ(Scrape({"号码短租", "--config", config}).status, 0);
    ASSERT_EQ(Scrape({"号码短租", "--page", "2", "--config", config}).status, 0);
    ASSERT_EQ(Scrape({"京东物品", "--config", config}).status, 0);
    ASSERT_EQ(Scrape({"京东物品", "--item", "面膜", "--price", "", "--config", config}).status, 0);
    const std::vector<std::string> expected = {
        "/user.do?action=projectList&" + account + "&pid=0&name=&isc=no&index=1&status=",
        "/user.do?action=projectList&" + account + "&pid=0&name=&isc=no&index=2&status=",
        "/search?keyword=%E9%81%BF%E5%AD%95%E5%A5%97" + search + "%E9%81%BF%E5%AD%95%E5%A5%97&ev=exprice_0-1%40&uc=0&psort=2",
        "/search?keyword=%E9%9D%A2%E8%86%9C" + search + "%E9%9D%A2%E8%86%9C&ev=exprice_%40&uc=0&psort=2",
    };
    EXPECT_EQ(sites.Targets(), expected);
}

TEST(CliScrape, AnUnknownSourceIsBadUsage) {
    for (const char* name : {"赚客吧", "nothing", ""}) {
        SCOPED_TRACE(name);
        ScrapeRun run = Scrape({name});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(std::string("unknown source \"") + name + "\""), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("线报吧, "), std::string::npos) << run.err;
    }
    EXPECT_EQ(Scrape({}).status, 2);
}

TEST(CliScrape, AnUnreachableSitePrintsNothingAndSucceeds) {
    test::RefusedPort refused;
    TempDir dir;
    ScrapeRun run = Scrape({"寻宝阁", "--config", ConfigAt(dir, refused.base())});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(CliScrapeSignals, SigintAndSigtermStopAWaitingRequestAtOnce) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        LoopbackServer server;
        test::HandlerGate gate;
        server.Get("/", [wait = gate.Waiter(30s)](const httplib::Request&, httplib::Response& response) {
            wait();
            response.set_content("", "text/html");
        });
        TempDir dir;
        std::vector<std::string> args = {LUMORA_CLI_PATH, "scrape", "小高教学网", "--config",
                                         ConfigAt(dir, server.base())};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, LUMORA_CLI_PATH, nullptr, nullptr, argv.data(), environ), 0);
        ASSERT_TRUE(gate.WaitForArrivals(1, 10s));

        const auto before = std::chrono::steady_clock::now();
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_LT(std::chrono::steady_clock::now() - before, kStopBound);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    }
}

}  // namespace
}  // namespace lumora
