// The four escape functions over arbitrary GBK-ish text. The first byte picks
// the function (or an unknown name, which must give empty text).
#include <cstddef>
#include <cstdint>

#include "core/escape_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const kNames[] = {"to16un", "to16on", "to10on", "to10un", "", "to99"};
    const char* name = kNames[data[0] % (sizeof(kNames) / sizeof(kNames[0]))];
    const lumora::Text text(reinterpret_cast<const char*>(data) + 1, size - 1);

    lumora::Text function = name;
    lumora::Text decoded = lumora::DecodeUnicodeEscapes(text, &function);
    if (decoded.find('\0') != lumora::Text::npos) __builtin_trap();  // a decoded NUL ends the result
    if (function.empty()) __builtin_trap();                           // empty is written back as "to16un"
    lumora::DecodeUnicodeEscapes(text);
    return 0;
}
