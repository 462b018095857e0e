#include "scrape/run_source.h"

#include "controls/toolkit.h"
#include "core/charset.h"
#include "core/escape_decoding.h"
#include "scrape/stored_page.h"
#include "web/http_read_page.h"
#include "web/web_request.h"

namespace lumora {
namespace {

Bytes FetchBody(const SourceDescriptor& source, const std::string& address, std::stop_token stop) {
    switch (source.fetch) {
    case PageFetch::WebRequest:
        return WebRequest(address, Text(source.method), Text(), std::move(stop));
    case PageFetch::HttpReadPage:
        return HttpReadPage(address, std::move(stop));
    case PageFetch::StoredPage:
        return Bytes(StoredLendingPage());
    }
    return {};
}

Text Decode(PageDecoding decoding, const Text& text) {
    switch (decoding) {
    case PageDecoding::None:
        return text;
    case PageDecoding::Utf8ToAnsi:
        return Utf8ToAnsi(text);
    case PageDecoding::UnicodeEscapes:
        return DecodeUnicodeEscapes(text);
    }
    return text;
}

void ReadBox(const Form& form, std::string_view name, Text& into) {
    if (name.empty()) return;
    if (const EditBox* box = form.Find<EditBox>(std::string(name))) into = ReadText(*box);
}

}  // namespace

std::string SourceAddress(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs) {
    return source.address ? source.address(source, settings, inputs) : std::string();
}

Text SourcePageText(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs,
                    std::stop_token stop) {
    const Bytes body = FetchBody(source, SourceAddress(source, settings, inputs), stop);
    // A transfer cut short by the stop is no page.
    if (stop.stop_requested()) return {};
    return Decode(source.decoding, TextFromBytes(body));
}

SourceRows RunSource(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs,
                     std::stop_token stop) {
    const Text page = SourcePageText(source, settings, inputs, stop);
    if (page.empty() || stop.stop_requested()) return {};
    return MatchRows(page, Text(source.pattern));
}

SourceInputs ReadSourceInputs(const SourceDescriptor& source, const Form& form) {
    SourceInputs inputs;
    ReadBox(form, source.inputs.page, inputs.page);
    ReadBox(form, source.inputs.item, inputs.item);
    ReadBox(form, source.inputs.price, inputs.price);
    return inputs;
}

}  // namespace lumora
