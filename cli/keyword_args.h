#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"

namespace lumora {

/// The keyword text (GBK, each keyword followed by CR LF) of --keyword words
/// (UTF-8) followed by the lines of a GBK keywords file. Blank lines are
/// skipped: on the command line an empty keyword would silently keep every post.
/// nullopt with error set when the file cannot be read.
std::optional<Text> KeywordTextFromArgs(const std::vector<std::string>& utf8Words,
                                        const std::optional<std::filesystem::path>& file, std::string& error);

}  // namespace lumora
