#include "web/http_read_page.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/handler_gate.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/refused_port.h"
#include "support/temp_files.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::HandlerGate;
using test::LoopbackServer;
using test::RawHttpServer;
using test::RefusedPort;

// Short limits so that the give-up paths run in a fraction of a second.
TransferLimits FastLimits() {
    TransferLimits limits;
    limits.connectTimeout = 1000ms;
    limits.stallTimeout = 200ms;
    limits.totalTimeout = 1500ms;
    return limits;
}

std::string Ok(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST(HttpReadPage, SendsHttp10GetWithAcceptAgentAndNoCacheHeaders) {
    RawHttpServer server([](const RawHttpServer::Request&) { return Ok("page"); });
    TransferResult result = HttpReadPageResult(server.base() + "/forum-19-1.html");
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(result.body.data(), "page");
    EXPECT_EQ(result.status, 200);

    ASSERT_EQ(server.requests().size(), 1u);
    const std::string head = server.requests()[0].head;
    EXPECT_EQ(head.rfind("GET /forum-19-1.html HTTP/1.0\r\n", 0), 0u) << head;
    for (const char* line : {"\r\nAccept: */*\r\n", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n",
                             "\r\nCache-Control: no-cache\r\n", "\r\nPragma: no-cache\r\n"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(head.find(line), std::string::npos) << head;
    }
    EXPECT_EQ(head.find("Accept: */*", head.find("Accept: */*") + 1), std::string::npos) << "Accept sent twice";
}

TEST(HttpReadPage, IgnoresProxyFromTheEnvironment) {
    RefusedPort deadProxy;
    test::EnvGuard http("http_proxy", deadProxy.base());
    test::EnvGuard all("ALL_PROXY", deadProxy.base());
    LoopbackServer server;
    server.Serve("/p", "direct");
    EXPECT_EQ(HttpReadPage(server.base() + "/p").data(), "direct");
}

TEST(HttpReadPage, ReturnsTheBodyOfAnErrorStatus) {
    LoopbackServer server;
    server.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("<h1>not here</h1>", "text/html");
    });
    TransferResult result = HttpReadPageResult(server.base() + "/missing");
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.status, 404);
    EXPECT_EQ(result.body.data(), "<h1>not here</h1>");
}

TEST(HttpReadPage, FollowsRedirectsUpToTen) {
    LoopbackServer server;
    // /hop/N redirects to /hop/N-1; /hop/0 is the page.
    server.Get(R"(/hop/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        int n = std::stoi(request.matches[1]);
        if (n == 0)
            response.set_content("arrived", "text/plain");
        else
            response.set_redirect("/hop/" + std::to_string(n - 1));
    });
    TransferResult ten = HttpReadPageResult(server.base() + "/hop/10");
    EXPECT_TRUE(ten.ok()) << ten.message;
    EXPECT_EQ(ten.body.data(), "arrived");
    EXPECT_EQ(ten.status, 200);

    TransferResult eleven = HttpReadPageResult(server.base() + "/hop/11");
    EXPECT_EQ(eleven.failure, TransferFailure::TooManyRedirects);
    EXPECT_TRUE(eleven.body.empty());
}

TEST(HttpReadPage, FailuresGiveEmptyBytesAndAKind) {
    RefusedPort refused;
    struct Row {
        const char* name;
        std::string address;
        TransferFailure failure;
    };
    const Row rows[] = {
        {"refused port", refused.base() + "/x", TransferFailure::Connect},
        {"not an address", "no address at all", TransferFailure::BadAddress},
        {"empty address", "", TransferFailure::BadAddress},
        {"other scheme", "file:///etc/hostname", TransferFailure::BadAddress},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TransferResult result = HttpReadPageResult(row.address, {}, FastLimits());
        EXPECT_EQ(result.failure, row.failure) << result.message;
        EXPECT_FALSE(result.message.empty());
        EXPECT_TRUE(result.body.empty());
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(HttpReadPage(row.address, {}, FastLimits()).empty());
    }
}

TEST(HttpReadPage, TellsAnEmptyBodyFromAFailure) {
    LoopbackServer server;
    server.Serve("/empty", "");
    TransferResult result = HttpReadPageResult(server.base() + "/empty");
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.body.empty());
    EXPECT_EQ(result.status, 200);
}

TEST(HttpReadPage, GivesUpOnAServerThatNeverAnswers) {
    LoopbackServer server;
    HandlerGate gate;
    server.Get("/silent", [wait = gate.Waiter()](const httplib::Request&, httplib::Response& response) {
        wait();
        response.set_content("too late", "text/plain");
    });
    auto started = Clock::now();
    TransferResult result = HttpReadPageResult(server.base() + "/silent", {}, FastLimits());
    auto took = Clock::now() - started;
    EXPECT_EQ(result.failure, TransferFailure::Timeout) << result.message;
    EXPECT_TRUE(result.body.empty());
    EXPECT_GE(took, 200ms);
    EXPECT_LT(took, 1500ms);
}

// Answers Content-Length `declared` but sends only `sent` bytes, then waits at the
// gate (when given) and drops the connection.
void ServeShortBody(LoopbackServer& server, const std::string& path, std::size_t declared, std::size_t sent,
                    std::function<bool()> wait) {
    server.Get(path, [=](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(declared, "text/html", [=](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset == 0) {
                std::string part(sent, 'x');
                sink.write(part.data(), part.size());
                return true;
            }
            if (wait) wait();
            return false;
        });
    });
}

TEST(HttpReadPage, ABodyThatBreaksOffKeepsTheBytesReceived) {
    LoopbackServer server;
    ServeShortBody(server, "/short", 1000, 400, nullptr);
    TransferResult result = HttpReadPageResult(server.base() + "/short", {}, FastLimits());
    EXPECT_EQ(result.failure, TransferFailure::BrokenOff) << result.message;
    EXPECT_EQ(result.body.data(), std::string(400, 'x'));
    EXPECT_EQ(HttpReadPage(server.base() + "/short", {}, FastLimits()).size(), 400u);
}

TEST(HttpReadPage, ABodyThatStallsMidwayKeepsTheBytesReceived) {
    LoopbackServer server;
    HandlerGate gate;
    ServeShortBody(server, "/stall", 1000, 300, gate.Waiter());
    TransferResult result = HttpReadPageResult(server.base() + "/stall", {}, FastLimits());
    EXPECT_EQ(result.failure, TransferFailure::Timeout) << result.message;
    EXPECT_EQ(result.body.size(), 300u);
}

TEST(HttpReadPage, ADrippingServerMeetsTheOverallLimit) {
    LoopbackServer server;
    server.Get("/drip", [&server](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(1000000, "text/plain", [&server](std::size_t, std::size_t, httplib::DataSink& sink) {
            // One byte per 50 ms: never a stall, never an end.
            std::this_thread::sleep_for(50ms);
            return !server.stopping() && sink.write("x", 1);
        });
    });
    TransferLimits limits = FastLimits();
    limits.totalTimeout = 500ms;
    auto started = Clock::now();
    TransferResult result = HttpReadPageResult(server.base() + "/drip", {}, limits);
    auto took = Clock::now() - started;
    EXPECT_EQ(result.failure, TransferFailure::Timeout) << result.message;
    EXPECT_GT(result.body.size(), 0u);
    EXPECT_LT(took, 1500ms);
}

TEST(HttpReadPage, AbortFromAnotherThreadReturnsAtOnce) {
    LoopbackServer server;
    HandlerGate gate;
    server.Get("/silent", [wait = gate.Waiter()](const httplib::Request&, httplib::Response& response) {
        wait();
        response.set_content("too late", "text/plain");
    });
    std::stop_source stop;
    TransferResult result;
    Clock::time_point returned;
    std::thread reader([&] {
        result = HttpReadPageResult(server.base() + "/silent", stop.get_token());
        returned = Clock::now();
    });
    ASSERT_TRUE(gate.WaitForArrivals(1));
    auto asked = Clock::now();
    stop.request_stop();
    reader.join();
    EXPECT_LT(returned - asked, 100ms);
    EXPECT_EQ(result.failure, TransferFailure::Aborted);
    EXPECT_TRUE(result.body.empty());
}

TEST(HttpReadPage, AStopAlreadyAskedForSendsNothing) {
    LoopbackServer server;
    server.Serve("/p", "page");
    std::stop_source stop;
    stop.request_stop();
    TransferResult result = HttpReadPageResult(server.base() + "/p", stop.get_token());
    EXPECT_EQ(result.failure, TransferFailure::Aborted);
    EXPECT_EQ(server.TotalHits(), 0);
}

TEST(HttpReadPage, CutsABodyAtTheCap) {
    LoopbackServer server;
    server.Serve("/big", std::string(5000, 'b'));
    server.Serve("/exact", std::string(1000, 'e'));
    TransferLimits limits = FastLimits();
    limits.maxBodyBytes = 1000;

    TransferResult big = HttpReadPageResult(server.base() + "/big", {}, limits);
    EXPECT_TRUE(big.ok()) << big.message;
    EXPECT_TRUE(big.cut);
    EXPECT_EQ(big.body.data(), std::string(1000, 'b'));

    TransferResult exact = HttpReadPageResult(server.base() + "/exact", {}, limits);
    EXPECT_TRUE(exact.ok()) << exact.message;
    EXPECT_FALSE(exact.cut);
    EXPECT_EQ(exact.body.size(), 1000u);
}

TEST(HttpReadPage, DecodesCompressedBodies) {
    // gzip of "<html>gzip page</html>" and zlib deflate of "<html>deflate page</html>".
    const std::string gzipped("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xb3\xc9\x28\xc9\xcd\xb1\x4b\xaf\xca\x2c\x50\x28"
                              "\x48\x4c\x4f\xb5\xd1\x07\xf3\x01\xb7\x8d\xbf\xad\x16\x00\x00\x00",
                              38);
    const std::string deflated("\x78\x9c\xb3\xc9\x28\xc9\xcd\xb1\x4b\x49\x4d\xcb\x49\x2c\x49\x55\x28\x48\x4c\x4f\xb5"
                               "\xd1\x07\x0b\x01\x00\x78\x3b\x09\x20",
                               30);
    std::mutex mutex;
    std::string acceptEncoding;
    LoopbackServer server;
    auto serve = [&](const std::string& path, const std::string& body, const char* encoding) {
        server.Get(path, [&, body, encoding](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(mutex);
            acceptEncoding = request.get_header_value("Accept-Encoding");
            response.set_header("Content-Encoding", encoding);
            response.set_content(body, "text/html");
        });
    };
    serve("/gz", gzipped, "gzip");
    serve("/deflate", deflated, "deflate");
    EXPECT_EQ(HttpReadPage(server.base() + "/gz").data(), "<html>gzip page</html>");
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(acceptEncoding, "gzip, deflate");
    }
    EXPECT_EQ(HttpReadPage(server.base() + "/deflate").data(), "<html>deflate page</html>");
}

}  // namespace
}  // namespace lumora
