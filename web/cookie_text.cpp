#include "web/cookie_text.h"

#include <vector>

#include "core/text_ops.h"

namespace lumora {

namespace {

int Length(const Text& text) { return static_cast<int>(text.size()); }

void ExpandQuotePlaceholder(Text& marker) {
    if (Find(marker, kQuotePlaceholder) != -1) marker = Replace(marker, kQuotePlaceholder, "\"", true);
}

// The size the text would have after Replace(text, oldPart, newPart, ignoring case),
// counted without building it.
std::size_t SizeAfterReplace(const Text& text, const Text& oldPart, const Text& newPart) {
    if (oldPart.empty()) return text.size();
    std::size_t count = 0;
    for (int at = Find(text, oldPart, 1, true); at != -1; at = Find(text, oldPart, at + Length(oldPart), true))
        ++count;
    return text.size() - count * oldPart.size() + count * newPart.size();
}

void EndWithSemicolon(Text& text) {
    if (!text.empty() && text.back() != ';') text += ';';
}

}  // namespace

Text TextBetween(const Text& text, Text& left, Text& right, int start, bool caseSensitive) {
    ExpandQuotePlaceholder(left);
    ExpandQuotePlaceholder(right);
    int found = Find(text, left, start, !caseSensitive);
    if (found == -1) return {};
    Text rest = Right(text, Length(text) - found - Length(left) + 1);
    int stop = Find(rest, right, start, !caseSensitive);
    if (stop == -1) return {};
    return Left(rest, stop - 1);
}

Text TextBetweenFrom(const Text& text, int& position, const Text& left, Text& marker, bool searchMarker,
                     const Text& end, bool ignoreCase, bool includeLeft) {
    position = Find(text, left, position, ignoreCase);
    if (position == -1) return {};
    int markerAt = position;
    if (searchMarker)
        markerAt = Find(text, marker, position, ignoreCase);
    else
        marker = left;
    if (markerAt == -1) {
        position = -1;
        return {};
    }
    int endAt = Find(text, end, markerAt + Length(marker), ignoreCase);
    if (endAt == -1) endAt = Length(text) + 1;
    if (!includeLeft) position += Length(marker);
    return Mid(text, position, endAt - position);
}

Text MergeCookies(Text& cookies, Text& received) {
    cookies = Trim(cookies);
    received = Trim(received);
    EndWithSemicolon(cookies);
    EndWithSemicolon(received);

    int pairs = 0;
    for (const Text& piece : Split(received, ";")) {
        int equals = Find(piece, "=");
        if (equals == -1) continue;
        if (++pairs > kMaxMergedCookiePairs) break;
        // Untrimmed on purpose: a pair that followed "; " keeps its leading space.
        Text name = Left(piece, equals - 1);
        if (Find(cookies, name, 1, true) == -1) {
            if (cookies.size() + piece.size() + 1 > kMaxCookieTextBytes) continue;
            cookies += piece + ";";
            continue;
        }
        int position = 0;
        Text marker;
        Text current = TextBetweenFrom(cookies, position, name, marker, false, ";", true, true);
        if (SizeAfterReplace(cookies, current, piece) > kMaxCookieTextBytes) continue;
        cookies = Replace(cookies, current, piece, false);
    }

    Text merged;
    for (const Text& piece : Split(cookies, ";")) {
        bool emptyValue = !piece.empty() && piece.back() == '=';
        bool deleted = Right(piece, 8) == "=deleted";
        if (emptyValue || deleted) continue;
        merged += Trim(piece) + "; ";
    }
    cookies = Trim(merged);
    return cookies;
}

}  // namespace lumora
