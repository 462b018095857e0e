#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/wait.h>

#include "support/board_pages.h"
#include "support/loopback_server.h"
#include "support/temp_files.h"

extern char** environ;

namespace lumora {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;

// Sanitizer runtimes add their own work at exit (the leak check); the bound is
// for the program, not for them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr auto kStopBound = 1000ms;
#else
constexpr auto kStopBound = 200ms;
#endif
using test::TempDir;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunArgs(std::vector<std::string> args) {
    args.insert(args.begin(), "lumora-cli");
    std::vector<const char*> argv;
    for (const auto& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

std::string ConfigFor(const TempDir& dir, const LoopbackServer& server) {
    std::string toml = "[sites]\n";
    for (const char* site : {"赚客吧", "福利吧", "抢抢网", "线报屋", "赚客之家"})
        toml += std::string("\"") + site + "\" = \"" + server.base() + "\"\n";
    return dir.Write("lumora.toml", toml).string();
}

std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

TEST(CliUsage, BadUsageAndBadSettingsExitWithTwo) {
    TempDir dir;
    auto bad = dir.Write("bad.toml", "[sites]\n\"赚客吧\" = \"ftp://x\"\n").string();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string message;
    };
    const Row rows[] = {
        {"no command", {}, ""},
        {"unknown command", {"fly"}, ""},
        {"no slot", {"watch"}, "SLOT"},
        {"slot 0", {"watch", "0"}, ""},
        {"slot 10", {"watch", "10"}, ""},
        {"cycles not a number", {"watch", "1", "--cycles", "x"}, ""},
        {"bad settings", {"watch", "1", "--config", bad}, bad + ":2: key sites.赚客吧"},
        {"missing settings", {"watch", "1", "--config", dir.path().string() + "/none.toml"}, "none.toml"},
        {"missing keywords file", {"watch", "1", "--keywords-file", dir.path().string() + "/kw.txt"}, "kw.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRun run = RunArgs(row.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(RunArgs({"--help"}).status, 0);
}

TEST(CliWatch, PrintsEachCycleRowsAsJsonLines) {
    LoopbackServer server;
    std::string base = server.base();
    server.Get(R"(/forum-19-(\d+)\.html)", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::ForumPage(Site::ZhuanKeBa, base, 35), "text/html");
    });
    server.Get("/sitemap.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::SitemapPage(base, 3), "text/html");
    });
    TempDir dir;
    CliRun run = RunArgs({"watch", "1", "8", "--cycles", "2", "--interval", "0", "--config", ConfigFor(dir, server)});
    ASSERT_EQ(run.status, 0) << run.err;
    auto lines = JsonLines(run.out);
    ASSERT_EQ(lines.size(), 2u * 35 + 2u * 3);
    int slotOneRows = 0;
    for (const auto& line : lines) {
        ASSERT_EQ(line.size(), 7u);
        if (line["slot"] == 1) ++slotOneRows;
    }
    EXPECT_EQ(slotOneRows, 70);
    const auto& first = *std::find_if(lines.begin(), lines.end(), [](const auto& l) { return l["slot"] == 1; });
    EXPECT_EQ(first["cycle"], 1);
    EXPECT_EQ(first["row"], 1);
    EXPECT_EQ(first["category"], "[话费]");
    EXPECT_EQ(first["title"], "[话费] 线报 1 红包");
    EXPECT_EQ(first["link"], base + "/thread-1-1-1.html");
    EXPECT_EQ(server.Hits("/forum-19-1.html"), 2);
}

TEST(CliWatch, KeywordsFromArgumentsAndAGbkFile) {
    LoopbackServer server;
    std::string base = server.base();
    server.Get(R"(/forum-19-(\d+)\.html)", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(test::ForumPage(Site::ZhuanKeBa, base, 40), "text/html");
    });
    TempDir dir;
    std::string config = ConfigFor(dir, server);
    // Titles alternate 红包 (odd ids) and 签到 (even ids).
    CliRun red = RunArgs({"watch", "1", "--cycles", "1", "--keyword", "红包", "--config", config});
    ASSERT_EQ(red.status, 0) << red.err;
    auto lines = JsonLines(red.out);
    ASSERT_FALSE(lines.empty());
    for (const auto& line : lines) EXPECT_NE(line["title"].get<std::string>().find("红包"), std::string::npos);

    // GBK file, CR LF, a blank line and no final line end: 签到 and 红包.
    auto file = dir.Write("kw.txt", "\xC7\xA9\xB5\xBD\r\n\r\n\xBA\xEC\xB0\xFC").string();
    CliRun both = RunArgs({"watch", "1", "--cycles", "1", "--keywords-file", file, "--config", config});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(JsonLines(both.out).size(), 40u);
    CliRun none = RunArgs({"watch", "1", "--cycles", "1", "--keyword", "QQ", "--config", config});
    EXPECT_EQ(JsonLines(none.out).size(), 0u);
}

TEST(CliWatch, NewPrintsOnlyRowsNewToTheRunAndExecGetsThemInItsEnvironment) {
    LoopbackServer server;
    std::string base = server.base();
    TempDir dir;
    const std::string pwned = (dir.path() / "pwned").string();
    const std::string hostile = "$(touch " + pwned + ") `touch " + pwned + "` \"q\" 'q'; touch " + pwned;
    std::atomic<int> served = 0;
    server.Get("/forum-19-1.html", [&](const httplib::Request&, httplib::Response& response) {
        if (++served == 1) {
            response.set_content(test::ForumPage(Site::ZhuanKeBa, base, 35, 1), "text/html");
            return;
        }
        std::string page = test::ForumPage(Site::ZhuanKeBa, base, 35, 2);  // 36 is new
        std::string title = test::ExpectedPost(Site::ZhuanKeBa, base, 36).title.substr(7);
        page.replace(page.find(title), title.size(), hostile);
        response.set_content(page, "text/html");
    });
    const std::string log = (dir.path() / "log").string();
    CliRun run = RunArgs({"watch", "1", "--cycles", "2", "--interval", "0", "--new", "--exec",
                          "printf '%s|%s|%s\\n' \"$LUMORA_SLOT\" \"$LUMORA_TITLE\" \"$LUMORA_LINK\" >> '" + log + "'",
                          "--config", ConfigFor(dir, server)});
    ASSERT_EQ(run.status, 0) << run.err;
    auto lines = JsonLines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["cycle"], 2);
    EXPECT_EQ(lines[0]["row"], 35);
    EXPECT_EQ(lines[0]["link"], base + "/thread-36-1-1.html");

    std::ifstream in(log);
    std::string logged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(logged, "1|[话费] " + hostile + "|" + base + "/thread-36-1-1.html\n");
    EXPECT_FALSE(std::filesystem::exists(pwned));
}

TEST(CliWatch, ReadFailuresGoToStderrOneLineEach) {
    TempDir dir;
    auto config = dir.Write("lumora.toml", "[sites]\n\"线报屋\" = \"http://127.0.0.1:1\"\n").string();
    CliRun run = RunArgs({"watch", "8", "--cycles", "1", "--config", config});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("slot 8: http://127.0.0.1:1/sitemap.php: "), std::string::npos) << run.err;
}

TEST(CliSignals, SigintAndSigtermStopMidFetchWithin200ms) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        LoopbackServer server;
        std::atomic<bool> dripping = false;
        server.Get("/forum-19-1.html", [&](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(1000, "text/html", [&](std::size_t, std::size_t, httplib::DataSink& sink) {
                dripping = true;
                if (server.stopping()) return false;
                std::this_thread::sleep_for(20ms);
                return sink.write("<", 1);
            });
        });
        TempDir dir;
        std::string config = ConfigFor(dir, server);
        std::vector<std::string> args = {LUMORA_CLI_PATH, "watch", "1", "--config", config};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, LUMORA_CLI_PATH, nullptr, nullptr, argv.data(), environ), 0);
        for (auto deadline = std::chrono::steady_clock::now() + 10s;
             !dripping && std::chrono::steady_clock::now() < deadline;)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(dripping);

        auto before = std::chrono::steady_clock::now();
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_LT(std::chrono::steady_clock::now() - before, kStopBound);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

}  // namespace
}  // namespace lumora
