#pragma once
// The rows of the list as its user sees them (the shown columns in display
// order, the sort, the cells' texts), written out to take away: CSV for a
// spreadsheet, an HTML catalogue to print, JSON for scripts.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/views/list_rows.h"

class CRDTitleDoc;

enum EXPORT_FORMAT {
    EXPORT_CSV_UTF8,   // with a byte-order mark, which spreadsheets need to read UTF-8
    EXPORT_CSV_CP932,  // the cache's own encoding
    EXPORT_HTML,
    EXPORT_JSON,
};

struct LIST_EXPORT {
    int nViewMode = VIEW_TITLES;
    std::vector<CListRowRef> rows;  // in the list's order
    std::vector<int> columns;       // sub-items of the view's shown columns, in display order
    int nSortKey = 0;               // as GetSortKey gives it
    int nRecMode = 0;
    // Where the catalogue finds a disc's name and, in the disc view, the
    // disc's titles; without it sections carry what the rows know.
    const CRDTitleDoc* pDoc = nullptr;
    // The rows of a CSV or JSON export instead of `rows`, when set: a
    // million of them kept small.
    const CSortedRows* pSorted = nullptr;
};

// CSV: a header row, then a row per list row, RFC 4180 quoting, CR LF.
// HTML: a section per disc (the recorder and disc number, the disc's name and
// remaining time, then its titles with their genre pictures), discs in the
// order the list first shows them. JSON: the view, sort, columns and rows,
// keyed by the columns' settings keys.
std::string ExportList(const LIST_EXPORT& list, EXPORT_FORMAT format);
// The same passed to `write` in pieces as the rows are made, never the whole;
// false, with nothing more made, once `write` returns false.
bool WriteExport(const LIST_EXPORT& list, EXPORT_FORMAT format, const std::function<bool(std::string_view)>& write);

// Replaces the file atomically; false with the reason (code page 932) in `error`.
bool ExportListToFile(const LIST_EXPORT& list, EXPORT_FORMAT format, const std::string& path, std::string& error);

// What a file name asks for: its extension (.csv, .htm, .html, .json) names
// the format, a CSV keeping the encoding `chosen` has when it is a CSV;
// without a known extension `chosen` decides.
EXPORT_FORMAT ExportFormatFor(std::string_view path, EXPORT_FORMAT chosen);
// The path with the format's extension appended when it has no known one.
std::string WithExportExtension(const std::string& path, EXPORT_FORMAT format);
