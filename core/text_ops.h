#pragma once

#include <vector>

#include "core/text.h"

namespace lumora {

/// 1-based position of the first occurrence of part at or after start, or -1.
/// Start 0 or 1 is the beginning. Steps over double-byte characters as units,
/// so a match never begins on a trail byte. ignoreCase folds ASCII only.
/// An empty part is found at 1 in any non-empty text, nowhere in an empty one.
int Find(const Text& text, const Text& part, int start = 1, bool ignoreCase = false);

/// Every occurrence replaced, left to right, resuming after each replacement.
Text Replace(const Text& text, const Text& oldPart, const Text& newPart, bool caseSensitive = true);

/// Pieces before each separator (empty ones too), then the rest if not empty.
std::vector<Text> Split(const Text& text, const Text& separator);

/// Strips ASCII spaces and full-width spaces (A1 A1) from both ends.
Text Trim(const Text& text);

Text Left(const Text& text, int n);
Text Right(const Text& text, int n);
/// n bytes from 1-based position p.
Text Mid(const Text& text, int p, int n);

/// Full-width digits, signs and spaces become ASCII, then read as atoi would.
int ToNumber(const Text& text);

}  // namespace lumora
