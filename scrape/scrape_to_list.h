#pragma once

#include <vector>

#include "controls/list_view.h"
#include "core/text.h"

namespace lumora {

/// The rows one run of a source makes: one per match, in match order, one
/// cell per capture group (group j in cell j - 1).
using SourceRows = std::vector<std::vector<Text>>;

/// Runs pattern over pageText (script dialect, case ignored, multiline,
/// global) and gives one row per match with as many cells as the first match
/// has groups; a group that took no part gives an empty cell. An invalid
/// pattern or a runaway match gives no rows. Any thread.
SourceRows MatchRows(const Text& pageText, const Text& pattern);

/// Appends the rows after the list's last row, in order; never clears, sorts
/// or drops duplicates.
void AppendRows(ListView& list, const SourceRows& rows);

/// MatchRows appended to the list.
void ScrapeToList(const Text& pageText, const Text& pattern, ListView& list);

}  // namespace lumora
