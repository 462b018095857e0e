#pragma once

#include "monitor/page_reader.h"
#include "web/curl_transfer.h"

namespace lumora {

/// The monitors' page read over the network, with the given transfer bounds.
PageReader HttpPageReader(TransferLimits limits = {});

}  // namespace lumora
