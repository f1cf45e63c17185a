#pragma once
// What the title list decides without its widget: the rows' records and cell
// texts, the sort key and the comparison of two rows, the column states of a
// header click, and the texts that go to the clipboard.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/records.h"
#include "core/views/columns.h"

constexpr int VIEW_TITLES = 0;
constexpr int VIEW_DISCS = 1;
constexpr int DISC_COLUMNS = COLUMN_COUNT - TITLE_COLUMNS;  // 8
constexpr int SORT_DESCENDING = 0x10000;

// List types, as the settings store them.
enum LIST_STYLE { LIST_LARGEICON = 0, LIST_DETAILS = 1, LIST_SMALLICON = 2, LIST_LIST = 3 };

// F4 asks for the descriptions of the selected titles: not of discs, and not
// while a transfer runs.
bool CanFetchDescriptions(int viewMode, int selectedRows, bool transferring);

// First descriptor index and column count of a view.
constexpr int ViewFirstColumn(int viewMode) { return viewMode == VIEW_DISCS ? TITLE_COLUMNS : 0; }
constexpr int ViewColumnCount(int viewMode) { return viewMode == VIEW_DISCS ? DISC_COLUMNS : TITLE_COLUMNS; }

// A row as references into the recorders' records: what the list keeps, so
// that selecting a large recorder copies nothing. Valid while the records
// live; the list holds on to the recorders it shows (see CRDTitleDoc).
struct CListRowRef {
    const std::string* m_pRDName = nullptr;  // the recorder that holds the title or disc
    const CRDTitleInfo* m_pTitle = nullptr;  // title rows
    const CRDDiscInfo* m_pDisc = nullptr;    // disc rows
    bool m_bNew = false;                     // a title the recorder's last download found new

    static CListRowRef OfTitle(const std::string& rdName, const CRDTitleInfo& title, bool isNew = false) {
        return {&rdName, &title, nullptr, isNew};
    }
    static CListRowRef OfDisc(const CRDDiscInfo& disc) { return {&disc.m_strRDName, nullptr, &disc}; }

    bool IsDisc() const { return m_pDisc != nullptr; }
    // Shared image list index: 16 + main genre for a title with a genre, -1
    // (no image) for one without, 4 for a disc.
    int GetImage() const;
};

// A row keeps its own copy of the record, so it outlives a reload of the document.
struct CListRow {
    bool m_bDisc = false;
    std::string m_strRDName;  // the recorder that holds the title or disc
    CRDTitleInfo m_title;     // title rows
    CRDDiscInfo m_disc;       // disc rows

    static CListRow FromTitle(const std::string& rdName, const CRDTitleInfo& title);
    static CListRow FromDisc(const CRDDiscInfo& disc);

    // Shared image list index: 16 + main genre for a title with a genre, -1
    // (no image) for one without, 4 for a disc.
    int GetImage() const;
    // References into this row's own copies.
    CListRowRef Ref() const;
};

// Text of the cell with sub-item `subItem` of the row's view. Column 6 of a
// title shows the remaining time for the recording mode.
std::string GetCellText(const CListRowRef& row, int subItem, int recMode);
std::string GetCellText(const CListRow& row, int subItem, int recMode);
// The same as a view into the row's record, or into `buffer` for a cell made
// of several texts: valid until the buffer's next use.
std::string_view CellText(const CListRowRef& row, int subItem, int recMode, std::string& buffer);

// Rows compared by sort key (column index 0-14, plus SORT_DESCENDING): <0, 0, >0.
int CompareRows(const CListRowRef& a, const CListRowRef& b, int sortKey);
int CompareRows(const CListRow& a, const CListRow& b, int sortKey);

// Ctrl+C: the name of every row (title, or disc name) run together.
std::string RowNamesText(const std::vector<CListRowRef>& rows);
std::string CopyNamesText(const std::vector<const CListRow*>& rows);
// Ctrl+D: per row its cells in display order (sub-items) joined by a tab, each row ending in CR LF.
std::string RowDetailsText(const std::vector<CListRowRef>& rows, const std::vector<int>& displayOrder, int recMode);
std::string CopyDetailsText(const std::vector<const CListRow*>& rows, const std::vector<int>& displayOrder,
                            int recMode);

// A column of the list as the header shows it.
struct COLUMN_DESC {
    int nWidth = 0;
    int nOrder = 0;  // display position within its view
    bool bSortColumn = false;
    int nDirection = 0;  // 0 ascending, 1 descending; kept when another column sorts
};
using COLUMN_DESCS = std::array<COLUMN_DESC, COLUMN_COUNT>;

// From the stored column records (sort +1, -1 or 0) and back.
COLUMN_DESC DescFromSetting(const COLUMN_SETTING& setting);
COLUMN_SETTING SettingFromDesc(const COLUMN_DESC& desc);

// The first sort column of the view (plus SORT_DESCENDING when it descends); 0 when none.
int GetSortKey(const COLUMN_DESCS& descs, int viewMode);

// A click on the header of sub-item `subItem`: that column sorts, in the
// opposite direction of its last sort (descending when never sorted); the
// others of the view stop sorting but remember their direction.
void ClickColumn(COLUMN_DESCS& descs, int viewMode, int subItem);

// The positions of the rows in the order of a sort key, as CompareRows
// orders them; rows that compare equal keep their order.
std::vector<int> SortOrder(const std::vector<CListRowRef>& rows, int sortKey);
// The rows in the order of a sort key; rows that compare equal keep their order.
void SortRows(std::vector<CListRowRef>& rows, int sortKey);

// Entry p is the sub-item shown at position p. Positions that are not a
// permutation (a hand-edited settings file) give the index order.
std::vector<int> DisplayOrder(const COLUMN_DESCS& descs, int viewMode);
// The sub-items of the view's shown columns (width above 0) in display order:
// the columns a user of the stored layout sees.
std::vector<int> ShownColumns(const COLUMN_DESCS& descs, int viewMode);

// Many rows kept small: a row is its record alone, consecutive rows of one
// recorder and kind share their recorder's name. They are sorted a run at a
// time and merged as they are given out, so that a million rows never stand
// as references or sort entries all at once.
class CSortedRows {
public:
    static constexpr std::size_t kRunRows = std::size_t{1} << 15;
    static constexpr std::size_t kBlockRows = std::size_t{1} << 12;
    // More rows than a block are merged on a thread of their own and handed
    // over a block at a time, while the caller's thread uses them.
    explicit CSortedRows(std::size_t runRows = kRunRows, std::size_t blockRows = kBlockRows)
        : m_nRunRows(runRows), m_nBlockRows(blockRows) {}

    void Add(const CListRowRef& row);
    std::size_t size() const { return m_aRows.size(); }
    // The order SortRows gives the same rows; with discs and titles together,
    // the kind of the first row comes first.
    void Sort(int sortKey);
    // The rows in the order of the last Sort, until `each` returns false (and
    // then false). `each` runs on the caller's thread; what it throws comes out.
    bool ForEach(const std::function<bool(const CListRowRef&)>& each) const;

private:
    struct RUN {
        const std::string* rdName;  // null for discs that name their recorder themselves
        bool disc;
        std::size_t begin;
    };
    static CListRowRef Row(const RUN& run, std::uintptr_t packed);
    bool Merge(const std::function<bool(const CListRowRef&)>& each) const;
    std::size_t RunEnd(std::size_t run) const {
        return run + 1 < m_aRuns.size() ? m_aRuns[run + 1].begin : m_aRows.size();
    }

    std::size_t m_nRunRows;
    std::size_t m_nBlockRows;
    std::vector<std::uintptr_t> m_aRows;  // each row's record, its kind and mark in the low bits
    std::vector<RUN> m_aRuns;
    int m_nSortKey = 0;
};
