#include "scrape/scrape_to_list.h"

#include "controls/toolkit.h"
#include "core/script_regex.h"

namespace lumora {

SourceRows MatchRows(const Text& pageText, const Text& pattern) {
    ScriptRegex regex;
    regex.Search(pattern, pageText);
    const int matches = regex.MatchCount();
    const int groups = regex.SubMatchCount();
    SourceRows rows;
    rows.reserve(static_cast<std::size_t>(matches));
    for (int i = 1; i <= matches; ++i) {
        std::vector<Text>& row = rows.emplace_back();
        row.reserve(static_cast<std::size_t>(groups));
        for (int j = 1; j <= groups; ++j) row.push_back(regex.SubMatchText(i, j));
    }
    return rows;
}

void AppendRows(ListView& list, const SourceRows& rows) {
    for (const std::vector<Text>& cells : rows) {
        const int row = ListViewInsertRow(list);
        for (std::size_t column = 0; column < cells.size(); ++column)
            ListViewSetCell(list, row, static_cast<int>(column), cells[column]);
    }
}

void ScrapeToList(const Text& pageText, const Text& pattern, ListView& list) {
    AppendRows(list, MatchRows(pageText, pattern));
}

}  // namespace lumora
