#pragma once
// The title list: the titles or discs that the tree's condition selects, in
// a details view (QTreeView) or a list / icon view (QListView) over one model.
#include <QPersistentModelIndex>
#include <QStackedWidget>
#include <array>
#include <string>
#include <vector>

#include "core/library/new_titles.h"
#include "core/library/title_doc.h"
#include "core/views/list_export.h"
#include "core/views/list_rows.h"

class QItemSelection;
class QListView;
class QMenu;
class QTreeView;
class QAbstractItemView;
class QHeaderView;
class CAppSettings;
class CImageList;
class CListModel;
class CSearchCondition;

class CRDListView : public QStackedWidget {
    Q_OBJECT

public:
    CRDListView(CAppSettings& settings, const CImageList& images, CRDTitleDoc& doc, QWidget* parent = nullptr);

    CListModel* GetModel() const { return m_pModel; }
    QTreeView* GetDetailsView() const { return m_pDetails; }
    QAbstractItemView* GetCurrentView() const;
    int GetViewMode() const;

    int GetListStyle() const { return m_nListStyle; }
    void SetListStyle(int style);
    void ArrangeIcons();

    // Header click on a column of the current view (0-based within the view).
    void OnColumnClick(int column);
    int GetSortKey() const;

    std::vector<int> GetSelectedRows() const;  // in row order
    int GetSelectedCount() const;
    void CopyNames();
    void CopyDetails();
    void SelectAllRows();
    bool CanFetchDescriptions() const;
    // The recorder of the first selected title serves descriptions.
    bool SelectionServesDescriptions() const;
    void FetchDescriptions();
    void RefreshRemainingTime();
    // The rows as the user sees them: the shown columns in display order, the sort.
    LIST_EXPORT GetExport() const;
    // Narrows the rows to those whose name holds the text, as the quick
    // search finds it; an empty text shows them all. The text stays for the
    // lists that follow, until it changes.
    void SetFilterText(const std::string& cp932);

    // Gives the column layout and the list type back to the settings.
    void SaveSettings();
    // The popup menu for a point of the current view's viewport; null off the rows.
    QMenu* CreateContextMenu(const QPoint& viewportPos, QWidget* parent);
    // The details header's popup: the current view's columns with check
    // marks; unticking hides a column (width 0), ticking shows it again.
    QMenu* CreateHeaderMenu(QWidget* parent);

public slots:
    // Fills the list with the rows of a condition; null empties it and
    // keeps the kind of rows.
    void ShowCondition(const CSearchCondition* condition);
    // F4 waits while the window runs a transfer.
    void SetTransferring(bool busy) { m_bTransferring = busy; }

signals:
    void selectionCountChanged(int selected);
    void rowCountChanged(int rows);
    // The label of the recording mode for the recorders shown; empty for none.
    void modeLabelChanged(const QString& label);
    // The document's description changed and should be shown.
    void descriptionChanged();
    // A disc row was activated: the tree should select this node.
    void selectPathRequested(const std::vector<std::string>& path);
    // F4: the selected titles, valid only during the call.
    void titleDownloadRequested(const std::vector<TITLEINFO>& titles);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadColumnSettings();
    void CreateDetailsView();
    void SetUpHeader(QHeaderView* header);
    void CreateIconView();
    void FitNewColumnsToHeaders();
    void OnItemChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnItemActivate(const QModelIndex& index);
    void ShowDescription(int row);
    void EmitModeLabel();
    void EmitRowsChanged();
    void SaveColumns();
    void ApplyColumns();
    // What a column's header text needs, with the sort arrow (0..COLUMN_COUNT-1).
    int HeaderTextWidth(int index) const;
    void ShowColumn(int column, bool show);
    void UpdateSortMark();
    void PutTextOnClipboard(const std::string& cp932);
    int FirstColumn() const;
    std::vector<CListRowRef> SelectedRecords() const;

    CAppSettings& m_settings;
    CRDTitleDoc& m_doc;
    CListModel* m_pModel = nullptr;
    QTreeView* m_pDetails = nullptr;
    QListView* m_pIcons = nullptr;
    int m_nListStyle = LIST_DETAILS;
    COLUMN_DESCS m_aColumnDesc{};
    std::array<int, COLUMN_COUNT> m_aShownWidth{};  // each column's last width above 0
    bool m_bApplyingColumns = false;
    bool m_bTransferring = false;
    std::array<std::string, 5> m_szModeNames;
    QPersistentModelIndex m_shownRow;
    CLibraryNews m_news;  // bold rows and the "新着" node
    std::string m_strFilter;
};
