#include "app/views/list_model.h"

#include <algorithm>
#include <numeric>

#include "app/shell/app.h"
#include "app/shell/qcodec.h"
#include "core/text/cp932.h"

namespace {

constexpr int IMAGE_DISC = 4;
constexpr int IMAGE_GENRE0 = 16;

int CompareText(std::string_view a, std::string_view b) { return lv::text::Compare(a, b); }

int CompareTitles(const CTitleRow& a, const CTitleRow& b, int column) {
    const CRDTitleInfo& x = a.m_title;
    const CRDTitleInfo& y = b.m_title;
    switch (column) {
    case 0: return CompareText(x.Field(TF_TITLE), y.Field(TF_TITLE));
    case 1: {
        const bool hx = x.Field(TF_DISC) == "HDD", hy = y.Field(TF_DISC) == "HDD";
        if (hx || hy) return hx == hy ? 0 : (hx ? -1 : 1);
        return CompareText(x.Field(TF_DISC), y.Field(TF_DISC));
    }
    case 2: return x.m_nGenre < y.m_nGenre ? -1 : (x.m_nGenre > y.m_nGenre ? 1 : 0);
    case 3: {
        const int r = CompareText(x.Field(TF_DATE), y.Field(TF_DATE));
        return r != 0 ? r : CompareText(x.Field(TF_TIME), y.Field(TF_TIME));
    }
    case 4: return CompareText(x.Field(TF_CHANNEL), y.Field(TF_CHANNEL));
    case 5: return CompareText(a.m_strRDName, b.m_strRDName);
    case 6: return CompareText(x.Field(TF_DISCFREE), y.Field(TF_DISCFREE));
    default: return 0;
    }
}

int CompareDiscs(const CRDDiscInfo& x, const CRDDiscInfo& y, int column) {
    switch (column) {
    case 7: return CompareText(x.m_strDiscNo, y.m_strDiscNo);
    case 8: return CompareText(x.m_strFree, y.m_strFree);
    case 9: return CompareText(x.m_strLabel, y.m_strLabel);
    case 10: case 11: case 12: case 13: case 14:
        return CompareText(x.m_strFreeN[static_cast<std::size_t>(column - 10)],
                           y.m_strFreeN[static_cast<std::size_t>(column - 10)]);
    default: return 0;
    }
}

}  // namespace

CListModel::CListModel(CLibrovistaApp& app, QObject* parent) : QAbstractTableModel(parent), m_app(app) {}

int CListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(m_nViewMode == VIEW_TITLES ? m_aTitles.size() : m_aDiscs.size());
}

int CListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return m_nViewMode == VIEW_TITLES ? TITLE_COLUMNS : COLUMN_COUNT - TITLE_COLUMNS;
}

std::string CListModel::CellText(int row, int column) const {
    if (m_nViewMode == VIEW_TITLES) {
        const CTitleRow& r = TitleAt(row);
        const CRDTitleInfo& t = r.m_title;
        switch (column) {
        case 0: return std::string(t.Field(TF_TITLE));
        case 1: return std::string(t.Field(TF_DISC));
        case 2: return std::string(t.Field(TF_GENRE));
        case 3: {
            std::string s(t.Field(TF_DATE));
            s += '(';
            s += t.Field(TF_WEEK);
            s += ") ";
            s += t.Field(TF_TIME);
            return s;
        }
        case 4: return std::string(t.Field(TF_CHANNEL));
        case 5: return r.m_strRDName;
        case 6: return std::string(t.GetRemaining(m_app.m_settings.m_nRecMode));
        default: return {};
        }
    }
    const CRDDiscInfo& d = DiscAt(row);
    switch (column) {
    case 0: return d.m_strDiscNo;
    case 1: return d.m_strFree;
    case 2: return d.m_strLabel;
    case 3: case 4: case 5: case 6: case 7: return d.m_strFreeN[static_cast<std::size_t>(column - 3)];
    default: return {};
    }
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return lv::app::ToQ(CellText(index.row(), index.column()));
    if (role == Qt::DecorationRole && index.column() == 0) {
        if (m_nViewMode == VIEW_DISCS) return m_app.Image(IMAGE_DISC);
        const int genre = TitleAt(index.row()).m_title.m_nGenre;
        if (genre != 0) return m_app.Image(IMAGE_GENRE0 + ((genre >> 16) & 0xF));
    }
    return {};
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const int index = section + (m_nViewMode == VIEW_TITLES ? 0 : TITLE_COLUMNS);
    switch (role) {
    case Qt::DisplayRole: return m_aHeaders[static_cast<std::size_t>(index)];
    case Qt::DecorationRole:
        if (section == m_nSortColumn) {
            static const QIcon up(QStringLiteral(":/sort_up.svg"));
            static const QIcon down(QStringLiteral(":/sort_down.svg"));
            return m_nSortDirection < 0 ? down : up;
        }
        return {};
    case SortDirectionRole: return section == m_nSortColumn ? m_nSortDirection : 0;
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

void CListModel::Reset(int viewMode) {
    BeginFill(viewMode);
    EndFill();
}

void CListModel::BeginFill(int viewMode) {
    beginResetModel();
    m_aTitles.clear();
    m_aDiscs.clear();
    m_nViewMode = viewMode;
    if (m_nSortColumn >= columnCount()) m_nSortColumn = -1;
}

void CListModel::AddTitle(const std::string& rdName, const CRDTitleInfo& title) {
    m_aTitles.push_back(CTitleRow{rdName, title});
}

void CListModel::AddDisc(const CRDDiscInfo& disc) { m_aDiscs.push_back(disc); }

void CListModel::EndFill() { endResetModel(); }

void CListModel::SetSortMark(int column, int direction) {
    m_nSortColumn = column;
    m_nSortDirection = direction;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void CListModel::Sort(int sortKey) {
    const int column = sortKey & 0xFFFF;
    const bool descending = (sortKey & 0x10000) != 0;
    const std::size_t n = static_cast<std::size_t>(rowCount());
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    auto less = [&](int a, int b) {
        int r = m_nViewMode == VIEW_TITLES
                    ? CompareTitles(m_aTitles[static_cast<std::size_t>(a)], m_aTitles[static_cast<std::size_t>(b)], column)
                    : CompareDiscs(m_aDiscs[static_cast<std::size_t>(a)], m_aDiscs[static_cast<std::size_t>(b)], column);
        return descending ? r > 0 : r < 0;
    };

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(order.begin(), order.end(), less);
    std::vector<int> newRowOf(n);
    for (std::size_t i = 0; i < n; ++i) newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    if (m_nViewMode == VIEW_TITLES) {
        std::vector<CTitleRow> sorted;
        sorted.reserve(n);
        for (int i : order) sorted.push_back(std::move(m_aTitles[static_cast<std::size_t>(i)]));
        m_aTitles = std::move(sorted);
    } else {
        std::vector<CRDDiscInfo> sorted;
        sorted.reserve(n);
        for (int i : order) sorted.push_back(std::move(m_aDiscs[static_cast<std::size_t>(i)]));
        m_aDiscs = std::move(sorted);
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(index(newRowOf[static_cast<std::size_t>(i.row())], i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CListModel::RefreshRemainingTime() {
    if (m_nViewMode == VIEW_TITLES && rowCount() > 0) emit dataChanged(index(0, 6), index(rowCount() - 1, 6));
}
