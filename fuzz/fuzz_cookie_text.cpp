// MergeCookies and the TextBetween pair over arbitrary text. The input is cut
// at NUL bytes into the pieces each call takes; the last byte of the first
// piece (when present) drives the flags and start positions.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "web/cookie_text.h"

namespace {

std::vector<lumora::Text> Pieces(std::string_view input, std::size_t count) {
    std::vector<lumora::Text> pieces;
    while (pieces.size() + 1 < count) {
        std::size_t nul = input.find('\0');
        if (nul == std::string_view::npos) break;
        pieces.emplace_back(input.substr(0, nul));
        input.remove_prefix(nul + 1);
    }
    pieces.emplace_back(input);
    pieces.resize(count);
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned flags = data[0];
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<lumora::Text> piece = Pieces(input, 4);

    lumora::Text cookies = piece[0];
    lumora::Text received = piece[1];
    lumora::Text merged = lumora::MergeCookies(cookies, received);
    if (merged != cookies) __builtin_trap();  // the result is also written back

    lumora::Text left = piece[1];
    lumora::Text right = piece[2];
    const int start = static_cast<int>(flags % 8) - 2;
    lumora::Text between = lumora::TextBetween(piece[0] + piece[3], left, right, start, (flags & 0x08) != 0);
    if (between.size() > piece[0].size() + piece[3].size()) __builtin_trap();

    int position = start;
    lumora::Text marker = piece[2];
    lumora::Text from = lumora::TextBetweenFrom(piece[0], position, piece[1], marker, (flags & 0x10) != 0, piece[3],
                                                (flags & 0x20) != 0, (flags & 0x40) != 0);
    if (from.size() > piece[0].size()) __builtin_trap();
    if (position < -1 || (position == -1 && !from.empty())) __builtin_trap();
    return 0;
}
