// Arbitrary patterns over arbitrary subjects: the input up to the first NUL is
// the pattern, the rest the subject; the first byte sets the options. Every
// accessor is read back, also past the ends.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/script_regex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned options = data[0];
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t nul = input.find('\0');
    const lumora::Text pattern(input.substr(0, nul));
    const lumora::Text subject(nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1));

    lumora::ScriptRegex regex;
    bool valid = regex.Search(pattern, subject, options & 1, options & 2, options & 4, options & 8);
    const int matches = regex.MatchCount();
    if (!valid && matches != 0) __builtin_trap();
    const int groups = regex.SubMatchCount();
    for (int match = 0; match <= matches + 1 && match < 64; ++match) {
        int position = 0;
        lumora::Text text = regex.MatchText(match, &position);
        if (position < -1 || position > static_cast<int>(subject.size())) __builtin_trap();
        for (int group = 0; group <= groups + 1 && group < 16; ++group) regex.SubMatchText(match, group, &position);
    }
    regex.GetPattern();
    regex.ReplaceMatches("<$1|$&|$`|$'|$$|$9>");
    return 0;
}
