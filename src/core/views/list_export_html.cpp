// The HTML catalogue to print: a section per disc headed by its recorder,
// number, name and remaining time, then a table of its titles.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/library/title_doc.h"
#include "core/search/genres.h"
#include "core/text/codec.h"
#include "core/views/export_sink.h"
#include "core/views/genre_images.h"

namespace lv {

namespace {

using lv::text::AppendUtf8;

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

// A4 unless the printer says otherwise. On paper a smaller type and tighter
// cells: short texts (genre, date, channel) never wrap and take the width
// they need, the title takes the rest.
const char kHtmlHead[] =
    "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>Librovista</title>\n<style>\n"
    "@page{size:A4;margin:10mm}\n"
    "body{font-family:sans-serif;font-size:10pt;margin:1em}\n"
    "table{border-collapse:collapse;width:100%;margin-bottom:1.2em}\n"
    "td.heading{border:0;padding:0 0 .3em}\n"
    "h2{font-size:12pt;margin:0;border-bottom:1px solid #666}\n"
    "p.disc{margin:.2em 0 0}\n"
    "p.disc span{margin-right:2em}\n"
    "th,td{border:1px solid #aaa;padding:1px 4px;text-align:left;vertical-align:top}\n"
    "th{background:#eee}\n"
    "td{overflow-wrap:anywhere}\n"
    "tr{break-inside:avoid}\n"
    ".fit{white-space:nowrap;width:1%}\n"
    "svg.genre{width:16px;height:16px;vertical-align:middle}\n"
    "@media print{body{font-size:8pt;margin:0}h2{font-size:10pt}th,td{padding:0 3px;line-height:1.2}"
    "svg.genre{width:9pt;height:9pt}}\n"
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

}  // namespace

bool WriteHtmlCatalogue(const LIST_EXPORT& list, ExportSink& sink) {
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
        // The heading is part of the table's head, which is printed again on
        // every page the table runs onto.
        out += "<section>\n<table>\n<thead>\n<tr><td class=\"heading\" colspan=\"" +
               std::to_string(columns.size() + 1) + "\"><h2>";
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
        out += "</p></td></tr>\n<tr><th class=\"fit\"></th>";
        for (int c : columns) {
            out += c == 0 ? "<th>" : "<th class=\"fit\">";
            AppendHtml(out, ColumnHeader(c));
            out += "</th>";
        }
        out += "</tr></thead>\n<tbody>\n";
        for (const CRDTitleInfo* t : s.aTitles) {
            const CListRowRef row = CListRowRef::OfTitle(*s.pRDName, *t);
            out += "<tr><td class=\"fit\">";
            if (t->m_nGenre) {
                out += "<svg class=\"genre\" role=\"img\" aria-label=\"";
                AppendHtml(out, t->Field(TF_GENRE));
                out += "\"><use href=\"#image" + std::to_string(GetGenreImage(t->m_nGenre)) + "\"/></svg>";
            }
            out += "</td>";
            for (int c : columns) {
                out += c == 0 ? "<td>" : "<td class=\"fit\">";
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

}  // namespace lv
