#include "core/charset.h"

#include <memory>

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

namespace lumora {
namespace detail {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// One GBK converter per thread: opening one per call costs more than converting a page.
UConverter* GbkConverter() {
    thread_local std::unique_ptr<UConverter, ConverterCloser> converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        // Windows code page 936: GBK plus the euro sign at 0x80.
        UConverter* opened = ucnv_open("windows-936", &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            opened = ucnv_open("GBK", &status);
        }
        if (opened) {
            status = U_ZERO_ERROR;
            // "?" rather than the converter's own 0x1A for what GBK cannot hold.
            ucnv_setSubstChars(opened, "?", 1, &status);
        }
        return std::unique_ptr<UConverter, ConverterCloser>(opened);
    }();
    ucnv_reset(converter.get());
    return converter.get();
}

Utf16 Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty()) return {};
    Utf16 units(utf8.size(), u'\0');  // UTF-8 never yields more units than bytes
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()), &length,
                         utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    units.resize(static_cast<std::size_t>(length));
    return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
    if (units.empty()) return {};
    std::string utf8(units.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), static_cast<int32_t>(utf8.size()), &length,
                       reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()), 0xFFFD,
                       nullptr, &status);
    if (U_FAILURE(status)) return {};
    utf8.resize(static_cast<std::size_t>(length));
    return utf8;
}

Utf16 GbkBytesToUtf16(std::string_view gbk) {
    UConverter* converter = GbkConverter();
    if (!converter || gbk.empty()) return {};
    Utf16 units(gbk.size() + 1, u'\0');  // GBK never yields more units than bytes (+1 for a flushed lead)
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(units.data()),
                                   static_cast<int32_t>(units.size()), gbk.data(), static_cast<int32_t>(gbk.size()),
                                   &status);
    if (U_FAILURE(status)) return {};
    units.resize(static_cast<std::size_t>(length));
    return units;
}

Text Utf16ToGbkBytes(std::u16string_view units) {
    UConverter* converter = GbkConverter();
    if (!converter || units.empty()) return {};
    Text gbk(units.size() * 2 + 2, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_fromUChars(converter, gbk.data(), static_cast<int32_t>(gbk.size()),
                                     reinterpret_cast<const UChar*>(units.data()),
                                     static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
    gbk.resize(static_cast<std::size_t>(length));
    return gbk;
}

std::u16string_view UpToZero(const Utf16& units) {
    std::u16string_view view(units);
    return view.substr(0, view.find(u'\0'));
}

Text UpToNul(Text text) {
    auto nul = text.find('\0');
    if (nul != Text::npos) text.resize(nul);
    return text;
}

// UTF-8 into GBK. Pages are mostly ASCII markup, which is the same bytes in
// both, so only the runs holding other bytes go through the converters.
// Such a run takes the ASCII character before it along, so that a base letter
// and a combining mark after it still compose.
template <typename ConvertRun>
Text Utf8RunsToGbk(std::string_view utf8, ConvertRun convertRun) {
    Text out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t ascii = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80) ++i;
        if (i == utf8.size()) {
            out.append(utf8.substr(ascii));
            break;
        }
        std::size_t runStart = i > ascii ? i - 1 : i;
        out.append(utf8.substr(ascii, runStart - ascii));
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) ++i;
        out += convertRun(utf8.substr(runStart, i - runStart));
    }
    return out;
}

}  // namespace detail

Utf16 Utf8BytesToUtf16(const Bytes& bytes) { return detail::Utf8ToUtf16(bytes.view()); }

Text Utf16ToGbk(const Utf16& units) {
    // Fetched once through a C++ static, whose guard every thread (and
    // ThreadSanitizer, which cannot see inside ICU) agrees on.
    static const icu::Normalizer2* const nfc = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* instance = icu::Normalizer2::getNFCInstance(status);
        return U_FAILURE(status) ? nullptr : instance;
    }();
    UErrorCode status = U_ZERO_ERROR;
    if (!nfc) return detail::UpToNul(detail::Utf16ToGbkBytes(units));
    icu::UnicodeString source(false, reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()));
    // Most pages are already composed; only the tail from the first suspect character is normalised.
    int32_t clean = nfc->spanQuickCheckYes(source, status);
    if (U_FAILURE(status) || clean == source.length())
        return detail::UpToNul(detail::Utf16ToGbkBytes(units));
    icu::UnicodeString composed(source, 0, clean);
    icu::UnicodeString tail(source, clean);
    nfc->normalizeSecondAndAppend(composed, tail, status);
    if (U_FAILURE(status)) return detail::UpToNul(detail::Utf16ToGbkBytes(units));
    std::u16string_view view(reinterpret_cast<const char16_t*>(composed.getBuffer()),
                             static_cast<std::size_t>(composed.length()));
    return detail::UpToNul(detail::Utf16ToGbkBytes(view));
}

Text Utf8ToAnsi(const Bytes& page) {
    // An inner NUL ends the result, as the converted text would.
    std::string_view bytes = page.view();
    bytes = bytes.substr(0, bytes.find('\0'));
    return detail::Utf8RunsToGbk(bytes, [](std::string_view run) { return Utf16ToGbk(detail::Utf8ToUtf16(run)); });
}

Text Utf8ToAnsi(const Text& text) {
    std::string_view bytes(text);
    bytes = bytes.substr(0, bytes.find('\0'));
    return detail::Utf8RunsToGbk(bytes, [](std::string_view run) { return detail::Utf16ToGbkBytes(detail::Utf8ToUtf16(run)); });
}

Utf16 MultiByteToUtf16(const Text& text, int codePage) {
    std::string_view view(text);
    view = view.substr(0, view.find('\0'));
    if (codePage == kCodePageUtf8) return detail::Utf8ToUtf16(view);
    return detail::GbkBytesToUtf16(view);
}

Text Utf16ToMultiByte(const Utf16& units, int codePage) {
    auto view = detail::UpToZero(units);
    if (codePage == kCodePageUtf8) return detail::Utf16ToUtf8(view);
    return detail::Utf16ToGbkBytes(view);
}

Utf16 GbkToUtf16(const Text& text) { return MultiByteToUtf16(text, kCodePageGbk); }

std::string GbkToUtf8(const Text& text) { return detail::Utf16ToUtf8(GbkToUtf16(text)); }

Text Utf8ToGbk(std::string_view utf8) { return detail::UpToNul(detail::Utf16ToGbkBytes(detail::Utf8ToUtf16(utf8))); }

}  // namespace lumora
