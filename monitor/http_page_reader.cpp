#include "monitor/http_page_reader.h"

#include <cctype>
#include <charconv>

#include "web/http_read_page.h"

namespace lumora {

namespace {

// The value of header name in "Name: value" lines, or empty.
std::string HeaderValue(const std::vector<std::string>& lines, std::string_view name) {
    for (const auto& line : lines) {
        if (line.size() <= name.size() || line[name.size()] != ':') continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(line[i])) == std::tolower(static_cast<unsigned char>(name[i]));
        if (!same) continue;
        std::size_t begin = line.find_first_not_of(" \t", name.size() + 1);
        return begin == std::string::npos ? std::string() : line.substr(begin);
    }
    return {};
}

}  // namespace

PageReader HttpPageReader(TransferLimits limits) {
    return [limits](const std::string& address, std::stop_token stop) {
        TransferResult result = HttpReadPageResult(address, stop, limits);
        PageRead read;
        read.ok = result.ok();
        read.status = static_cast<int>(result.status);
        read.failureKind = result.failure;
        read.failure = result.message;
        read.contentType = HeaderValue(result.headerLines, "content-type");
        // Only the delta-seconds form; a date form falls back to plain doubling.
        std::string retry = HeaderValue(result.headerLines, "retry-after");
        long long seconds = 0;
        auto [end, error] = std::from_chars(retry.data(), retry.data() + retry.size(), seconds);
        if (error == std::errc() && end == retry.data() + retry.size() && seconds > 0)
            read.retryAfter = std::chrono::seconds(seconds);
        read.body = std::move(result.body);
        return read;
    };
}

}  // namespace lumora
