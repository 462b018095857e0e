// Every source's own pattern over an arbitrary page, the way a click runs it:
// the page decoded as the source says, then ScrapeToList into the source's
// list. The first byte picks the source.
#include <cstddef>
#include <cstdint>

#include "controls/list_view.h"
#include "core/charset.h"
#include "core/escape_decoding.h"
#include "scrape/scrape_to_list.h"
#include "scrape/source_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto sources = lumora::Sources();
    const lumora::SourceDescriptor& source = sources[data[0] % sources.size()];
    const lumora::Text body =
        lumora::TextFromBytes(lumora::Bytes(reinterpret_cast<const char*>(data) + 1, size - 1));
    lumora::Text page = body;
    if (source.decoding == lumora::PageDecoding::Utf8ToAnsi) page = lumora::Utf8ToAnsi(body);
    if (source.decoding == lumora::PageDecoding::UnicodeEscapes) page = lumora::DecodeUnicodeEscapes(body);

    lumora::ListView list("list", lumora::ListColumns(source), source.colour);
    lumora::ScrapeToList(page, lumora::Text(source.pattern), list);
    for (int row = 0; row < list.RowCount(); ++row)
        for (int column = 0; column < source.columnCount; ++column)
            if (list.Cell(row, column).size() > page.size()) __builtin_trap();
    return 0;
}
