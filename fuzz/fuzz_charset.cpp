// Both UTF-8 to GBK forms over arbitrary bytes: malformed input must come out
// as "?" substitutes, never a crash or an overread.
#include <cstddef>
#include <cstdint>

#include "core/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lumora::Bytes page(reinterpret_cast<const char*>(data), size);
    lumora::Text whole = lumora::Utf8ToAnsi(page);
    lumora::Text text = lumora::Utf8ToAnsi(page.data());
    // Both stop at the first NUL, whole page or text.
    if (whole.find('\0') != lumora::Text::npos || text.find('\0') != lumora::Text::npos) __builtin_trap();
    return 0;
}
