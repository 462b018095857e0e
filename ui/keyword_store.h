#pragma once

#include <filesystem>

#include "core/text.h"
#include "monitor/keyword_list.h"

namespace lumora {

/// The keyword file's name, in the working directory.
inline constexpr const char* kKeywordFileName = "关键字.txt";

/// The keyword file's whole text, up to its first NUL or Ctrl-Z byte. Opened
/// for reading only; a file that cannot be read gives the empty text.
/// At most kMaxKeywordFileBytes are read.
Text ReadKeywordFile(const std::filesystem::path& file);
inline constexpr std::size_t kMaxKeywordFileBytes = std::size_t{4} << 20;

/// The keyword texts of one run, on the window's thread: the keywords on offer
/// (first from the keyword file, then what "确定" stored) and the keywords in
/// force, which live in the list the monitors read.
class KeywordStore {
public:
    KeywordStore(KeywordList& inForce, std::filesystem::path file);

    /// `KeywordFilePending`: set when the main window is created.
    void SetFilePending(bool pending) { m_filePending = pending; }
    bool FilePending() const { return m_filePending; }
    /// Reads the keyword file into the offered keywords if it is still pending.
    void ReadFileIfPending();

    const Text& AvailableKeywords() const { return m_available; }
    Text KeywordText() const { return m_inForce.KeywordText(); }
    /// "确定": both texts replaced whole.
    void Accept(Text available, Text keywordText);

private:
    KeywordList& m_inForce;
    std::filesystem::path m_file;
    Text m_available;
    bool m_filePending = false;
};

}  // namespace lumora
