#pragma once
// Narrowing the title list while the user types. Each row's name (a title's
// title, a disc's name) is folded once, so a keystroke costs one substring
// search per row by the quick search's own rule; a text that holds the last
// one searches only the rows the last one found.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/views/list_rows.h"

class CRowFilter {
public:
    // Folds the names of the rows that the indices below refer to.
    void SetRows(const std::vector<CListRowRef>& rows);
    // The rows moved: entry i of order is the old index of the row now at i.
    void Reorder(const std::vector<int>& order);
    // Indices of the rows whose name contains the text as the quick search
    // finds it, ascending; every row for an empty text.
    const std::vector<int>& Match(std::string_view text);

private:
    struct KEY {
        std::uint32_t nOffset;
        std::uint32_t nLength;
    };
    std::string m_strFolded;  // the folded names, one after the other
    std::vector<KEY> m_aKeys;
    bool m_bHaveLast = false;
    std::string m_strLastNeedle;  // folded
    std::vector<int> m_aLast;     // the rows it found
};
