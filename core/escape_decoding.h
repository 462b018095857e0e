#pragma once

#include "core/text.h"

namespace lumora {

/// Runs text through one of four escape functions, each over UTF-16 code units
/// with GBK on the way in and out:
/// - "to16un" (the default): every backslash becomes "%", then %uXXXX (a
///   lower-case u, four hexadecimal digits) and %XX are decoded; any other "%"
///   stays. So \u4e2d gives 中 and 50%25 gives 50%.
/// - "to16on": \u, then each code unit as lower-case hexadecimal, "00" in
///   front and the last four digits kept, joined by \u.
/// - "to10on": "&#", the decimal codes joined by ";&#", then ";".
/// - "to10un": every "&#", optional "x", up to five characters other than "&"
///   and an optional ";" becomes the character whose code leads those
///   characters (hexadecimal after "x"), modulo 65536; no leading digit gives 0.
/// A decoded character GBK cannot hold comes out as "?"; a decoded NUL ends the
/// result. functionName is in and out: null or empty means "to16un", which is
/// then written back; any other name gives empty text. Any thread.
Text DecodeUnicodeEscapes(const Text& text, Text* functionName = nullptr);

}  // namespace lumora
