#include "web/web_request.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/handler_gate.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/refused_port.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::HandlerGate;
using test::LoopbackServer;
using test::RawHttpServer;
using test::RefusedPort;

struct WireHeader {
    std::string name;
    std::string value;
};

// The header lines of a raw request head, in the order they were sent.
std::vector<WireHeader> WireHeaders(const std::string& head) {
    std::vector<WireHeader> headers;
    std::size_t at = head.find("\r\n");
    while (at != std::string::npos) {
        std::size_t next = head.find("\r\n", at + 2);
        if (next == std::string::npos || next == at + 2) break;
        std::string line = head.substr(at + 2, next - at - 2);
        std::size_t colon = line.find(':');
        std::size_t value = line.find_first_not_of(' ', colon + 1);
        headers.push_back({line.substr(0, colon), value == std::string::npos ? "" : line.substr(value)});
        at = next;
    }
    return headers;
}

std::vector<std::string> Names(const std::vector<WireHeader>& headers) {
    std::vector<std::string> names;
    for (const WireHeader& header : headers) names.push_back(header.name);
    return names;
}

const WireHeader* FindWire(const std::vector<WireHeader>& headers, const std::string& name) {
    for (const WireHeader& header : headers)
        if (header.name == name) return &header;
    return nullptr;
}

std::string Answer(const std::string& headerLines, const std::string& body) {
    return "HTTP/1.1 200 OK\r\n" + headerLines + "Content-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

TEST(WebRequest, PostWithTheDefaultHeaderBlockInItsOrder) {
    RawHttpServer server([](const RawHttpServer::Request&) { return Answer("", "done"); });
    const std::string address = server.base() + "/form?x=1";
    WebRequestParams params;
    params.method = "post";
    params.body = "actiontype=1&urlData=abc";
    Bytes body = WebRequest(address, params);
    EXPECT_EQ(body.data(), "done");
    EXPECT_EQ(params.method, "POST");
    EXPECT_EQ(params.headers, "Referer: " + address +
                                  "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                                  "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n"
                                  "Content-Type: application/x-www-form-urlencoded");

    ASSERT_EQ(server.requests().size(), 1u);
    const RawHttpServer::Request request = server.requests()[0];
    EXPECT_EQ(request.head.rfind("POST /form?x=1 HTTP/1.1\r\n", 0), 0u) << request.head;
    EXPECT_EQ(request.body, "actiontype=1&urlData=abc");
    std::vector<WireHeader> wire = WireHeaders(request.head);
    std::vector<std::string> defaults;
    for (const WireHeader& header : wire)
        if (header.name != "Host" && header.name != "Content-Length") defaults.push_back(header.name);
    EXPECT_EQ(defaults, (std::vector<std::string>{"Referer", "Accept", "Accept-Language", "User-Agent", "Content-Type"}))
        << request.head;
    EXPECT_EQ(FindWire(wire, "Referer")->value, address);
    EXPECT_EQ(FindWire(wire, "User-Agent")->value, "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)");
    EXPECT_EQ(FindWire(wire, "Content-Type")->value, "application/x-www-form-urlencoded");
}

TEST(WebRequest, EmptyMethodIsGetWithTheSameBlock) {
    RawHttpServer server([](const RawHttpServer::Request&) { return Answer("", "page"); });
    WebRequestParams params;
    EXPECT_EQ(WebRequest(server.base() + "/", params).data(), "page");
    EXPECT_EQ(params.method, "GET");
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string head = server.requests()[0].head;
    EXPECT_EQ(head.rfind("GET / HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(FindWire(WireHeaders(head), "Content-Type"), nullptr) << "the block goes with every method";
    EXPECT_EQ(FindWire(WireHeaders(head), "Content-Length"), nullptr);
}

TEST(WebRequest, SimpleFormSendsMethodAndBody) {
    LoopbackServer server;
    server.Post("/post", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content("got " + request.body, "text/plain");
    });
    EXPECT_EQ(WebRequest(server.base() + "/post", "post", "a=1").data(), "got a=1");
}

TEST(WebRequest, HeaderLinesNameBeforeTheFirstColonValueAfterIt) {
    struct Row {
        const char* name;
        Text headers;
        std::vector<WireHeader> expected;  // the headers beyond those libcurl adds itself
    };
    const Row rows[] = {
        {"further colons stay in the value", "X-A: b:c", {{"X-A", "b:c"}}},
        {"lines in order, colon-less lines skipped, a bare colon line harmless",
         "X-A: b:c\r\nno colon here\r\nX-Empty:\r\nReferer: a:b\r\nX-Last: 1\r\n",
         {{"X-A", "b:c"}, {"Referer", "a:b"}, {"X-Last", "1"}}},
        {"one line without CR LF", "X-One: 1", {{"X-One", "1"}}},
        {"no colon at all sets nothing", "nothing to set", {}},
        {"a name set twice keeps the later value", "X-A: 1\r\nx-a: 2", {{"X-A", "2"}}},
        {"bad names are not sent", " Lead: 1\r\n: nameless\r\nX-Ok: 2", {{"X-Ok", "2"}}},
        {"a lone line feed cannot start a new header", "X-A: b\nInjected: yes\r\nX-B: c", {{"X-B", "c"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RawHttpServer server([](const RawHttpServer::Request&) { return Answer("", "ok"); });
        WebRequestParams params;
        params.headers = row.headers;
        EXPECT_EQ(WebRequest(server.base() + "/h", params).data(), "ok");
        EXPECT_EQ(params.headers, row.headers) << "given headers are left as they are";
        ASSERT_EQ(server.requests().size(), 1u);
        std::vector<WireHeader> seen;
        for (const WireHeader& header : WireHeaders(server.requests()[0].head))
            if (header.name != "Host" && header.name != "Accept" && header.name != "User-Agent") seen.push_back(header);
        ASSERT_EQ(Names(seen), Names(row.expected)) << server.requests()[0].head;
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].value, row.expected[i].value);
        // Without a User-Agent line the request object's own goes out.
        EXPECT_EQ(FindWire(WireHeaders(server.requests()[0].head), "User-Agent")->value, kRequestObjectUserAgent);
    }
}

TEST(WebRequest, CookiesAreSentFirstAndSetCookieLinesMerged) {
    RawHttpServer server([](const RawHttpServer::Request&) {
        return Answer("Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\n", "ok");
    });
    WebRequestParams params;
    params.cookies = "z=9; a=0";
    EXPECT_EQ(WebRequest(server.base() + "/c", params).data(), "ok");
    EXPECT_EQ(params.receivedCookies, "a=1; b=2;");
    EXPECT_EQ(params.cookies, "z=9; a=1; b=2;");

    ASSERT_EQ(server.requests().size(), 1u);
    std::vector<WireHeader> wire = WireHeaders(server.requests()[0].head);
    ASSERT_NE(FindWire(wire, "Cookie"), nullptr);
    EXPECT_EQ(FindWire(wire, "Cookie")->value, "z=9; a=0");
    std::vector<std::string> names = Names(wire);
    EXPECT_LT(std::find(names.begin(), names.end(), "Cookie"), std::find(names.begin(), names.end(), "Referer"));

    WebRequestParams fresh;
    WebRequest(server.base() + "/c", fresh);
    EXPECT_EQ(fresh.cookies, "a=1; b=2;");
    EXPECT_EQ(FindWire(WireHeaders(server.requests()[1].head), "Cookie"), nullptr) << "no cookies, no Cookie header";
}

TEST(WebRequest, ResponseHeadersGiveRedirectAddressAndReceivedCookies) {
    struct Row {
        const char* name;
        std::string headerLines;  // between the status line and Content-Length
        Text redirectBefore;
        Text redirectAfter;  // "*" for the whole response header text
        Text receivedAfter;
    };
    const Row rows[] = {
        {"Location value trimmed", "Location:   /next  \r\n", "", "/next", ""},
        {"Content-Location counts too", "Content-Location: /x\r\n", "", "Content- /x", ""},
        {"the last Location line wins", "Location: /one\r\nX: 1\r\nLocation: /two\r\n", "", "/two", ""},
        {"lower-case location is not taken", "location: /x\r\n", "", "*", ""},
        {"no Location keeps the caller's value", "X-A: 1\r\n", "/kept", "/kept", ""},
        {"Set-Cookie without a semicolon adds an empty entry", "Set-Cookie: solo=1\r\n", "", "*", ";"},
        {"lower-case set-cookie is not taken", "set-cookie: a=1;\r\n", "", "*", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RawHttpServer server([&](const RawHttpServer::Request&) { return Answer(row.headerLines, "b"); });
        WebRequestParams params;
        params.redirectAddress = row.redirectBefore;
        EXPECT_EQ(WebRequest(server.base() + "/r", params).data(), "b");
        EXPECT_EQ(params.responseHeaders, row.headerLines + "Content-Length: 1\r\nConnection: close");
        EXPECT_EQ(params.redirectAddress, row.redirectAfter == "*" ? params.responseHeaders : row.redirectAfter);
        EXPECT_EQ(params.receivedCookies, row.receivedAfter);
    }
}

TEST(WebRequest, FollowsARedirectUnlessTold) {
    LoopbackServer server;
    server.Get("/from", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/to");
        response.set_header("Set-Cookie", "hop=1; path=/");
        response.set_content("moved", "text/plain");
    });
    server.Serve("/to", "arrived", "text/plain");

    WebRequestParams followed;
    EXPECT_EQ(WebRequest(server.base() + "/from", followed).data(), "arrived");
    EXPECT_EQ(followed.responseHeaders.find("Location"), Text::npos) << "only the final response's headers";
    EXPECT_EQ(followed.redirectAddress, followed.responseHeaders);
    EXPECT_EQ(followed.cookies, "");

    WebRequestParams stopped;
    stopped.noRedirect = true;
    EXPECT_EQ(WebRequest(server.base() + "/from", stopped).data(), "moved");
    EXPECT_EQ(stopped.redirectAddress, "/to");
    EXPECT_EQ(stopped.cookies, "hop=1;");
    EXPECT_EQ(server.Hits("/to"), 1);
}

TEST(WebRequest, ReturnsTheBodyOfAnErrorStatus) {
    LoopbackServer server;
    server.Get("/gone", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("no such page", "text/plain");
    });
    EXPECT_EQ(WebRequest(server.base() + "/gone").data(), "no such page");
}

TEST(WebRequest, BodyBytesArriveWholeInsteadOfTheTextBody) {
    RawHttpServer server([](const RawHttpServer::Request&) { return Answer("", "ok"); });
    const std::string bytes("a\0b\0\xff\x80\r\n\0", 9);
    WebRequestParams params;
    params.method = "POST";
    params.body = "ignored";
    params.bodyBytes = Bytes(bytes);
    WebRequest(server.base() + "/bin", params);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].body, bytes);
    EXPECT_EQ(FindWire(WireHeaders(server.requests()[0].head), "Content-Length")->value, "9");
}

TEST(WebRequest, TextBodyGoesAsUtf8UnlessTheContentTypeNamesAGbCharset) {
    // 京东 in GBK and in UTF-8.
    const Text gbk = "name=\xBE\xA9\xB6\xAB";
    const std::string utf8 = "name=\xE4\xBA\xAC\xE4\xB8\x9C";
    RawHttpServer server([](const RawHttpServer::Request&) { return Answer("", "ok"); });

    WebRequestParams plain;
    plain.method = "POST";
    plain.body = gbk;
    WebRequest(server.base() + "/t", plain);

    WebRequestParams gb;
    gb.method = "POST";
    gb.body = gbk;
    gb.headers = "Content-Type: application/x-www-form-urlencoded; charset=GBK";
    WebRequest(server.base() + "/t", gb);

    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[0].body, utf8);
    EXPECT_EQ(server.requests()[1].body, gbk);
}

TEST(WebRequest, TimeoutSecondsMapToTransferBounds) {
    struct Row {
        int timeoutSeconds;
        std::chrono::milliseconds connect;
        std::chrono::milliseconds stall;
    };
    const Row rows[] = {
        {-1, 60s, 30s}, {0, 15s, 15s}, {-7, 15s, 15s}, {5, 5s, 5s}, {INT_MAX, std::chrono::milliseconds(INT_MAX * 1000LL), std::chrono::milliseconds(INT_MAX * 1000LL)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.timeoutSeconds);
        TransferLimits limits = WebRequestLimits(row.timeoutSeconds);
        EXPECT_EQ(limits.connectTimeout, row.connect);
        EXPECT_EQ(limits.stallTimeout, row.stall);
        EXPECT_GE(limits.totalTimeout, limits.stallTimeout);
        EXPECT_EQ(limits.maxBodyBytes, kMaxBodyBytes);
    }
}

TEST(WebRequest, OneSecondTimeoutGivesUpOnAStalledServer) {
    LoopbackServer server;
    HandlerGate gate;
    server.Get("/silent", [wait = gate.Waiter()](const httplib::Request&, httplib::Response& response) {
        wait();
        response.set_content("too late", "text/plain");
    });
    WebRequestParams params;
    params.timeoutSeconds = 1;
    auto started = Clock::now();
    Bytes body = WebRequest(server.base() + "/silent", params);
    auto took = Clock::now() - started;
    EXPECT_TRUE(body.empty());
    EXPECT_TRUE(params.responseHeaders.empty());
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 2s);
}

TEST(WebRequest, ARefusedPortGivesEmptyBytesAndStillWritesBack) {
    RefusedPort refused;
    const Text address = refused.base() + "/x";
    WebRequestParams params;
    params.method = "get";
    params.cookies = "a=1;b=2";
    Bytes body = WebRequest(address, params);
    EXPECT_TRUE(body.empty());
    EXPECT_EQ(params.method, "GET");
    EXPECT_EQ(params.headers.rfind("Referer: " + address + "\r\n", 0), 0u);
    EXPECT_EQ(params.cookies, "a=1; b=2;");
    EXPECT_EQ(params.receivedCookies, "");
    EXPECT_EQ(params.responseHeaders, "");
    EXPECT_EQ(params.redirectAddress, "");
    EXPECT_TRUE(WebRequest("not an address").empty());
}

TEST(WebRequest, AMethodThatIsNoTokenSendsNothing) {
    RawHttpServer server([](const RawHttpServer::Request&) { return Answer("", "ok"); });
    WebRequestParams params;
    params.method = "get / http/1.1\r\nx:";
    EXPECT_TRUE(WebRequest(server.base() + "/", params).empty());
    EXPECT_TRUE(server.requests().empty());
}

TEST(WebRequest, CutsTheBodyAtTheCap) {
    LoopbackServer server;
    server.Serve("/big", std::string(1000, 'b'));
    WebRequestParams params;
    EXPECT_EQ(WebRequest(server.base() + "/big", params, {}, 100).data(), std::string(100, 'b'));
    EXPECT_FALSE(params.responseHeaders.empty());
}

TEST(WebRequest, AbortFromAnotherThreadReturnsAtOnce) {
    LoopbackServer server;
    HandlerGate gate;
    server.Get("/silent", [wait = gate.Waiter()](const httplib::Request&, httplib::Response& response) {
        wait();
        response.set_content("too late", "text/plain");
    });
    std::stop_source stop;
    Bytes body;
    Clock::time_point returned;
    std::thread requester([&] {
        WebRequestParams params;
        body = WebRequest(server.base() + "/silent", params, stop.get_token());
        returned = Clock::now();
    });
    ASSERT_TRUE(gate.WaitForArrivals(1));
    auto asked = Clock::now();
    stop.request_stop();
    requester.join();
    EXPECT_LT(returned - asked, 100ms);
    EXPECT_TRUE(body.empty());
}

TEST(WebRequest, NoProxyIsConfigured) {
    const ProxySettings& proxy = ProcessProxySettings();
    EXPECT_TRUE(proxy.address.empty());
    EXPECT_TRUE(proxy.user.empty());
    EXPECT_TRUE(proxy.password.empty());
    EXPECT_EQ(proxy.credentialFlag, 0);
}

}  // namespace
}  // namespace lumora
