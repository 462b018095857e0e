#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora {

/// Working text: GBK (code page 936) bytes. Lengths and positions count bytes;
/// a double-byte character is a lead byte >= 0x80 followed by one trail byte.
using Text = std::string;

/// A raw body as received: explicit length, may hold NUL bytes. Kept apart from
/// Text so that a body is never read as text by accident.
class Bytes {
public:
    Bytes() = default;
    explicit Bytes(std::string data) : m_data(std::move(data)) {}
    Bytes(const char* data, std::size_t size) : m_data(data, size) {}

    const std::string& data() const { return m_data; }
    std::string& data() { return m_data; }
    std::size_t size() const { return m_data.size(); }
    bool empty() const { return m_data.empty(); }
    std::string_view view() const { return m_data; }

    friend bool operator==(const Bytes&, const Bytes&) = default;

private:
    std::string m_data;
};

/// The body read as Text: everything up to its first NUL byte.
Text TextFromBytes(const Bytes& bytes);

/// True when byte c starts a double-byte GBK character.
inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

}  // namespace lumora
