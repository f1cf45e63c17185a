#include "core/views/disc_labels.h"

#include <algorithm>
#include <map>
#include <utility>

#include "core/library/title_doc.h"
#include "core/views/tree_nodes.h"

namespace {

constexpr int kDateColumn = 3;

// The disc a row stands for; empty for a title on the hard disk.
std::string_view DiscOf(const CListRowRef& row) {
    if (row.IsDisc()) return row.m_pDisc->m_strDiscNo;
    const std::string_view disc = row.m_pTitle->Field(TF_DISC);
    return disc == NODE_MARKER_HDD ? std::string_view() : disc;
}

}  // namespace

bool HasDiscLabel(const CListRowRef& row) { return !DiscOf(row).empty(); }

std::vector<DISC_LABEL> DiscLabels(const std::vector<CListRowRef>& rows, const CRDTitleDoc* doc, int recMode) {
    std::vector<DISC_LABEL> labels;
    std::vector<std::vector<CListRowRef>> titles;
    std::vector<bool> fromRows;  // no library to take the disc's titles from
    std::map<std::pair<std::string_view, std::string_view>, std::size_t> index;
    for (const CListRowRef& row : rows) {
        const std::string_view discNo = DiscOf(row);
        if (discNo.empty()) continue;
        const auto [it, added] = index.emplace(std::make_pair(std::string_view(*row.m_pRDName), discNo), labels.size());
        if (!added) {
            if (fromRows[it->second] && !row.IsDisc()) titles[it->second].push_back(row);
            continue;
        }
        const CRDRecorderLibrary* lib = doc ? doc->FindRecorder(*row.m_pRDName) : nullptr;
        const CRDDiscInfo* disc = row.IsDisc() ? row.m_pDisc : lib ? lib->FindDisc(discNo) : nullptr;
        DISC_LABEL label{*row.m_pRDName,
                         std::string(discNo),
                         disc ? disc->m_strLabel : std::string(),
                         disc ? disc->GetRemaining(recMode) : std::string(row.m_pTitle->GetRemaining(recMode)),
                         {}};
        std::vector<CListRowRef> own;
        if (lib) {
            for (const CRDTitleInfo& t : lib->Titles())
                if (t.Field(TF_DISC) == discNo) own.push_back(CListRowRef::OfTitle(lib->GetName(), t));
        } else if (!row.IsDisc()) {
            own.push_back(row);
        }
        labels.push_back(std::move(label));
        titles.push_back(std::move(own));
        fromRows.push_back(!lib);
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SortRows(titles[i], kDateColumn);
        for (const CListRowRef& t : titles[i])
            labels[i].aTitles.push_back({std::string(t.m_pTitle->Field(TF_TITLE)), GetCellText(t, kDateColumn, recMode),
                                         std::string(t.m_pTitle->Field(TF_GENRE))});
    }
    return labels;
}

const CASE_INSERT& CaseInsert(CASE_KIND kind) {
    // A DVD case's wrap-around insert: back, a 14 mm spine, front.
    static const CASE_INSERT dvd{273, 183, {0, 0, 129.5, 183}, {129.5, 0, 14, 183}, {143.5, 0, 129.5, 183}};
    static const CASE_INSERT jewel{120, 120, {}, {}, {0, 0, 120, 120}};
    return kind == CASE_SLIM_JEWEL ? jewel : dvd;
}

SHEET_LAYOUT LayOutSheet(double areaWidth, double areaHeight, const CASE_INSERT& insert) {
    SHEET_LAYOUT layout;
    const auto fit = [](double room, double size) { return size > 0 ? static_cast<int>(room / size) : 0; };
    const int columns = fit(areaWidth, insert.dWidth), rows = fit(areaHeight, insert.dHeight);
    const int turnedColumns = fit(areaWidth, insert.dHeight), turnedRows = fit(areaHeight, insert.dWidth);
    layout.bTurned = turnedColumns * turnedRows > columns * rows;
    double w = layout.bTurned ? insert.dHeight : insert.dWidth;
    double h = layout.bTurned ? insert.dWidth : insert.dHeight;
    int across = layout.bTurned ? turnedColumns : columns;
    int down = layout.bTurned ? turnedRows : rows;
    if (across * down == 0) {
        // Larger than the area either way: the way that shrinks it least.
        const double flat = std::min(areaWidth / insert.dWidth, areaHeight / insert.dHeight);
        const double turned = std::min(areaWidth / insert.dHeight, areaHeight / insert.dWidth);
        layout.bTurned = turned > flat;
        layout.dScale = std::max(flat, turned);
        w = (layout.bTurned ? insert.dHeight : insert.dWidth) * layout.dScale;
        h = (layout.bTurned ? insert.dWidth : insert.dHeight) * layout.dScale;
        across = down = 1;
    }
    // The grid in the middle of the area, inserts edge to edge so that one cut serves two.
    const double left = (areaWidth - across * w) / 2, top = (areaHeight - down * h) / 2;
    for (int r = 0; r < down; ++r)
        for (int c = 0; c < across; ++c) layout.aSlots.push_back({left + c * w, top + r * h, w, h});
    return layout;
}
