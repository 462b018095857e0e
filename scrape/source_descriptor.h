#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/list_view.h"
#include "core/settings.h"
#include "core/text.h"

namespace lumora {

/// What a source reads from its page's input boxes at the click, as typed (GBK).
/// The defaults are the boxes' initial texts.
struct SourceInputs {
    Text page = "1";                        // 编辑框20, page of the project list
    Text item = "\xB1\xDC\xD4\xD0\xCC\xD7";  // 编辑框22, item name: 避孕套
    Text price = "0-1";                     // 编辑框23, price range
};

/// How the page text is obtained.
enum class PageFetch {
    WebRequest,    ///< the full web request, default header block, 15 s timeouts
    HttpReadPage,  ///< the plain page read
    StoredPage,    ///< the page carried by the program; no request
};

/// What turns the body (read as Text up to its first NUL) into the working Text.
enum class PageDecoding {
    None,
    Utf8ToAnsi,      ///< the Text form
    UnicodeEscapes,  ///< DecodeUnicodeEscapes with its default procedure
};

struct SourceColumn {
    std::string_view title;  // UTF-8
    int width;
};

/// Form names of the page's input boxes; empty: the page has none.
struct SourceInputBoxes {
    std::string_view page;
    std::string_view item;
    std::string_view price;
};

struct SourceDescriptor;
/// Builds the address a source requests; the typed inputs go in as typed.
using AddressBuilder = std::string (*)(const SourceDescriptor&, const Settings&, const SourceInputs&);

/// One one-shot source: where its page comes from, how it is decoded, the
/// pattern whose groups fill its list (group j to column j - 1), and the list
/// view and controls of its page. Names and captions are UTF-8; the pattern is
/// GBK Text in the script dialect, matched ignoring case, multiline, global.
struct SourceDescriptor {
    std::string_view page;     ///< the tab page's caption; the command line's SOURCE
    std::string_view trigger;  ///< the start control's form name
    std::string_view list;     ///< the list view's form name
    std::array<SourceColumn, 3> columnSlots;
    int columnCount;
    ListView::Colour colour;
    SourceInputBoxes inputs;
    PageFetch fetch;
    std::string_view method;  ///< for PageFetch::WebRequest
    std::optional<Site> site;
    std::string_view path;    ///< fixed path and query after the site's base address
    AddressBuilder address;   ///< null for the stored page
    PageDecoding decoding;
    std::string_view pattern;

    std::span<const SourceColumn> columns() const {
        return std::span(columnSlots).first(static_cast<std::size_t>(columnCount));
    }
};

/// Every source, in the order of the window's pages.
std::span<const SourceDescriptor> Sources();

/// The source shown on the page with this caption (UTF-8); null when none.
const SourceDescriptor* FindSource(std::string_view page);

/// The list view's columns as the model takes them (titles in GBK).
std::vector<ListView::Column> ListColumns(const SourceDescriptor& source);

}  // namespace lumora
