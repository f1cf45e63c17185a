#include "app/views/list_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <algorithm>

#include "app/shell/image_list.h"
#include "app/shell/qcodec.h"
#include "core/library/title_doc.h"
#include "core/shell/app_settings.h"

CListModel::CListModel(const CAppSettings& settings, const CImageList& images, const CRDTitleDoc& doc, QObject* parent)
    : QAbstractTableModel(parent), m_settings(settings), m_images(images), m_doc(doc) {}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_bFiltered ? m_aShown.size() : m_aRows.size());
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ViewColumnCount(m_nViewMode);
}

std::string CListModel::CellText(int row, int column) const {
    return GetCellText(RowAt(row), column, m_settings.m_nRecMode);
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return lv::app::ToQ(CellText(index.row(), index.column()));
    case Qt::DecorationRole:
        if (index.column() == 0) {
            const int image = RowAt(index.row()).GetImage();
            if (image >= 0) return m_images.Image(image);
            // A blank image: every row has room for one, whichever row the
            // view measures, and names line up.
            static const QIcon blank = [] {
                QPixmap pixmap(16, 16);
                pixmap.fill(Qt::transparent);
                return QIcon(pixmap);
            }();
            return blank;
        }
        return {};
    case Qt::FontRole:
        if (RowAt(index.row()).m_bNew) {
            QFont font = QGuiApplication::font();
            font.setBold(true);
            return font;
        }
        return {};
    default: return {};
    }
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    switch (role) {
    case Qt::DisplayRole: return m_aHeaders.at(ViewFirstColumn(m_nViewMode) + section);
    case SortDirectionRole: return section == m_nSortColumn ? m_nSortDirection : 0;
    default: return {};
    }
}

void CListModel::BeginFill(int viewMode) {
    beginResetModel();
    m_aRows.clear();
    m_bFiltered = false;
    m_aShown.clear();
    m_pFilter.reset();
    m_pRecords = m_doc.ShareRecorders();
    m_nViewMode = viewMode;
    m_nSortColumn = -1;
}

void CListModel::AddTitle(const CRDRecorderLibrary& recorder, const CRDTitleInfo& title, bool isNew) {
    m_aRows.push_back(CListRowRef::OfTitle(recorder.GetName(), title, isNew));
}

void CListModel::AddDisc(const CRDDiscInfo& disc) { m_aRows.push_back(CListRowRef::OfDisc(disc)); }

void CListModel::EndFill() { endResetModel(); }

void CListModel::SetSortMark(int column, int direction) {
    m_nSortColumn = column;
    m_nSortDirection = direction;
    if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void CListModel::Sort(int sortKey) {
    const std::size_t n = m_aRows.size();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> order = SortOrder(m_aRows, sortKey);
    std::vector<CListRowRef> sorted;
    sorted.reserve(n);
    std::vector<int> newRowOf(n);
    for (std::size_t i = 0; i < n; ++i) {
        sorted.push_back(m_aRows[static_cast<std::size_t>(order[i])]);
        newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    m_aRows = std::move(sorted);
    // The rows a filter hides are sorted too, for when it shows them again.
    if (m_pFilter) m_pFilter->Reorder(order);
    std::vector<int> oldShown;
    if (m_bFiltered) {
        oldShown.swap(m_aShown);
        for (int row : oldShown) m_aShown.push_back(newRowOf[static_cast<std::size_t>(row)]);
        std::sort(m_aShown.begin(), m_aShown.end());
    }
    auto newModelRow = [&](int row) {
        if (!m_bFiltered) return newRowOf[static_cast<std::size_t>(row)];
        const int fillRow = newRowOf[static_cast<std::size_t>(oldShown[static_cast<std::size_t>(row)])];
        return static_cast<int>(std::lower_bound(m_aShown.begin(), m_aShown.end(), fillRow) - m_aShown.begin());
    };
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) to.append(index(newModelRow(i.row()), i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CListModel::SetFilterText(std::string_view cp932) {
    beginResetModel();
    m_bFiltered = !cp932.empty();
    m_aShown.clear();
    if (m_bFiltered) {
        PrepareFilter();
        m_aShown = m_pFilter->Match(cp932);
    }
    endResetModel();
}

void CListModel::PrepareFilter() {
    if (m_pFilter) return;
    m_pFilter = std::make_unique<CRowFilter>();
    m_pFilter->SetRows(m_aRows);
}

void CListModel::RefreshRemainingTime() {
    if (m_nViewMode == VIEW_TITLES && rowCount() > 0) emit dataChanged(index(0, 6), index(rowCount() - 1, 6));
}
