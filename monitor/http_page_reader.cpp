#include "monitor/http_page_reader.h"

#include "web/http_read_page.h"

namespace lumora {

PageReader HttpPageReader(TransferLimits limits) {
    return [limits](const std::string& address, std::stop_token stop) {
        TransferResult result = HttpReadPageResult(address, stop, limits);
        PageRead read;
        read.ok = result.ok();
        read.status = static_cast<int>(result.status);
        read.failure = result.message;
        read.body = std::move(result.body);
        return read;
    };
}

}  // namespace lumora
