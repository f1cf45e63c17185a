#include "core/views/list_rows.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <numeric>
#include <thread>

#include "core/search/genres.h"
#include "core/text/cp932.h"

using lv::text::CharLength;
using lv::text::IsLeadByte;

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
    std::string buffer;
    return std::string(CellText(row, subItem, recMode, buffer));
}

std::string_view CellText(const CListRowRef& row, int subItem, int recMode, std::string& buffer) {
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
    case 0: return t.Field(TF_TITLE);
    case 1: return t.Field(TF_DISC);
    case 2: return t.Field(TF_GENRE);
    case 3:
        buffer.assign(t.Field(TF_DATE)).append("(").append(t.Field(TF_WEEK)).append(") ").append(t.Field(TF_TIME));
        return buffer;
    case 4: return t.Field(TF_CHANNEL);
    case 5: return *row.m_pRDName;
    case 6: return t.GetRemaining(recMode);
    default: return {};
    }
}

namespace {

int Sign(long long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Code page 932 order, character by character, decided where the bytes first
// differ: only there can a single byte (which ranks below every double-byte
// character) meet the lead byte of a double-byte one.
int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t p = 0;
    while (p + 8 <= n && std::memcmp(a.data() + p, b.data() + p, 8) == 0) p += 8;
    while (p < n && a[p] == b[p]) ++p;
    if (p == n) return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    const auto x = static_cast<unsigned char>(a[p]), y = static_cast<unsigned char>(b[p]);
    const bool doubleA = IsLeadByte(x) && p + 1 < a.size();
    const bool doubleB = IsLeadByte(y) && p + 1 < b.size();
    if (doubleA != doubleB) {
        // Any other byte ends a character, so an even run of lead bytes
        // before p means a character starts at p.
        std::size_t leads = 0;
        while (leads < p && IsLeadByte(static_cast<unsigned char>(a[p - 1 - leads]))) ++leads;
        if (leads % 2 == 0) return doubleA ? 1 : -1;
    }
    return x < y ? -1 : 1;
}

int CompareDisc(std::string_view a, std::string_view b) {
    bool ha = a == "HDD", hb = b == "HDD";
    if (ha || hb) return ha == hb ? 0 : ha ? -1 : 1;
    return CompareText(a, b);
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
    case 7:
        return disc ? CompareText(da.m_strDiscNo, db.m_strDiscNo) : CompareText(ta.Field(TF_TITLE), tb.Field(TF_TITLE));
    case 1: return disc ? 0 : CompareDisc(ta.Field(TF_DISC), tb.Field(TF_DISC));
    // Compared without the subtraction, which could overflow on codes of a hand-made list.
    case 2: return disc ? 0 : Sign(static_cast<long long>(ta.m_nGenre) - tb.m_nGenre);
    case 3: {
        if (disc) return 0;
        int r = CompareText(ta.Field(TF_DATE), tb.Field(TF_DATE));
        return r ? r : CompareText(ta.Field(TF_TIME), tb.Field(TF_TIME));
    }
    case 4: return disc ? 0 : CompareText(ta.Field(TF_CHANNEL), tb.Field(TF_CHANNEL));
    case 5: return CompareText(*a.m_pRDName, *b.m_pRDName);
    case 6: return disc ? 0 : CompareText(ta.Field(TF_DISCFREE), tb.Field(TF_DISCFREE));
    case 8: return disc ? CompareText(da.m_strFree, db.m_strFree) : 0;
    case 9: return disc ? CompareText(da.m_strLabel, db.m_strLabel) : 0;
    case 10:
    case 11:
    case 12:
    case 13:
    case 14: return disc ? CompareText(da.m_strFreeN[column - 10], db.m_strFreeN[column - 10]) : 0;
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

namespace {

// A row's place in a sort: a 64-bit key that never orders two rows against
// their comparison, and what decides between rows whose keys tie.
struct SORT_ENTRY {
    std::uint64_t key;
    std::uint32_t row;
    std::uint32_t next;  // where the text goes on past the key, or one of these
    // The text of a column that compares one text, kept at hand for the next keys.
    const char* text = nullptr;
    std::uint32_t size = 0;
};
constexpr std::uint32_t TIE_EQUAL = UINT32_MAX;        // equal keys mean equal cells
constexpr std::uint32_t TIE_COMPARE = UINT32_MAX - 1;  // compare the rows in full

// The first seven bytes of a code that keeps the order of the text (a byte
// below 0x80 as itself, any other single byte after 0x80, a double-byte
// character as its bytes), then the code's length up to 8. The entry's next
// is the first character the key does not hold whole.
SORT_ENTRY TextKey(std::string_view s, std::uint32_t from = 0) {
    unsigned char code[9] = {};
    std::size_t len = 0, i = from, whole = from;
    while (i < s.size() && len < 8) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = CharLength(s, i);
        if (n == 2) {
            code[len++] = c;
            code[len++] = static_cast<unsigned char>(s[i + 1]);
        } else {
            if (c >= 0x80) code[len++] = 0x80;
            code[len++] = c;
        }
        i += n;
        if (len <= 7) whole = i;
    }
    std::uint64_t key = 0;
    for (int k = 0; k < 7; ++k) key = key << 8 | code[k];
    key = key << 8 | std::min<std::size_t>(len, 8);
    return {key, 0, len < 8 && i == s.size() ? TIE_EQUAL : static_cast<std::uint32_t>(whole), s.data(),
            static_cast<std::uint32_t>(s.size())};
}

// The digits of `s` as a number when `s` has the shape of `shape` (digits
// where it has '9', its other bytes elsewhere); texts of one shape compare as
// these numbers.
bool AppendDigits(std::string_view s, std::string_view shape, std::uint64_t& value) {
    if (s.size() != shape.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool digit = s[i] >= '0' && s[i] <= '9';
        if (digit != (shape[i] == '9') || (!digit && s[i] != shape[i])) return false;
        if (digit) value = value * 10 + static_cast<unsigned>(s[i] - '0');
    }
    return true;
}

std::string ShapeOf(std::string_view s) {
    std::string shape(s);
    for (char& c : shape)
        if (c >= '0' && c <= '9') c = '9';
    return shape;
}

// Recording date and time as one number per row when every row's pair has
// the first row's shape (as in a recorder's lists); false leaves the keys to the text.
bool DateTimeKeys(const std::vector<CListRowRef>& rows, std::vector<SORT_ENTRY>& entries) {
    const std::string dateShape = ShapeOf(rows[0].m_pTitle->Field(TF_DATE));
    const std::string timeShape = ShapeOf(rows[0].m_pTitle->Field(TF_TIME));
    const auto digits =
        std::count(dateShape.begin(), dateShape.end(), '9') + std::count(timeShape.begin(), timeShape.end(), '9');
    if (digits > 19) return false;  // more than a 64-bit number holds
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::uint64_t v = 0;
        const CRDTitleInfo& t = *rows[r].m_pTitle;
        if (!AppendDigits(t.Field(TF_DATE), dateShape, v) || !AppendDigits(t.Field(TF_TIME), timeShape, v))
            return false;
        entries[r] = {v, static_cast<std::uint32_t>(r), TIE_EQUAL};
    }
    return true;
}

// The one text a column compares, for the columns that compare a single text.
bool SortText(const CListRowRef& row, int column, std::string_view& text) {
    if (row.IsDisc()) {
        const CRDDiscInfo& d = *row.m_pDisc;
        switch (column) {
        case 0:
        case 7: text = d.m_strDiscNo; break;
        case 5: text = *row.m_pRDName; break;
        case 8: text = d.m_strFree; break;
        case 9: text = d.m_strLabel; break;
        case 10:
        case 11:
        case 12:
        case 13:
        case 14: text = d.m_strFreeN[column - 10]; break;
        default: return false;
        }
        return true;
    }
    if (!row.m_pTitle) return false;
    const CRDTitleInfo& t = *row.m_pTitle;
    switch (column) {
    case 0:
    case 7: text = t.Field(TF_TITLE); break;
    case 4: text = t.Field(TF_CHANNEL); break;
    case 5: text = *row.m_pRDName; break;
    case 6: text = t.Field(TF_DISCFREE); break;
    default: return false;
    }
    return true;
}

// The key of a row for a column that compares cells as text, by number, or not at all.
SORT_ENTRY ColumnKey(const CListRowRef& row, int column) {
    std::string_view text;
    if (SortText(row, column, text)) return TextKey(text);
    if (row.IsDisc() || !row.m_pTitle) return {0, 0, TIE_EQUAL};
    const CRDTitleInfo& t = *row.m_pTitle;
    switch (column) {
    case 1: {
        // The hard disk first: below every other number's key, which this lifts by one.
        const std::string_view disc = t.Field(TF_DISC);
        if (disc == "HDD") return {0, 0, TIE_EQUAL};
        SORT_ENTRY e = TextKey(disc);
        ++e.key;
        e.next = e.next == TIE_EQUAL ? TIE_EQUAL : TIE_COMPARE;
        return e;
    }
    case 2: return {static_cast<std::uint64_t>(static_cast<std::int64_t>(t.m_nGenre)) ^ (1ULL << 63), 0, TIE_EQUAL};
    case 3: return {TextKey(t.Field(TF_DATE)).key, 0, TIE_COMPARE};  // the time decides between equal dates
    default: return {0, 0, TIE_EQUAL};
    }
}

bool KeyThenRow(const SORT_ENTRY& a, const SORT_ENTRY& b) { return a.key != b.key ? a.key < b.key : a.row < b.row; }

// Where the texts of a run of tied keys, which agree up to their `next`, stop
// agreeing, at a character's start: titles of one series share long
// beginnings, which would otherwise take a key of seven bytes at a time.
std::uint32_t SharedCharacters(std::vector<SORT_ENTRY>::const_iterator first,
                               std::vector<SORT_ENTRY>::const_iterator last) {
    const std::string_view a(first->text, first->size);
    std::size_t shared = a.size();
    for (auto e = first + 1; e != last && shared > first->next; ++e) {
        const std::string_view b(e->text, std::min<std::size_t>(e->size, shared));
        std::size_t i = first->next;
        while (i < b.size() && a[i] == b[i]) ++i;
        shared = i;
    }
    // Equal bytes up to `shared` split into the same characters in every text.
    std::size_t at = first->next;
    for (std::size_t n; at < shared && at + (n = CharLength(a, at)) <= shared;) at += n;
    return static_cast<std::uint32_t>(at);
}

}  // namespace

std::vector<int> SortOrder(const std::vector<CListRowRef>& rows, int sortKey) {
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (rows.empty()) return order;
    const int column = sortKey & 0xFFFF;
    const bool descending = (sortKey & SORT_DESCENDING) != 0;
    const bool disc = rows[0].IsDisc();
    if (std::any_of(rows.begin(), rows.end(), [disc](const CListRowRef& r) { return r.IsDisc() != disc; })) {
        // Discs and titles together never compare: keep the pairwise sort.
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return CompareRows(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)], sortKey) < 0;
        });
        return order;
    }
    std::vector<SORT_ENTRY> entries(rows.size());
    if (disc || column != 3 || !DateTimeKeys(rows, entries)) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            entries[r] = ColumnKey(rows[r], column);
            entries[r].row = static_cast<std::uint32_t>(r);
        }
    }
    if (std::all_of(entries.begin(), entries.end(),
                    [](const SORT_ENTRY& e) { return e.key == 0 && e.next == TIE_EQUAL; }))
        return order;  // a column these rows do not have
    if (descending)
        for (SORT_ENTRY& e : entries) e.key = ~e.key;
    std::sort(entries.begin(), entries.end(), KeyThenRow);
    // Runs of tied keys are sorted on: by the next keys of their texts, or in full.
    std::vector<std::pair<std::size_t, std::size_t>> runs{{0, entries.size()}};
    while (!runs.empty()) {
        const auto [begin, end] = runs.back();
        runs.pop_back();
        for (std::size_t i = begin, j = begin; i < end; i = j) {
            while (j < end && entries[j].key == entries[i].key) ++j;
            if (j - i < 2 || entries[i].next == TIE_EQUAL) continue;
            const auto first = entries.begin() + static_cast<std::ptrdiff_t>(i);
            const auto last = entries.begin() + static_cast<std::ptrdiff_t>(j);
            if (entries[i].next == TIE_COMPARE) {
                std::sort(first, last, [&](const SORT_ENTRY& a, const SORT_ENTRY& b) {
                    const int r = CompareRows(rows[a.row], rows[b.row], sortKey);
                    return r ? r < 0 : a.row < b.row;
                });
                continue;
            }
            // Copies of one text (a programme recorded again and again) are
            // equal cells, already in their rows' order.
            const std::string_view text(first->text, first->size);
            if (std::all_of(first + 1, last,
                            [text](const SORT_ENTRY& e) { return text == std::string_view(e.text, e.size); }))
                continue;
            // The keys go on from the first character the run's texts do not all share.
            const std::uint32_t from = SharedCharacters(first, last);
            for (auto e = first; e != last; ++e) {
                const std::uint32_t row = e->row;
                *e = TextKey({e->text, e->size}, from);
                e->row = row;
                if (descending) e->key = ~e->key;
            }
            std::sort(first, last, KeyThenRow);
            runs.emplace_back(i, j);
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) order[i] = static_cast<int>(entries[i].row);
    return order;
}

void SortRows(std::vector<CListRowRef>& rows, int sortKey) {
    std::vector<int> order = SortOrder(rows, sortKey);
    // Moved in place, cycle by cycle, not copied: a million rows are 32 MB.
    // A position done is marked by its own index in `order`.
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (order[start] == static_cast<int>(start)) continue;
        const CListRowRef first = rows[start];
        std::size_t at = start;
        for (auto from = static_cast<std::size_t>(order[at]); from != start;
             from = static_cast<std::size_t>(order[at])) {
            rows[at] = rows[from];
            order[at] = static_cast<int>(at);
            at = from;
        }
        rows[at] = first;
        order[at] = static_cast<int>(at);
    }
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

namespace {

// A row's record with its kind and mark in the low bits, which records'
// alignment leaves free.
constexpr std::uintptr_t kDiscBit = 1, kNewBit = 2;
static_assert(alignof(CRDTitleInfo) >= 4 && alignof(CRDDiscInfo) >= 4);

// The tag bits leave the pointer's provenance to the compiler's guess; eight
// bytes a row rather than twenty-four is worth it at a million rows.
const void* Record(std::uintptr_t packed) {
    return reinterpret_cast<const void*>(packed & ~(kDiscBit | kNewBit));  // NOLINT(performance-no-int-to-ptr)
}

std::uintptr_t Packed(const CListRowRef& row) {
    const void* record = row.IsDisc() ? static_cast<const void*>(row.m_pDisc) : row.m_pTitle;
    return reinterpret_cast<std::uintptr_t>(record) | (row.IsDisc() ? kDiscBit : 0) | (row.m_bNew ? kNewBit : 0);
}

// Rows in sorted order lie anywhere in memory: a pass that has come to row
// `at` of `end` fetches the records a little ahead, and the first lines of
// the texts once their records are in. `packed(i)` gives row i.
template <class PACKED>
void FetchAhead(std::size_t at, std::size_t end, const PACKED& packed) {
    constexpr std::size_t kAheadRecords = 16, kAheadTexts = 8;
    if (at + kAheadRecords < end) __builtin_prefetch(Record(packed(at + kAheadRecords)));
    if (at + kAheadTexts >= end) return;
    const std::uintptr_t row = packed(at + kAheadTexts);
    if (row & kDiscBit) return;
    const char* text = static_cast<const CRDTitleInfo*>(Record(row))->CStr(TF_DISC);
    for (int line = 0; line < 3; ++line) __builtin_prefetch(text + 64 * line);
}

}  // namespace

CListRowRef CSortedRows::Row(const RUN& run, std::uintptr_t packed) {
    const void* record = Record(packed);
    if (packed & kDiscBit) {
        const auto* disc = static_cast<const CRDDiscInfo*>(record);
        return {run.rdName ? run.rdName : &disc->m_strRDName, nullptr, disc};
    }
    return {run.rdName, static_cast<const CRDTitleInfo*>(record), nullptr, (packed & kNewBit) != 0};
}

void CSortedRows::Add(const CListRowRef& row) {
    // A disc that names its recorder by its own text needs no name kept.
    const std::string* name = row.IsDisc() && row.m_pRDName == &row.m_pDisc->m_strRDName ? nullptr : row.m_pRDName;
    if (m_aRuns.empty() || m_aRuns.back().rdName != name || m_aRuns.back().disc != row.IsDisc() ||
        m_aRows.size() - m_aRuns.back().begin >= m_nRunRows)
        m_aRuns.push_back({name, row.IsDisc(), m_aRows.size()});
    m_aRows.push_back(Packed(row));
}

void CSortedRows::Sort(int sortKey) {
    m_nSortKey = sortKey;
    // The runs are sorted apart, on every core.
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        std::vector<CListRowRef> refs;
        for (std::size_t r; (r = next++) < m_aRuns.size();) {
            const RUN& run = m_aRuns[r];
            const std::size_t end = RunEnd(r);
            refs.clear();
            for (std::size_t i = run.begin; i < end; ++i) refs.push_back(Row(run, m_aRows[i]));
            const std::vector<int> order = SortOrder(refs, sortKey);
            for (std::size_t i = 0; i < refs.size(); ++i) m_aRows[run.begin + i] = Packed(refs[order[i]]);
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (std::size_t n = 1; n < std::min(cores, m_aRuns.size()); ++n) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
}

bool CSortedRows::ForEach(const std::function<bool(const CListRowRef&)>& each) const {
    if (m_aRows.size() <= m_nBlockRows || std::thread::hardware_concurrency() < 2) return Merge(each);
    // Blocks go from the merging thread to this one through a queue of a few;
    // either side stops the other: the user by returning false or throwing,
    // the merge when done or failed.
    constexpr std::size_t kQueued = 4;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<CListRowRef>> queue;
    bool merged = false, stopped = false;
    std::exception_ptr failure;
    std::thread merger([&] {
        std::vector<CListRowRef> block;
        auto hand = [&] {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stopped || queue.size() < kQueued; });
            if (stopped) return false;
            queue.push_back(std::move(block));
            changed.notify_all();
            block = {};
            block.reserve(m_nBlockRows);
            return true;
        };
        try {
            block.reserve(m_nBlockRows);
            Merge([&](const CListRowRef& row) {
                block.push_back(row);
                return block.size() < m_nBlockRows || hand();
            });
            if (!block.empty()) hand();
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        merged = true;
        changed.notify_all();
    });
    struct JOIN {
        std::thread& t;
        std::mutex& m;
        std::condition_variable& c;
        bool& stop;
        ~JOIN() {
            {
                const std::lock_guard lock(m);
                stop = true;
                c.notify_all();
            }
            t.join();
        }
    } join{merger, mutex, changed, stopped};
    for (;;) {
        std::vector<CListRowRef> block;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return merged || !queue.empty(); });
            if (queue.empty()) break;
            block = std::move(queue.front());
            queue.pop_front();
            changed.notify_all();
        }
        // The merge read these rows on another core: this one fetches them again.
        for (std::size_t i = 0; i < block.size(); ++i) {
            FetchAhead(i, block.size(), [&](std::size_t k) { return Packed(block[k]); });
            if (!each(block[i])) return false;
        }
    }
    if (failure) std::rethrow_exception(failure);
    return true;
}

bool CSortedRows::Merge(const std::function<bool(const CListRowRef&)>& each) const {
    // The runs' first rows meet in a tournament (each inner node keeps the
    // loser of its match), by their keys and then in full; equal rows come in
    // the order of their runs, as a stable sort keeps them.
    struct HEAD {
        SORT_ENTRY key;
        std::size_t at;
        CListRowRef row;
    };
    const std::size_t runs = m_aRuns.size();
    if (runs == 0) return true;
    const int column = m_nSortKey & 0xFFFF;
    const bool descending = (m_nSortKey & SORT_DESCENDING) != 0;
    const bool firstDisc = m_aRuns[0].disc;
    std::vector<HEAD> heads(runs);
    auto load = [&](std::size_t run, std::size_t at) {
        HEAD& h = heads[run];
        h.at = at;
        const std::size_t end = RunEnd(run);
        if (at == end) return;
        FetchAhead(at, end, [this](std::size_t k) { return m_aRows[k]; });
        h.row = Row(m_aRuns[run], m_aRows[at]);
        h.key = ColumnKey(h.row, column);
        if (descending) h.key.key = ~h.key.key;
    };
    // Whether run a's first row comes before run b's; a run that is done never does.
    auto before = [&](std::size_t a, std::size_t b) {
        const HEAD &x = heads[a], &y = heads[b];
        if (x.at == RunEnd(a) || y.at == RunEnd(b)) return y.at == RunEnd(b) && x.at != RunEnd(a);
        if (x.row.IsDisc() != y.row.IsDisc()) return x.row.IsDisc() == firstDisc;
        if (x.key.key != y.key.key) return x.key.key < y.key.key;
        if (x.key.next != TIE_EQUAL || y.key.next != TIE_EQUAL) {
            const int r = CompareRows(x.row, y.row, m_nSortKey);
            if (r) return r < 0;
        }
        return a < b;
    };
    // Leaves at runs + r; node 0 holds the winner.
    std::vector<std::size_t> tree(runs), winner(2 * runs);
    for (std::size_t r = 0; r < runs; ++r) {
        load(r, m_aRuns[r].begin);
        winner[runs + r] = r;
    }
    for (std::size_t n = runs - 1; n >= 1; --n) {
        const std::size_t a = winner[2 * n], b = winner[2 * n + 1];
        const bool first = before(a, b);
        winner[n] = first ? a : b;
        tree[n] = first ? b : a;
    }
    tree[0] = runs > 1 ? winner[1] : 0;
    for (std::size_t remaining = m_aRows.size(); remaining > 0; --remaining) {
        std::size_t w = tree[0];
        if (!each(heads[w].row)) return false;
        load(w, heads[w].at + 1);
        for (std::size_t n = (runs + w) / 2; n >= 1; n /= 2)
            if (before(tree[n], w)) std::swap(tree[n], w);
        tree[0] = w;
    }
    return true;
}
