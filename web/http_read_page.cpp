#include "web/http_read_page.h"

namespace lumora {

TransferResult HttpReadPageResult(const std::string& address, std::stop_token stop, const TransferLimits& limits) {
    detail::CurlTransfer transfer(address, limits);
    transfer.UseHttp10();
    transfer.FollowRedirects(10, false);
    transfer.AcceptCompressed();
    transfer.SetUserAgent(kReadPageUserAgent);
    transfer.AddHeader("Accept: */*");
    transfer.AddHeader("Cache-Control: no-cache");
    transfer.AddHeader("Pragma: no-cache");
    transfer.SetRequest("GET", {});
    return transfer.Run(std::move(stop));
}

Bytes HttpReadPage(const std::string& address, std::stop_token stop, const TransferLimits& limits) {
    return HttpReadPageResult(address, std::move(stop), limits).body;
}

}  // namespace lumora
