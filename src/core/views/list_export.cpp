#include "core/views/list_export.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "core/ini/atomic_file.h"
#include "core/library/title_doc.h"
#include "core/platform/path.h"
#include "core/search/genres.h"
#include "core/text/codec.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"
#include "core/views/genre_images.h"

using lv::text::AppendUtf8;

namespace {

// A control character that neither HTML nor a spreadsheet should get: all
// of C0 but TAB, LF and CR, and DEL. None is ever the second byte of a code
// page 932 character, so bytes can be tested as they are.
bool IsStrayControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7F;
}

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

// The export's bytes gathered up to about kPiece and then passed on, so that
// a million rows never stand in memory as one file.
class Sink {
public:
    static constexpr std::size_t kPiece = std::size_t{1} << 16;
    explicit Sink(const std::function<bool(std::string_view)>& write) : m_write(write) { m_bytes.reserve(kPiece * 2); }
    std::string& Bytes() { return m_bytes; }
    // After each row: false once a write failed, to stop making more.
    bool Row() {
        if (m_bytes.size() >= kPiece) Pass();
        return m_ok;
    }
    bool Finish() {
        if (!m_bytes.empty()) Pass();
        return m_ok;
    }

private:
    void Pass() {
        if (m_ok) m_ok = m_write(m_bytes);
        m_bytes.clear();
    }
    const std::function<bool(std::string_view)>& m_write;
    std::string m_bytes;
    bool m_ok = true;
};

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

bool Csv(const LIST_EXPORT& list, bool utf8, Sink& sink) {
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
    for (const CListRowRef& row : list.rows)
        if (!line([&](int s) { return GetCellText(row, s, list.nRecMode); })) return false;
    return sink.Finish();
}

// ---- HTML

// Text as HTML content or attribute value: UTF-8, markup characters as
// references, control characters (which HTML does not allow) as U+FFFD.
void AppendHtml(std::string& out, std::string_view cp932) {
    std::string utf8;
    AppendUtf8(utf8, cp932, false);
    for (const char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            if (IsStrayControl(c))
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
}

// An SVG document as a symbol that rows refer to, so each picture is in the page once.
std::string SvgSymbol(int image) {
    const std::string_view svg = GetImageSvg(image);
    const std::size_t open = svg.find("<svg");
    const std::size_t body = svg.find('>', open);
    const std::size_t close = svg.rfind("</svg>");
    if (open == std::string_view::npos || body == std::string_view::npos || close == std::string_view::npos ||
        close < body)
        return {};
    std::string viewBox = "0 0 16 16";
    const std::string_view tag = svg.substr(open, body - open);
    if (const std::size_t v = tag.find("viewBox=\""); v != std::string_view::npos) {
        const std::size_t end = tag.find('"', v + 9);
        if (end != std::string_view::npos) viewBox = std::string(tag.substr(v + 9, end - v - 9));
    }
    return "<symbol id=\"image" + std::to_string(image) + "\" viewBox=\"" + viewBox + "\">" +
           std::string(svg.substr(body + 1, close - body - 1)) + "</symbol>\n";
}

const char kHtmlHead[] =
    "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>Librovista</title>\n<style>\n"
    "body{font-family:sans-serif;font-size:10pt;margin:1em}\n"
    "section{margin-bottom:1.5em}\n"
    "h2{font-size:12pt;margin:0;border-bottom:1px solid #666;break-after:avoid}\n"
    "p.disc{margin:.2em 0 .4em;break-after:avoid}\n"
    "p.disc span{margin-right:2em}\n"
    "table{border-collapse:collapse;width:100%}\n"
    "th,td{border:1px solid #aaa;padding:1px 4px;text-align:left;vertical-align:top}\n"
    "th{background:#eee}\n"
    "tr{break-inside:avoid}\n"
    "td.image{width:16px}\n"
    "svg.genre{width:16px;height:16px;vertical-align:middle}\n"
    "</style>\n</head>\n<body>\n";

struct SECTION {
    const std::string* pRDName;
    std::string strDiscNo;
    std::string strLabel;
    std::string strFree;
    std::vector<std::pair<std::string, std::string>> aExtra;  // shown disc columns: header, value
    std::vector<const CRDTitleInfo*> aTitles;
};

const CRDDiscInfo* FindDisc(const CRDTitleDoc* doc, const std::string& rdName, std::string_view discNo) {
    const CRDRecorderLibrary* lib = doc ? doc->FindRecorder(rdName) : nullptr;
    return lib ? lib->FindDisc(discNo) : nullptr;
}

std::vector<SECTION> Sections(const LIST_EXPORT& list) {
    std::vector<SECTION> sections;
    if (list.nViewMode == VIEW_DISCS) {
        for (const CListRowRef& row : list.rows) {
            const CRDDiscInfo& d = *row.m_pDisc;
            SECTION s{row.m_pRDName, d.m_strDiscNo, d.m_strLabel, d.GetRemaining(list.nRecMode), {}, {}};
            // The heading has the number and the name; the other shown columns follow them.
            for (int c : list.columns)
                if (c != 0 && c != 2)
                    s.aExtra.emplace_back(ColumnHeader(TITLE_COLUMNS + c), GetCellText(row, c, list.nRecMode));
            if (const CRDRecorderLibrary* lib = list.pDoc ? list.pDoc->FindRecorder(*row.m_pRDName) : nullptr)
                for (const CRDTitleInfo& t : lib->Titles())
                    if (t.Field(TF_DISC) == d.m_strDiscNo) s.aTitles.push_back(&t);
            sections.push_back(std::move(s));
        }
        return sections;
    }
    std::map<std::pair<std::string_view, std::string_view>, std::size_t> index;
    for (const CListRowRef& row : list.rows) {
        const CRDTitleInfo& t = *row.m_pTitle;
        const auto key = std::make_pair(std::string_view(*row.m_pRDName), t.Field(TF_DISC));
        auto [it, added] = index.emplace(key, sections.size());
        if (added) {
            const CRDDiscInfo* disc = FindDisc(list.pDoc, *row.m_pRDName, t.Field(TF_DISC));
            sections.push_back({row.m_pRDName,
                                std::string(t.Field(TF_DISC)),
                                disc ? disc->m_strLabel : "",
                                std::string(t.GetRemaining(list.nRecMode)),
                                {},
                                {}});
        }
        sections[it->second].aTitles.push_back(&t);
    }
    return sections;
}

bool Html(const LIST_EXPORT& list, Sink& sink) {
    const std::vector<SECTION> sections = Sections(list);
    // A section's heading says the recorder and the disc, so its table leaves them out.
    std::vector<int> columns;
    if (list.nViewMode == VIEW_DISCS) {
        columns = {0, 2, 3, 4};
    } else {
        for (int c : list.columns)
            if (c != 1 && c != 5 && c != 6) columns.push_back(c);
    }
    std::set<int> images;
    for (const SECTION& s : sections)
        for (const CRDTitleInfo* t : s.aTitles)
            if (t->m_nGenre) images.insert(GetGenreImage(t->m_nGenre));

    std::string& out = sink.Bytes();
    out += kHtmlHead;
    if (!images.empty()) {
        out += "<svg width=\"0\" height=\"0\" style=\"position:absolute\" aria-hidden=\"true\">\n<defs>\n";
        for (int image : images) out += SvgSymbol(image);
        out += "</defs>\n</svg>\n";
    }
    for (const SECTION& s : sections) {
        out += "<section>\n<h2>";
        AppendHtml(out, *s.pRDName);
        out += ' ';
        AppendHtml(out, s.strDiscNo);
        out += "</h2>\n<p class=\"disc\">";
        auto field = [&out](const std::string& header, std::string_view value) {
            out += "<span>";
            AppendHtml(out, header);
            out += ": ";
            AppendHtml(out, value);
            out += "</span>";
        };
        if (!s.strLabel.empty()) field(ColumnHeader(9), s.strLabel);
        field(ColumnHeader(8), s.strFree);
        for (const auto& [header, value] : s.aExtra) field(header, value);
        out += "</p>\n<table>\n<thead><tr><th></th>";
        for (int c : columns) {
            out += "<th>";
            AppendHtml(out, ColumnHeader(c));
            out += "</th>";
        }
        out += "</tr></thead>\n<tbody>\n";
        for (const CRDTitleInfo* t : s.aTitles) {
            const CListRowRef row = CListRowRef::OfTitle(*s.pRDName, *t);
            out += "<tr><td class=\"image\">";
            if (t->m_nGenre) {
                out += "<svg class=\"genre\" role=\"img\" aria-label=\"";
                AppendHtml(out, t->Field(TF_GENRE));
                out += "\"><use href=\"#image" + std::to_string(GetGenreImage(t->m_nGenre)) + "\"/></svg>";
            }
            out += "</td>";
            for (int c : columns) {
                out += "<td>";
                AppendHtml(out, GetCellText(row, c, list.nRecMode));
                out += "</td>";
            }
            out += "</tr>\n";
            if (!sink.Row()) return false;
        }
        out += "</tbody>\n</table>\n</section>\n";
    }
    out += "</body>\n</html>\n";
    return sink.Finish();
}

// ---- JSON

bool Json(const LIST_EXPORT& list, Sink& sink) {
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
    for (std::size_t r = 0; r < list.rows.size(); ++r) {
        out += r ? ",\n{" : "\n{";
        for (std::size_t p = 0; p < list.columns.size(); ++p) {
            if (p) out += ',';
            out += '"';
            out += g_aColumnKeys[first + list.columns[p]];
            out += "\":";
            lv::text::AppendJsonString(out, GetCellText(list.rows[r], list.columns[p], list.nRecMode));
        }
        out += '}';
        if (!sink.Row()) return false;
    }
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
    Sink sink(write);
    switch (format) {
    case EXPORT_CSV_UTF8: return Csv(list, true, sink);
    case EXPORT_CSV_CP932: return Csv(list, false, sink);
    case EXPORT_HTML: return Html(list, sink);
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
