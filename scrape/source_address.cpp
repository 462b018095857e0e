#include "scrape/source_address.h"

#include "core/charset.h"
#include "scrape/source_descriptor.h"

namespace lumora {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char byte) {
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

bool UnfitForAddress(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) return true;
    switch (c) {
    case '"': case '#': case '<': case '>': case '\\': case '^': case '`': case '{': case '|': case '}':
        return true;
    default:
        return false;
    }
}

}  // namespace

std::string PercentEncode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        if (Unreserved(byte))
            out += c;
        else
            AppendEscaped(out, byte);
    }
    return out;
}

std::string AddressSafe(std::string_view typed) {
    std::string out;
    out.reserve(typed.size());
    for (char c : typed) {
        auto byte = static_cast<unsigned char>(c);
        if (UnfitForAddress(byte))
            AppendEscaped(out, byte);
        else
            out += c;
    }
    return out;
}

std::string FixedAddress(const SourceDescriptor& source, const Settings& settings, const SourceInputs&) {
    if (!source.site) return {};
    return settings.Base(*source.site) + std::string(source.path);
}

std::string ProjectListAddress(const Settings& settings, const Text& page) {
    std::string address = settings.Base(Site::HaoMaDuanZu);
    address += "/user.do?action=projectList&uid=";
    address += AddressSafe(settings.smsUid);
    address += "&token=";
    address += AddressSafe(settings.smsToken);
    address += "&pid=0&name=&isc=no&index=";
    address += AddressSafe(page);
    address += "&status=";
    return address;
}

std::string PriceSearchAddress(const Settings& settings, const Text& item, const Text& price) {
    const std::string keyword = PercentEncode(GbkToUtf8(item));
    std::string address = settings.Base(Site::JingDongWuPin);
    address += "/search?keyword=";
    address += keyword;
    address += "&enc=utf-8&qrst=1&rt=1&stop=1&vt=2&offset=2&wq=";
    address += keyword;
    address += "&ev=exprice_";
    address += AddressSafe(price);
    address += "%40&uc=0&psort=2";
    return address;
}

}  // namespace lumora
