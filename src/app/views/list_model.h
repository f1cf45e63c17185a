#pragma once
// The rows of the title list: copies of title or disc records, so that they
// stay valid while the document reloads. Texts are decoded only when a cell
// is painted.
#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/library/records.h"

class CLibrovistaApp;

struct CTitleRow {
    std::string m_strRDName;
    CRDTitleInfo m_title;
};

class CListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum { VIEW_TITLES = 0, VIEW_DISCS = 1 };
    enum { SortDirectionRole = Qt::UserRole + 1 };  // header: +1 / -1 / 0

    explicit CListModel(CLibrovistaApp& app, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int GetViewMode() const { return m_nViewMode; }
    // Empties the rows and switches to the view's columns.
    void Reset(int viewMode);
    // Rows are appended between BeginFill and EndFill.
    void BeginFill(int viewMode);
    void AddTitle(const std::string& rdName, const CRDTitleInfo& title);
    void AddDisc(const CRDDiscInfo& disc);
    void EndFill();

    // Sorts by a key (column index 0-14, +0x10000 descending); selections follow their rows.
    void Sort(int sortKey);
    // The header marks: the sort column of the current view and its direction.
    void SetSortMark(int column, int direction);

    const CTitleRow& TitleAt(int row) const { return m_aTitles.at(static_cast<std::size_t>(row)); }
    const CRDDiscInfo& DiscAt(int row) const { return m_aDiscs.at(static_cast<std::size_t>(row)); }
    // The text of a cell as code page 932 bytes, as the clipboard copies take it.
    std::string CellText(int row, int column) const;
    void SetHeaderTexts(const std::array<QString, 15>& texts) { m_aHeaders = texts; }
    // Column 6 of the title view follows the recording mode.
    void RefreshRemainingTime();

private:
    CLibrovistaApp& m_app;
    int m_nViewMode = VIEW_TITLES;
    std::vector<CTitleRow> m_aTitles;
    std::vector<CRDDiscInfo> m_aDiscs;
    std::array<QString, 15> m_aHeaders;
    int m_nSortColumn = -1;  // within the current view
    int m_nSortDirection = 0;
};
