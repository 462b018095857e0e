#include "web/web_request.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/charset.h"
#include "core/text_ops.h"
#include "web/cookie_text.h"

namespace lumora {

namespace {

constexpr const char* kCrLf = "\r\n";

struct HeaderLine {
    Text name;
    Text value;
};

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(const Text& a, const Text& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

// An HTTP token: what a method or a header name may be made of.
bool IsToken(const Text& text) {
    constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               kMarks.find(c) != std::string_view::npos;
    });
}

// A value must not smuggle a line break (or other control byte) onto the wire.
bool IsSafeValue(const Text& value) {
    return std::none_of(value.begin(), value.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && u != '\t') || u == 0x7F;
    });
}

Text WithoutLeadingBlanks(const Text& value) {
    std::size_t first = value.find_first_not_of(" \t");
    return first == Text::npos ? Text() : value.substr(first);
}

// Like the request object's SetRequestHeader: a name set again replaces the earlier
// value; a header the object would refuse (bad name, line breaks, nothing after
// the colon) is not set.
void SetRequestHeader(std::vector<HeaderLine>& lines, const Text& name, const Text& value) {
    Text wireValue = WithoutLeadingBlanks(value);
    if (!IsToken(name) || !IsSafeValue(wireValue) || wireValue.empty()) return;
    for (HeaderLine& line : lines) {
        if (SameName(line.name, name)) {
            line.value = std::move(wireValue);
            return;
        }
    }
    lines.push_back({name, std::move(wireValue)});
}

// The name is everything before the first colon, the value everything after it.
void ApplyHeaderLine(std::vector<HeaderLine>& lines, const Text& line) {
    int colon = Find(line, ":");
    if (colon == -1) return;
    SetRequestHeader(lines, Left(line, colon - 1), Mid(line, colon + 1, static_cast<int>(line.size())));
}

void ApplyHeaders(std::vector<HeaderLine>& lines, const Text& headers) {
    if (Find(headers, kCrLf) != -1) {
        for (const Text& line : Split(headers, kCrLf)) ApplyHeaderLine(lines, line);
    } else if (Find(headers, ":") != -1) {
        ApplyHeaderLine(lines, headers);
    }
}

const HeaderLine* FindHeader(const std::vector<HeaderLine>& lines, const Text& name) {
    for (const HeaderLine& line : lines)
        if (SameName(line.name, name)) return &line;
    return nullptr;
}

// Bytes go as they are. Text goes the way the request object sends a string:
// as UTF-8, unless the content type names a GB charset, whose bytes Text already is.
std::string WireBody(const WebRequestParams& params, const std::vector<HeaderLine>& lines) {
    if (!params.bodyBytes.empty()) return params.bodyBytes.data();
    if (params.body.empty()) return {};
    const HeaderLine* type = FindHeader(lines, "Content-Type");
    if (type && Find(type->value, "charset=gb", 1, true) != -1) return params.body;
    return GbkToUtf8(params.body);
}

Text JoinLines(const std::vector<std::string>& lines) {
    Text joined;
    for (const std::string& line : lines) {
        if (!joined.empty()) joined += kCrLf;
        joined += line;
    }
    return joined;
}

// What the response tells the caller: the redirect address and the cookies it set.
void ReadResponseHeaders(WebRequestParams& params) {
    params.receivedCookies.clear();
    for (const Text& line : Split(params.responseHeaders, kCrLf)) {
        int location = Find(line, "Location:");
        if (location != -1) {
            int at = Find(line, "Location:", 1, true);
            params.redirectAddress = Trim(Left(line, at - 1) + Mid(line, at + 9, static_cast<int>(line.size())));
        }
        if (Find(line, "Set-Cookie") != -1) {
            Text left = "Set-Cookie:";
            Text right = ";";
            params.receivedCookies += Trim(TextBetween(line, left, right)) + "; ";
        }
    }
    MergeCookies(params.cookies, params.receivedCookies);
    if (params.redirectAddress.empty()) params.redirectAddress = params.responseHeaders;
}

}  // namespace

const ProxySettings& ProcessProxySettings() {
    static const ProxySettings none;
    return none;
}

Text DefaultRequestHeaders(const Text& address) {
    Text block = "Referer: " + address;
    for (const char* line : {"Accept: */*", "Accept-Language: zh-cn",
                             "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)",
                             "Content-Type: application/x-www-form-urlencoded"}) {
        block += kCrLf;
        block += line;
    }
    return block;
}

TransferLimits WebRequestLimits(int timeoutSeconds) {
    using std::chrono::milliseconds;
    using std::chrono::seconds;
    TransferLimits limits;
    if (timeoutSeconds == -1) {
        // The request object's own: 60 s to connect, 30 s per send or receive.
        limits.connectTimeout = seconds(60);
        limits.stallTimeout = seconds(30);
        limits.totalTimeout = seconds(240);
        return limits;
    }
    milliseconds each = timeoutSeconds < 1 ? milliseconds(15000) : milliseconds(std::int64_t{timeoutSeconds} * 1000);
    limits.connectTimeout = each;
    limits.stallTimeout = each;
    limits.totalTimeout = std::max<milliseconds>(seconds(120), each * 4);
    return limits;
}

Bytes WebRequest(const Text& address, WebRequestParams& params, std::stop_token stop, std::size_t maxBodyBytes) {
    TransferLimits limits = WebRequestLimits(params.timeoutSeconds);
    limits.maxBodyBytes = maxBodyBytes;
    return WebRequest(address, params, std::move(stop), limits);
}

Bytes WebRequest(const Text& address, WebRequestParams& params, std::stop_token stop, const TransferLimits& limits) {
    detail::CurlTransfer transfer(address, limits);
    if (!transfer.valid()) return {};

    std::transform(params.method.begin(), params.method.end(), params.method.begin(), UpperAscii);
    if (params.method.empty()) params.method = "GET";

    const ProxySettings& proxy = ProcessProxySettings();
    if (!proxy.address.empty()) transfer.SetProxy(proxy.address, proxy.user, proxy.password);
    transfer.FollowRedirects(params.noRedirect ? 0 : 10, Find(address, "https:", 1, true) == 1);

    if (params.headers.empty()) params.headers = DefaultRequestHeaders(address);
    std::vector<HeaderLine> lines;
    if (!params.cookies.empty()) SetRequestHeader(lines, "Cookie", params.cookies);
    ApplyHeaders(lines, params.headers);
    for (const HeaderLine& line : lines) transfer.AddHeader(line.name + ": " + line.value);
    // Headers libcurl would add but the request object does not.
    transfer.AddHeader("Expect:");
    if (!FindHeader(lines, "Content-Type")) transfer.AddHeader("Content-Type:");
    if (!FindHeader(lines, "User-Agent")) transfer.SetUserAgent(kRequestObjectUserAgent);
    transfer.SetRequest(params.method, WireBody(params, lines));

    // A method that is no HTTP token is refused by the object before anything is sent.
    TransferResult result;
    if (IsToken(params.method))
        result = transfer.Run(std::move(stop));
    else
        result.failure = TransferFailure::Other;

    Bytes body;
    params.responseHeaders.clear();
    if (result.ok()) {
        body = std::move(result.body);
        params.responseHeaders = JoinLines(result.headerLines);
    }
    ReadResponseHeaders(params);
    return body;
}

Bytes WebRequest(const Text& address, const Text& method, const Text& body, std::stop_token stop) {
    WebRequestParams params;
    params.method = method;
    params.body = body;
    return WebRequest(address, params, std::move(stop));
}

}  // namespace lumora
