#include "core/views/list_export.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/ini/atomic_file.h"
#include "core/platform/path.h"
#include "core/text/codec.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"
#include "core/views/export_sink.h"

using lv::ExportSink;
using lv::IsStrayControl;
using lv::text::AppendUtf8;

namespace {

// The bytes from `start` on with each stray control character replaced by `replacement`.
void ReplaceStrayControls(std::string& s, std::size_t start, std::string_view replacement) {
    const auto from = s.begin() + static_cast<std::ptrdiff_t>(start);
    if (std::none_of(from, s.end(), IsStrayControl)) return;
    std::string out;
    for (auto c = from; c != s.end(); ++c) {
        if (IsStrayControl(*c))
            out += replacement;
        else
            out += *c;
    }
    s.replace(start, std::string::npos, out);
}

// Each row of the list in order, until `each` returns false.
template <typename Each>
bool ForEachRow(const LIST_EXPORT& list, Each each) {
    if (list.pSorted) return list.pSorted->ForEach(each);
    for (const CListRowRef& row : list.rows)
        if (!each(row)) return false;
    return true;
}

// ---- CSV

// Quote, comma, CR and LF are never the second byte of a code page 932
// character, so the bytes can be scanned as they are. A cell that a
// spreadsheet would take for a formula starts with "'", which it shows as text.
void AppendCsvField(std::string& out, std::string_view v) {
    const bool formula = !v.empty() && std::string_view("=+-@\t\r").find(v.front()) != std::string_view::npos;
    // A loop, not find_first_of, which looks up each byte of the cell with memchr.
    if (std::none_of(v.begin(), v.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        if (formula) out += '\'';
        out += v;
        return;
    }
    out += '"';
    if (formula) out += '\'';
    for (const char c : v) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

bool Csv(const LIST_EXPORT& list, bool utf8, ExportSink& sink) {
    const int first = ViewFirstColumn(list.nViewMode);
    std::string& out = sink.Bytes();
    if (utf8) out = "\xEF\xBB\xBF";
    // A line is converted as a whole: no character spans a line end.
    std::string cp932;
    auto line = [&](auto cell) {
        cp932.clear();
        for (std::size_t p = 0; p < list.columns.size(); ++p) {
            if (p) cp932 += ',';
            AppendCsvField(cp932, cell(list.columns[p]));
        }
        cp932 += "\r\n";
        const std::size_t start = out.size();
        if (utf8)
            AppendUtf8(out, cp932, false);
        else
            lv::text::AppendValidCp932(out, cp932);
        // Code page 932 has no U+FFFD: "?", as for a byte it cannot decode.
        ReplaceStrayControls(out, start, utf8 ? "\xEF\xBF\xBD" : "?");
        return sink.Row();
    };
    if (!line([&](int s) { return ColumnHeader(first + s); })) return false;
    std::string buffer;
    return ForEachRow(list,
                      [&](const CListRowRef& row) {
                          return line([&](int s) { return CellText(row, s, list.nRecMode, buffer); });
                      }) &&
           sink.Finish();
}

// ---- JSON

bool Json(const LIST_EXPORT& list, ExportSink& sink) {
    const int first = ViewFirstColumn(list.nViewMode);
    // Key 0 sorts the view by its name column, whichever view it is.
    int sortColumn = list.nSortKey & 0xFFFF;
    if (sortColumn == 0) sortColumn = first;
    std::string& out = sink.Bytes();
    out += "{\"view\":";
    out += list.nViewMode == VIEW_DISCS ? "\"discs\"" : "\"titles\"";
    out += ",\"sort\":{\"column\":\"";
    out += sortColumn < COLUMN_COUNT ? g_aColumnKeys[sortColumn] : "";
    out += "\",\"descending\":";
    out += (list.nSortKey & SORT_DESCENDING) ? "true" : "false";
    out += "},\n\"columns\":[";
    for (std::size_t p = 0; p < list.columns.size(); ++p) {
        if (p) out += ',';
        out += "{\"key\":\"";
        out += g_aColumnKeys[first + list.columns[p]];
        out += "\",\"header\":";
        lv::text::AppendJsonString(out, ColumnHeader(first + list.columns[p]));
        out += '}';
    }
    out += "],\n\"rows\":[";
    std::string buffer;
    const char* separator = "\n{";
    const bool whole = ForEachRow(list, [&](const CListRowRef& row) {
        out += separator;
        separator = ",\n{";
        for (std::size_t p = 0; p < list.columns.size(); ++p) {
            if (p) out += ',';
            out += '"';
            out += g_aColumnKeys[first + list.columns[p]];
            out += "\":";
            lv::text::AppendJsonString(out, CellText(row, list.columns[p], list.nRecMode, buffer));
        }
        out += '}';
        return sink.Row();
    });
    if (!whole) return false;
    out += "\n]}\n";
    return sink.Finish();
}

std::string LowerExtension(std::string_view path) {
    std::string ext = lv::platform::FsPath(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return ext;
}

}  // namespace

std::string ExportList(const LIST_EXPORT& list, EXPORT_FORMAT format) {
    std::string bytes;
    WriteExport(list, format, [&bytes](std::string_view piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

bool WriteExport(const LIST_EXPORT& list, EXPORT_FORMAT format, const std::function<bool(std::string_view)>& write) {
    ExportSink sink(write);
    switch (format) {
    case EXPORT_CSV_UTF8: return Csv(list, true, sink);
    case EXPORT_CSV_CP932: return Csv(list, false, sink);
    case EXPORT_HTML: return lv::WriteHtmlCatalogue(list, sink);
    case EXPORT_JSON: return Json(list, sink);
    }
    return false;
}

bool ExportListToFile(const LIST_EXPORT& list, EXPORT_FORMAT format, const std::string& path, std::string& error) {
    // The file's name is the system's (UTF-8); the message is code page 932 throughout.
    const std::string name = lv::platform::FsPath(path).filename().string();
    if (lv::platform::IsReadOnlyFile(path)) {
        // Refused as cp refuses it, by the owner too: a read-only file is meant to stay.
        error = lv::text::Utf8ToCp932(name) + ": " + lv::msg::ErrReadOnly();
        return false;
    }
    if (lv::platform::IsSpecialFile(path)) {
        // A FIFO, a device or a terminal cannot be replaced: written into, as
        // a shell's redirection writes into it.
        errno = 0;
        std::ofstream out(lv::platform::FsPath(path), std::ios::binary | std::ios::trunc);
        if (out &&
            WriteExport(list, format,
                        [&out](std::string_view piece) {
                            return static_cast<bool>(
                                out.write(piece.data(), static_cast<std::streamsize>(piece.size())));
                        }) &&
            out.flush())
            return true;
        error = lv::text::FileErrorText(lv::text::Utf8ToCp932(name), errno ? errno : EIO);
        return false;
    }
    if (lv::WriteFileAtomic(
            path, [&](const lv::FileWriter& write) { return WriteExport(list, format, write); }, std::nullopt, &error))
        return true;
    if (error.compare(0, name.size() + 2, name + ": ") == 0)
        error = lv::text::Utf8ToCp932(name) + error.substr(name.size());
    return false;
}

EXPORT_FORMAT ExportFormatFor(std::string_view path, EXPORT_FORMAT chosen) {
    const std::string ext = LowerExtension(path);
    if (ext == ".csv") return chosen == EXPORT_CSV_CP932 ? EXPORT_CSV_CP932 : EXPORT_CSV_UTF8;
    if (ext == ".htm" || ext == ".html") return EXPORT_HTML;
    if (ext == ".json") return EXPORT_JSON;
    return chosen;
}

std::string WithExportExtension(const std::string& path, EXPORT_FORMAT format) {
    const std::string ext = LowerExtension(path);
    if (ext == ".csv" || ext == ".htm" || ext == ".html" || ext == ".json") return path;
    return path + (format == EXPORT_HTML ? ".html" : format == EXPORT_JSON ? ".json" : ".csv");
}
