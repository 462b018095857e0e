#pragma once

#include "core/text.h"

namespace lumora {

/// The lending-platform activity page the program carries: GBK, exactly
/// 30,000 bytes, the start of the listing cut off in the middle of the page.
const Text& StoredLendingPage();

}  // namespace lumora
