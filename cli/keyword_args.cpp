#include "cli/keyword_args.h"

#include <fstream>
#include <sstream>

#include "core/charset.h"
#include "core/text_ops.h"

namespace lumora {

std::optional<Text> KeywordTextFromArgs(const std::vector<std::string>& utf8Words,
                                        const std::optional<std::filesystem::path>& file, std::string& error) {
    Text keywordText;
    auto add = [&keywordText](const Text& keyword) {
        if (!keyword.empty()) keywordText += keyword + "\r\n";
    };
    for (const auto& word : utf8Words) add(Utf8ToGbk(word));
    if (file) {
        std::ifstream in(*file, std::ios::binary);
        if (!in) {
            error = file->string() + ": cannot read the keywords file";
            return std::nullopt;
        }
        std::ostringstream content;
        content << in.rdbuf();
        Text text = content.str();
        text = text.substr(0, text.find('\0'));
        for (Text line : Split(text, "\n")) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            add(line);
        }
    }
    return keywordText;
}

}  // namespace lumora
