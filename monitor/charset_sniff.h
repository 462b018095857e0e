#pragma once

#include <string_view>

#include "core/text.h"

namespace lumora {

/// True when a board page says it is UTF-8: its Content-Type charset, else a
/// <meta charset> or http-equiv Content-Type near its start. A page that
/// declares GBK, GB2312 or nothing is not.
bool DeclaresUtf8(std::string_view contentType, const Bytes& page);

}  // namespace lumora
