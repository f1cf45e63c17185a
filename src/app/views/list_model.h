#pragma once
// The rows of the title list: references into the recorders' records, which
// the model keeps alive (a reload of the document does not touch the rows
// until the next fill). Texts are decoded only when a cell is painted.
#include <QAbstractTableModel>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/views/list_rows.h"
#include "core/views/row_filter.h"

class CAppSettings;
class CImageList;
class CRDRecorderLibrary;
class CRDTitleDoc;

class CListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum { SortDirectionRole = Qt::UserRole + 1 };  // header: +1 ascending, -1 descending, 0

    // Cells follow the settings' recording mode; rows point into the document's recorders.
    CListModel(const CAppSettings& settings, const CImageList& images, const CRDTitleDoc& doc,
               QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int GetViewMode() const { return m_nViewMode; }
    // Rows are appended between BeginFill and EndFill, which reset the model.
    // BeginFill takes hold of the document's recorders of the moment.
    void BeginFill(int viewMode);
    // A new title is shown in bold.
    void AddTitle(const CRDRecorderLibrary& recorder, const CRDTitleInfo& title, bool isNew = false);
    void AddDisc(const CRDDiscInfo& disc);
    void EndFill();

    // Sorts by a sort key; selections follow their rows.
    void Sort(int sortKey);
    // The header mark: the sort column of the current view and its direction.
    void SetSortMark(int column, int direction);

    const CListRowRef& RowAt(int row) const { return m_aRows.at(static_cast<std::size_t>(FillRow(row))); }
    // A cell as code page 932 bytes.
    std::string CellText(int row, int column) const;
    void SetHeaderTexts(const std::array<QString, COLUMN_COUNT>& texts) { m_aHeaders = texts; }
    // Column 6 of the title view follows the recording mode.
    void RefreshRemainingTime();

    // Shows only the rows whose name (title, or disc name) contains the text
    // as the quick search finds it; an empty text shows every row. Resets
    // the model; the next fill shows every row again.
    void SetFilterText(std::string_view cp932);
    // Folds the rows' names for the filter now. Right after a fill the rows
    // are in the records' own order, which reads memory in one sweep; a
    // sorted list visits it at random, several times slower.
    void PrepareFilter();

private:
    // The row of the fill shown at a row of the model.
    int FillRow(int row) const { return m_bFiltered ? m_aShown.at(static_cast<std::size_t>(row)) : row; }

    const CAppSettings& m_settings;
    const CImageList& m_images;
    const CRDTitleDoc& m_doc;
    int m_nViewMode = VIEW_TITLES;
    std::vector<CListRowRef> m_aRows;
    std::shared_ptr<const void> m_pRecords;  // what the rows point into
    std::array<QString, COLUMN_COUNT> m_aHeaders;
    int m_nSortColumn = -1;
    int m_nSortDirection = 0;
    // While a filter narrows the list: the rows of the fill shown, ascending.
    bool m_bFiltered = false;
    std::vector<int> m_aShown;
    std::unique_ptr<CRowFilter> m_pFilter;  // the fill's names folded
};
