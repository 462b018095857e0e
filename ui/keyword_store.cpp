#include "ui/keyword_store.h"

#include <algorithm>
#include <fstream>

namespace lumora {

Text ReadKeywordFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    Text text;
    char chunk[1 << 16];
    while (text.size() < kMaxKeywordFileBytes && in) {
        const std::size_t want = std::min(sizeof chunk, kMaxKeywordFileBytes - text.size());
        in.read(chunk, static_cast<std::streamsize>(want));
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    const std::size_t end = text.find_first_of(std::string_view("\0\x1A", 2));
    if (end != Text::npos) text.resize(end);
    return text;
}

KeywordStore::KeywordStore(KeywordList& inForce, std::filesystem::path file)
    : m_inForce(inForce), m_file(std::move(file)) {}

void KeywordStore::ReadFileIfPending() {
    if (!m_filePending) return;
    m_available = ReadKeywordFile(m_file);
    m_filePending = false;
}

void KeywordStore::Accept(Text available, Text keywordText) {
    m_available = std::move(available);
    m_inForce.Set(std::move(keywordText));
}

}  // namespace lumora
