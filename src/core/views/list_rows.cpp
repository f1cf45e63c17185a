#include "core/views/list_rows.h"

#include <algorithm>

#include "core/search/genres.h"
#include "core/text/cp932.h"

using lv::text::Compare;

CListRow CListRow::FromTitle(const std::string& rdName, const CRDTitleInfo& title) {
    CListRow row;
    row.m_strRDName = rdName;
    row.m_title = title;
    return row;
}

CListRow CListRow::FromDisc(const CRDDiscInfo& disc) {
    CListRow row;
    row.m_bDisc = true;
    row.m_strRDName = disc.m_strRDName;
    row.m_disc = disc;
    return row;
}

CListRowRef CListRow::Ref() const {
    // A disc row's name is its own copy, not the disc's.
    return m_bDisc ? CListRowRef{&m_strRDName, nullptr, &m_disc} : CListRowRef::OfTitle(m_strRDName, m_title);
}

int CListRowRef::GetImage() const {
    if (IsDisc()) return 4;
    return m_pTitle->m_nGenre ? GetGenreImage(m_pTitle->m_nGenre) : -1;
}

int CListRow::GetImage() const { return Ref().GetImage(); }

std::string GetCellText(const CListRow& row, int subItem, int recMode) {
    return GetCellText(row.Ref(), subItem, recMode);
}

std::string GetCellText(const CListRowRef& row, int subItem, int recMode) {
    if (row.IsDisc()) {
        const CRDDiscInfo& d = *row.m_pDisc;
        switch (subItem) {
        case 0: return d.m_strDiscNo;
        case 1: return d.m_strFree;
        case 2: return d.m_strLabel;
        case 3:
        case 4:
        case 5:
        case 6:
        case 7: return d.m_strFreeN[subItem - 3];
        default: return {};
        }
    }
    const CRDTitleInfo& t = *row.m_pTitle;
    switch (subItem) {
    case 0: return std::string(t.Field(TF_TITLE));
    case 1: return std::string(t.Field(TF_DISC));
    case 2: return std::string(t.Field(TF_GENRE));
    case 3: {
        std::string s(t.Field(TF_DATE));
        s.append("(").append(t.Field(TF_WEEK)).append(") ").append(t.Field(TF_TIME));
        return s;
    }
    case 4: return std::string(t.Field(TF_CHANNEL));
    case 5: return *row.m_pRDName;
    case 6: return std::string(t.GetRemaining(recMode));
    default: return {};
    }
}

namespace {

int Sign(long long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int CompareDisc(std::string_view a, std::string_view b) {
    bool ha = a == "HDD", hb = b == "HDD";
    if (ha || hb) return ha == hb ? 0 : ha ? -1 : 1;
    return Compare(a, b);
}

int CompareByColumn(const CListRowRef& a, const CListRowRef& b, int column) {
    if (a.IsDisc() != b.IsDisc()) return 0;
    const bool disc = a.IsDisc();
    // Only the references of the rows' kind are followed.
    static const CRDTitleInfo kNoTitle;
    static const CRDDiscInfo kNoDisc;
    const CRDTitleInfo& ta = disc ? kNoTitle : *a.m_pTitle;
    const CRDTitleInfo& tb = disc ? kNoTitle : *b.m_pTitle;
    const CRDDiscInfo& da = disc ? *a.m_pDisc : kNoDisc;
    const CRDDiscInfo& db = disc ? *b.m_pDisc : kNoDisc;
    switch (column) {
    case 0:
    case 7: return disc ? Compare(da.m_strDiscNo, db.m_strDiscNo) : Compare(ta.Field(TF_TITLE), tb.Field(TF_TITLE));
    case 1: return disc ? 0 : CompareDisc(ta.Field(TF_DISC), tb.Field(TF_DISC));
    // Compared without the subtraction, which could overflow on codes of a hand-made list.
    case 2: return disc ? 0 : Sign(static_cast<long long>(ta.m_nGenre) - tb.m_nGenre);
    case 3: {
        if (disc) return 0;
        int r = Compare(ta.Field(TF_DATE), tb.Field(TF_DATE));
        return r ? r : Compare(ta.Field(TF_TIME), tb.Field(TF_TIME));
    }
    case 4: return disc ? 0 : Compare(ta.Field(TF_CHANNEL), tb.Field(TF_CHANNEL));
    case 5: return Compare(*a.m_pRDName, *b.m_pRDName);
    case 6: return disc ? 0 : Compare(ta.Field(TF_DISCFREE), tb.Field(TF_DISCFREE));
    case 8: return disc ? Compare(da.m_strFree, db.m_strFree) : 0;
    case 9: return disc ? Compare(da.m_strLabel, db.m_strLabel) : 0;
    case 10:
    case 11:
    case 12:
    case 13:
    case 14: return disc ? Compare(da.m_strFreeN[column - 10], db.m_strFreeN[column - 10]) : 0;
    default: return 0;
    }
}

}  // namespace

int CompareRows(const CListRowRef& a, const CListRowRef& b, int sortKey) {
    int r = CompareByColumn(a, b, sortKey & 0xFFFF);
    return (sortKey & SORT_DESCENDING) ? -r : r;
}

int CompareRows(const CListRow& a, const CListRow& b, int sortKey) { return CompareRows(a.Ref(), b.Ref(), sortKey); }

namespace {
std::vector<CListRowRef> Refs(const std::vector<const CListRow*>& rows) {
    std::vector<CListRowRef> refs;
    refs.reserve(rows.size());
    for (const CListRow* row : rows) refs.push_back(row->Ref());
    return refs;
}
}  // namespace

std::string RowNamesText(const std::vector<CListRowRef>& rows) {
    std::string text;
    for (const CListRowRef& row : rows) text += GetCellText(row, row.IsDisc() ? 2 : 0, 0);
    return text;
}

std::string CopyNamesText(const std::vector<const CListRow*>& rows) { return RowNamesText(Refs(rows)); }

std::string RowDetailsText(const std::vector<CListRowRef>& rows, const std::vector<int>& displayOrder, int recMode) {
    std::string text;
    for (const CListRowRef& row : rows) {
        for (std::size_t p = 0; p < displayOrder.size(); ++p) {
            if (p) text += '\t';
            text += GetCellText(row, displayOrder[p], recMode);
        }
        text += "\r\n";
    }
    return text;
}

std::string CopyDetailsText(const std::vector<const CListRow*>& rows, const std::vector<int>& displayOrder,
                            int recMode) {
    return RowDetailsText(Refs(rows), displayOrder, recMode);
}

COLUMN_DESC DescFromSetting(const COLUMN_SETTING& s) {
    COLUMN_DESC d;
    d.nWidth = s.nWidth;
    d.nOrder = s.nOrder;
    d.bSortColumn = s.nSort != 0;
    d.nDirection = s.nSort == -1 ? 1 : 0;
    return d;
}

COLUMN_SETTING SettingFromDesc(const COLUMN_DESC& d) {
    return COLUMN_SETTING{d.nWidth, d.nOrder, d.bSortColumn ? (d.nDirection == 1 ? -1 : 1) : 0};
}

int GetSortKey(const COLUMN_DESCS& descs, int viewMode) {
    const int first = ViewFirstColumn(viewMode);
    for (int i = first; i < first + ViewColumnCount(viewMode); ++i)
        if (descs[i].bSortColumn) return i + (descs[i].nDirection == 1 ? SORT_DESCENDING : 0);
    return 0;
}

void ClickColumn(COLUMN_DESCS& descs, int viewMode, int subItem) {
    const int first = ViewFirstColumn(viewMode);
    const int count = ViewColumnCount(viewMode);
    if (subItem < 0 || subItem >= count) return;
    for (int s = 0; s < count; ++s) {
        COLUMN_DESC& d = descs[first + s];
        if (s == subItem) {
            d.bSortColumn = true;
            d.nDirection = d.nDirection == 1 ? 0 : 1;
        } else {
            d.bSortColumn = false;
        }
    }
}

void SortRows(std::vector<CListRowRef>& rows, int sortKey) {
    std::stable_sort(rows.begin(), rows.end(),
                     [sortKey](const CListRowRef& a, const CListRowRef& b) { return CompareRows(a, b, sortKey) < 0; });
}

std::vector<int> ShownColumns(const COLUMN_DESCS& descs, int viewMode) {
    std::vector<int> shown;
    const int first = ViewFirstColumn(viewMode);
    for (int s : DisplayOrder(descs, viewMode))
        if (descs.at(static_cast<std::size_t>(first) + static_cast<std::size_t>(s)).nWidth > 0) shown.push_back(s);
    return shown;
}

std::vector<int> DisplayOrder(const COLUMN_DESCS& descs, int viewMode) {
    const int first = ViewFirstColumn(viewMode);
    const int count = ViewColumnCount(viewMode);
    std::vector<int> order(count, -1);
    for (int s = 0; s < count; ++s) {
        int pos = descs[first + s].nOrder;
        if (pos < 0 || pos >= count || order[pos] != -1) {
            for (int k = 0; k < count; ++k) order[k] = k;
            return order;
        }
        order[pos] = s;
    }
    return order;
}

bool CanFetchDescriptions(int viewMode, int selectedRows, bool transferring) {
    return viewMode == VIEW_TITLES && selectedRows > 0 && !transferring;
}
