#include "core/script_regex.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unicode/ucnv.h>
#include <unicode/uregex.h>

#include "core/charset.h"
#include "core/script_pattern.h"
#include "core/text_ops.h"

namespace lumora {

struct ScriptRegex::Result {
    Text pattern;
    Text subject;
    bool valid = false;  // the pattern compiled and the scan ran to its end
    int groupCount = 0;
    // Per match, groupCount + 1 pairs [begin, end) of byte offsets into subject,
    // the whole match first; -1 for a group that took no part.
    std::vector<std::int32_t> spans;

    int Count() const { return static_cast<int>(spans.size() / Stride()); }
    std::size_t Stride() const { return 2 * (static_cast<std::size_t>(groupCount) + 1); }
    // The span of group (0 = whole match) of match (0-based), both checked by the caller.
    std::pair<std::int32_t, std::int32_t> Span(int match, int group) const {
        std::size_t at = static_cast<std::size_t>(match) * Stride() + 2 * static_cast<std::size_t>(group);
        return {spans[at], spans[at + 1]};
    }
    Text Slice(std::pair<std::int32_t, std::int32_t> span) const {
        if (span.first < 0) return {};
        return subject.substr(static_cast<std::size_t>(span.first), static_cast<std::size_t>(span.second - span.first));
    }
};

namespace {

// "#引号" in GBK: '#', 引 = D2 FD, 号 = BA C5.
const Text kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

// Work allowed per Search, in ICU ticks of 10,000 backtrack saves each: about
// 200 ms here, far above what a real page needs (well under one tick per match).
// It counts over all matches of the scan, so many slow matches cannot add up.
constexpr int kWorkTicks = 1000;
// Backtrack stack per Search, in bytes.
constexpr std::int32_t kStackBytes = 8 * 1024 * 1024;

struct RegexCloser {
    void operator()(URegularExpression* regex) const { uregex_close(regex); }
};
struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

UConverter* GbkConverter() {
    thread_local std::unique_ptr<UConverter, ConverterCloser> converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* opened = ucnv_open("windows-936", &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            opened = ucnv_open("GBK", &status);
        }
        return std::unique_ptr<UConverter, ConverterCloser>(U_SUCCESS(status) ? opened : nullptr);
    }();
    if (converter) ucnv_reset(converter.get());
    return converter.get();
}

// The subject as UTF-16 with, for every code unit, the offset of the GBK byte
// its character starts at (one entry more for the end). Results are cut from
// the GBK bytes through this map, so nothing is converted back per match.
struct Utf16Subject {
    std::u16string units;
    std::vector<std::int32_t> byteAt;
};

// True when lead and trail form one double-byte GBK character by their ranges alone.
bool IsDoubleByte(unsigned char lead, unsigned char trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

// ASCII maps to itself in code page 936 and makes up most of a page: it is
// copied here, and only the runs of other bytes go through the converter.
bool ConvertSubject(std::string_view gbk, Utf16Subject& out) {
    UConverter* converter = GbkConverter();
    if (!converter) return false;
    const std::size_t size = gbk.size();
    out.units.assign(size, u'\0');  // a GBK run never gives more units than bytes
    out.byteAt.assign(size + 1, 0);
    UChar* units = reinterpret_cast<UChar*>(out.units.data());
    std::size_t length = 0;
    std::size_t at = 0;
    while (at < size) {
        const auto byte = static_cast<unsigned char>(gbk[at]);
        if (byte < 0x80) {
            units[length] = byte;
            out.byteAt[length++] = static_cast<std::int32_t>(at++);
            continue;
        }
        const std::size_t runStart = at;
        while (at < size && static_cast<unsigned char>(gbk[at]) >= 0x80) {
            at += at + 1 < size && IsDoubleByte(static_cast<unsigned char>(gbk[at]),
                                                static_cast<unsigned char>(gbk[at + 1]))
                      ? 2
                      : 1;
        }
        ucnv_reset(converter);
        UChar* target = units + length;
        const char* source = gbk.data() + runStart;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, units + size, &source, gbk.data() + at, out.byteAt.data() + length, true,
                       &status);
        if (U_FAILURE(status)) return false;
        const std::size_t produced = static_cast<std::size_t>(target - (units + length));
        // The converter counts from the start of the run; it may also report -1.
        for (std::size_t k = length; k < length + produced; ++k) {
            std::int32_t offset = std::max(out.byteAt[k], 0) + static_cast<std::int32_t>(runStart);
            out.byteAt[k] = k > 0 ? std::max(offset, out.byteAt[k - 1]) : offset;
        }
        length += produced;
    }
    out.units.resize(length);
    out.byteAt.resize(length + 1);
    out.byteAt[length] = static_cast<std::int32_t>(size);
    return true;
}

struct WorkBudget {
    int ticksLeft = kWorkTicks;
};

UBool U_CALLCONV SpendTick(const void* context, int32_t /*steps*/) {
    auto* budget = static_cast<WorkBudget*>(const_cast<void*>(context));
    return --budget->ticksLeft > 0;
}

Text UpToNul(const Text& text) { return text.substr(0, text.find('\0')); }

}  // namespace

bool ScriptRegex::Search(const Text& pattern, const Text& subject, bool caseSensitive, bool multiline, bool global,
                         bool expandQuotePlaceholder) {
    auto result = std::make_shared<Result>();
    result->pattern = UpToNul(pattern);
    if (expandQuotePlaceholder) result->pattern = Replace(result->pattern, kQuotePlaceholder, "\"", true);
    m_result = result;  // the pattern reads back even when it is refused

    std::u16string icuPattern = detail::TranslateScriptPattern(GbkToUtf16(result->pattern), multiline);
    uint32_t flags = UREGEX_UNIX_LINES;  // "." stops at a line feed only; a CR is an ordinary character
    if (!caseSensitive) flags |= UREGEX_CASE_INSENSITIVE;
    if (multiline) flags |= UREGEX_MULTILINE;
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<URegularExpression, RegexCloser> regex(
        uregex_open(reinterpret_cast<const UChar*>(icuPattern.c_str()), static_cast<int32_t>(icuPattern.size()), flags,
                    &parseError, &status));
    if (U_FAILURE(status) || !regex) return false;

    result->subject = UpToNul(subject);
    Utf16Subject text;
    if (!ConvertSubject(result->subject, text)) return false;
    WorkBudget budget;
    uregex_setText(regex.get(), reinterpret_cast<const UChar*>(text.units.c_str()),
                   static_cast<int32_t>(text.units.size()), &status);
    uregex_setStackLimit(regex.get(), kStackBytes, &status);
    uregex_setMatchCallback(regex.get(), SpendTick, &budget, &status);
    const int32_t groups = uregex_groupCount(regex.get(), &status);
    if (U_FAILURE(status)) return false;
    result->groupCount = groups;

    while (uregex_findNext(regex.get(), &status)) {
        for (int32_t group = 0; group <= groups; ++group) {
            int32_t begin = uregex_start(regex.get(), group, &status);
            int32_t end = uregex_end(regex.get(), group, &status);
            if (begin < 0 || end < begin) {
                result->spans.push_back(-1);
                result->spans.push_back(-1);
            } else {
                result->spans.push_back(text.byteAt[static_cast<std::size_t>(begin)]);
                result->spans.push_back(text.byteAt[static_cast<std::size_t>(end)]);
            }
        }
        if (!global || U_FAILURE(status)) break;
    }
    if (U_FAILURE(status)) {
        // Ran away (work or stack limit) or failed: a page cut short is no result.
        result->spans.clear();
        result->groupCount = 0;
        return false;
    }
    result->valid = true;
    return true;
}

void ScriptRegex::Reserved() {}

Text ScriptRegex::GetPattern() const { return m_result ? m_result->pattern : Text(); }

Text ScriptRegex::ReplaceMatches(const Text& replacement) const {
    if (!m_result || !m_result->valid) return {};
    const Result& r = *m_result;
    const Text with = UpToNul(replacement);
    Text out;
    out.reserve(r.subject.size());
    std::size_t copied = 0;
    for (int m = 0; m < r.Count(); ++m) {
        auto [begin, end] = r.Span(m, 0);
        out.append(r.subject, copied, static_cast<std::size_t>(begin) - copied);
        // '$' and what may follow it are ASCII, never a GBK trail byte.
        for (std::size_t i = 0; i < with.size(); ++i) {
            const char c = with[i];
            const char next = i + 1 < with.size() ? with[i + 1] : '\0';
            if (c != '$' || next == '\0') {
                out += c;
            } else if (next == '$') {
                out += '$';
                ++i;
            } else if (next == '&') {
                out.append(r.subject, static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
                ++i;
            } else if (next == '`') {
                out.append(r.subject, 0, static_cast<std::size_t>(begin));
                ++i;
            } else if (next == '\'') {
                out.append(r.subject, static_cast<std::size_t>(end));
                ++i;
            } else if (next >= '1' && next <= '9' && next - '0' <= r.groupCount) {
                out += r.Slice(r.Span(m, next - '0'));
                ++i;
            } else {
                out += c;
            }
        }
        copied = static_cast<std::size_t>(end);
    }
    out.append(r.subject, copied);
    return out;
}

int ScriptRegex::MatchCount() const { return m_result ? m_result->Count() : 0; }

Text ScriptRegex::MatchText(int matchIndex, int* position) const { return Piece(matchIndex, 0, position); }

Text ScriptRegex::SubMatchText(int matchIndex, int groupIndex, int* position) const {
    if (groupIndex < 1) {
        if (position) *position = -1;
        return {};
    }
    return Piece(matchIndex, groupIndex, position);
}

Text ScriptRegex::Piece(int matchIndex, int group, int* position) const {
    if (position) *position = -1;
    if (!m_result || matchIndex < 1 || matchIndex > m_result->Count() || group > m_result->groupCount) return {};
    auto span = m_result->Span(matchIndex - 1, group);
    // The true byte offset in the GBK subject, not a count of UTF-16 characters.
    if (position) *position = span.first;
    return m_result->Slice(span);
}

int ScriptRegex::SubMatchCount() const { return m_result && m_result->Count() > 0 ? m_result->groupCount : 0; }

}  // namespace lumora
