#pragma once

#include <string>

#include "core/text.h"

namespace lumora {

/// UTF-16 code units (the platform's little-endian buffer, as a string).
using Utf16 = std::u16string;

/// A whole UTF-8 page into GBK: the explicit length is converted (an inner NUL
/// ends the result), base + combining mark composed where GBK has the
/// precomposed form. Malformed input becomes "?", never an error.
Text Utf8ToAnsi(const Bytes& page);
/// Text whose bytes are UTF-8 into GBK, up to its first NUL, code unit by
/// code unit (no composition).
Text Utf8ToAnsi(const Text& text);

/// UTF-8 bytes to UTF-16 over the explicit length; malformed → U+FFFD.
Utf16 Utf8BytesToUtf16(const Bytes& bytes);
/// UTF-16 to GBK with composition; unmappable → "?"; result ends at first NUL.
Text Utf16ToGbk(const Utf16& units);

/// Code pages the conversions accept; 0 is the ANSI page, GBK here.
inline constexpr int kCodePageAnsi = 0;
inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageUtf8 = 65001;

/// text (up to its first NUL) from codePage into UTF-16, without a terminating
/// zero unit in the returned string.
Utf16 MultiByteToUtf16(const Text& text, int codePage = kCodePageUtf8);
/// UTF-16 (up to its first zero unit) into codePage; no composition.
Text Utf16ToMultiByte(const Utf16& units, int codePage = kCodePageAnsi);

/// Edge conversions for the window and the command line.
Utf16 GbkToUtf16(const Text& text);
std::string GbkToUtf8(const Text& text);
Text Utf8ToGbk(std::string_view utf8);

}  // namespace lumora
