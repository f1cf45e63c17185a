#pragma once
#include <string>
// The list's columns as the settings keep them: the title view's seven, then
// the disc view's eight, each with its width, display order and sort state.

struct COLUMN_SETTING {
    int nWidth;
    int nOrder;
    int nSort;  // 0 not the sort column, +1 ascending, -1 descending
};

constexpr int COLUMN_COUNT = 15;
constexpr int TITLE_COLUMNS = 7;  // indices 0..6; the disc view has 7..14
// The settings-file key of each column.
extern const char* const g_aColumnKeys[COLUMN_COUNT];
// The header text of each column, code page 932.
const std::string& ColumnHeader(int index);
