#include "app/views/list_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "app/shell/commands.h"
#include "app/shell/image_file.h"
#include "app/shell/qcodec.h"
#include "app/views/hidden_column_grip.h"
#include "app/views/list_model.h"
#include "core/library/description_path.h"
#include "core/search/search_condition.h"
#include "core/settings/models.h"
#include "core/shell/app_settings.h"

namespace {

// Rows of a condition's result go straight into the model.
class CFillSink : public CConditionSink {
public:
    CFillSink(CListModel& model, std::array<std::string, 5>& modeNames, const CLibraryNews& news)
        : m_model(model), m_modeNames(modeNames), m_news(news) {}
    void OnModeLabels(const CRDRecorderLibrary& recorder) override {
        const auto& labels = recorder.ModeLabels();
        for (std::size_t i = 0; i < m_modeNames.size(); ++i) m_modeNames[i] = i < labels.size() ? labels[i] : "";
    }
    void OnDisc(const CRDRecorderLibrary&, const CRDDiscInfo& disc) override { m_model.AddDisc(disc); }
    void OnTitle(const CRDRecorderLibrary& recorder, const CRDTitleInfo& title) override {
        m_model.AddTitle(recorder, title, m_news.IsNew(title));
    }

private:
    CListModel& m_model;
    std::array<std::string, 5>& m_modeNames;
    const CLibraryNews& m_news;
};

// The details header: the sort column's arrow right of its text. Every
// section has room for the arrow, so a text stays whole when its column is
// sorted and the header keeps its height.
class CListHeader : public QHeaderView {
public:
    explicit CListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

    // The width a section needs for a header text and the arrow.
    int WidthFor(const QString& text) const {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.text = text;
        return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this).width() + ArrowRoom();
    }

protected:
    QSize sectionSizeFromContents(int logical) const override {
        QSize size = QHeaderView::sectionSizeFromContents(logical);
        size.setWidth(WidthFor(model()->headerData(logical, orientation(), Qt::DisplayRole).toString()));
        return size;
    }

    void paintSection(QPainter* painter, const QRect& rect, int logical) const override {
        const int direction = model()->headerData(logical, orientation(), CListModel::SortDirectionRole).toInt();
        if (direction == 0 || !rect.isValid()) {
            QHeaderView::paintSection(painter, rect, logical);
            return;
        }
        QStyleOptionHeader option;
        initStyleOption(&option);
        initStyleOptionForIndex(&option, logical);
        option.rect = rect;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        // The text gives way to the arrow, not the arrow to the text.
        QStyleOptionHeader label = option;
        label.rect = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this).adjusted(0, 0, -ArrowRoom(), 0);
        label.text = option.fontMetrics.elidedText(model()->headerData(logical, orientation()).toString(),
                                                   Qt::ElideRight, std::max(0, label.rect.width()));
        label.icon = QIcon();
        style()->drawControl(QStyle::CE_HeaderLabel, &label, painter, this);
        static const QIcon up(ImageFile(QStringLiteral("sort_up")));
        static const QIcon down(ImageFile(QStringLiteral("sort_down")));
        const int x = label.rect.left() + option.fontMetrics.horizontalAdvance(label.text) + ArrowGap();
        painter->drawPixmap(std::min(x, rect.right() + 1 - kArrowSize), rect.center().y() - kArrowSize / 2,
                            (direction < 0 ? down : up).pixmap(kArrowSize, kArrowSize));
    }

private:
    static constexpr int kArrowSize = 8;
    int ArrowGap() const { return style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this); }
    int ArrowRoom() const { return ArrowGap() + kArrowSize; }
};

}  // namespace

CRDListView::CRDListView(CAppSettings& settings, const CImageList& images, CRDTitleDoc& doc, QWidget* parent)
    : QStackedWidget(parent), m_settings(settings), m_doc(doc) {
    setObjectName(QStringLiteral("ListView"));
    m_pModel = new CListModel(settings, images, doc, this);
    ReadColumnSettings();
    CreateDetailsView();
    CreateIconView();
    addWidget(m_pDetails);
    addWidget(m_pIcons);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_pDetails), static_cast<QAbstractItemView*>(m_pIcons)}) {
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::activated, this, &CRDListView::OnItemActivate);
    }
    connect(m_pDetails->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CRDListView::OnItemChanged);

    FitNewColumnsToHeaders();
    m_pModel->BeginFill(VIEW_TITLES);
    m_pModel->EndFill();
    ApplyColumns();
    SetListStyle((m_settings.m_nListStyle & 3) | LIST_DETAILS);
}

void CRDListView::ReadColumnSettings() {
    std::array<QString, COLUMN_COUNT> headers;
    for (int i = 0; i < COLUMN_COUNT; ++i) {
        COLUMN_SETTING s{};
        m_settings.GetColumnSetting(i, s);
        m_aColumnDesc[static_cast<std::size_t>(i)] = DescFromSetting(s);
        headers[static_cast<std::size_t>(i)] = lv::app::ToQ(ColumnHeader(i));
    }
    m_pModel->SetHeaderTexts(headers);
}

void CRDListView::CreateDetailsView() {
    m_pDetails = new QTreeView(this);
    m_pDetails->setObjectName(QStringLiteral("ListDetails"));
    m_pDetails->setModel(m_pModel);
    m_pDetails->setRootIsDecorated(false);
    m_pDetails->setItemsExpandable(false);
    m_pDetails->setUniformRowHeights(true);
    m_pDetails->setAllColumnsShowFocus(true);
    m_pDetails->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pDetails->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pDetails->setIconSize(QSize(16, 16));
    m_pDetails->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_pDetails->setHeader(new CListHeader(m_pDetails));
    SetUpHeader(m_pDetails->header());
}

// Columns move, hide behind a grip, sort on a click and offer their popup.
void CRDListView::SetUpHeader(QHeaderView* header) {
    header->setSectionsMovable(true);
    // The name column moves like the others, and a column may go in front of it.
    header->setFirstSectionMovable(true);
    new CHiddenColumnGrip(header);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::customContextMenuRequested, this, [this, header](const QPoint& pos) {
        QMenu* menu = CreateHeaderMenu(this);
        menu->exec(header->mapToGlobal(pos));
        delete menu;
    });
    header->setSectionsClickable(true);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &CRDListView::OnColumnClick);
}

// The list and icon styles: the same model and the same selection.
void CRDListView::CreateIconView() {
    m_pIcons = new QListView(this);
    m_pIcons->setObjectName(QStringLiteral("ListIcons"));
    m_pIcons->setModel(m_pModel);
    m_pIcons->setSelectionModel(m_pDetails->selectionModel());
    m_pIcons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pIcons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pIcons->setResizeMode(QListView::Adjust);
    m_pIcons->setUniformItemSizes(true);
}

// A column shown for the first time is as wide as its header text;
// a width read back is the user's and stays as it is.
void CRDListView::FitNewColumnsToHeaders() {
    for (int i = 0; i < COLUMN_COUNT; ++i) {
        int& width = m_aColumnDesc[static_cast<std::size_t>(i)].nWidth;
        if (width > 0 && !m_settings.m_abColumnWidthRead[static_cast<std::size_t>(i)])
            width = std::max(width, HeaderTextWidth(i));
        m_aShownWidth[static_cast<std::size_t>(i)] = width;
    }
}

QAbstractItemView* CRDListView::GetCurrentView() const {
    return m_nListStyle == LIST_DETAILS ? static_cast<QAbstractItemView*>(m_pDetails) : m_pIcons;
}

int CRDListView::GetViewMode() const { return m_pModel->GetViewMode(); }

int CRDListView::FirstColumn() const { return ViewFirstColumn(GetViewMode()); }

void CRDListView::SetListStyle(int style) {
    if (style < LIST_LARGEICON || style > LIST_LIST) style = LIST_DETAILS;
    const bool hadFocus = GetCurrentView()->hasFocus();
    m_nListStyle = style;
    switch (style) {
    case LIST_LARGEICON:
        m_pIcons->setViewMode(QListView::IconMode);
        m_pIcons->setIconSize(QSize(32, 32));
        m_pIcons->setFlow(QListView::LeftToRight);
        m_pIcons->setWrapping(true);
        break;
    case LIST_SMALLICON:
        m_pIcons->setViewMode(QListView::ListMode);
        m_pIcons->setIconSize(QSize(16, 16));
        m_pIcons->setFlow(QListView::LeftToRight);
        m_pIcons->setWrapping(true);
        break;
    case LIST_LIST:
        m_pIcons->setViewMode(QListView::ListMode);
        m_pIcons->setIconSize(QSize(16, 16));
        m_pIcons->setFlow(QListView::TopToBottom);
        m_pIcons->setWrapping(true);
        break;
    default: break;
    }
    m_pIcons->setMovement(QListView::Static);
    setCurrentWidget(style == LIST_DETAILS ? static_cast<QWidget*>(m_pDetails) : m_pIcons);
    if (hadFocus) GetCurrentView()->setFocus();
}

void CRDListView::ArrangeIcons() {
    if (m_nListStyle == LIST_LARGEICON || m_nListStyle == LIST_SMALLICON) m_pIcons->doItemsLayout();
}

void CRDListView::SaveColumns() {
    if (m_bApplyingColumns) return;
    QHeaderView* header = m_pDetails->header();
    const int first = FirstColumn();
    if (header->count() != m_pModel->columnCount()) return;
    for (int c = 0; c < header->count(); ++c) {
        COLUMN_DESC& d = m_aColumnDesc.at(first + c);
        d.nWidth = header->isSectionHidden(c) ? 0 : header->sectionSize(c);
        d.nOrder = header->visualIndex(c);
        if (d.nWidth > 0) m_aShownWidth.at(first + c) = d.nWidth;
    }
}

void CRDListView::ApplyColumns() {
    QHeaderView* header = m_pDetails->header();
    const int first = FirstColumn();
    const int count = m_pModel->columnCount();
    m_bApplyingColumns = true;
    const std::vector<int> logicalAt = DisplayOrder(m_aColumnDesc, GetViewMode());
    for (int p = 0; p < count; ++p) {
        const int from = header->visualIndex(logicalAt[static_cast<std::size_t>(p)]);
        if (from != p) header->moveSection(from, p);
    }
    for (int c = 0; c < count; ++c) {
        header->setSectionHidden(c, false);
        header->resizeSection(c, std::max(0, m_aColumnDesc.at(first + c).nWidth));
    }
    m_bApplyingColumns = false;
    UpdateSortMark();
}

int CRDListView::HeaderTextWidth(int index) const {
    return static_cast<const CListHeader*>(m_pDetails->header())->WidthFor(lv::app::ToQ(ColumnHeader(index)));
}

// Ticked again, a column comes back as wide as it was.
void CRDListView::ShowColumn(int column, bool show) {
    if (column < 0 || column >= m_pModel->columnCount()) return;
    QHeaderView* header = m_pDetails->header();
    const int index = FirstColumn() + column;
    int& shown = m_aShownWidth.at(index);
    if (!show && header->sectionSize(column) > 0) shown = header->sectionSize(column);
    constexpr int kShownWidth = 50;
    if (show && shown == 0) shown = std::max(kShownWidth, HeaderTextWidth(index));
    header->resizeSection(column, show ? shown : 0);
    SaveColumns();
}

QMenu* CRDListView::CreateHeaderMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const QHeaderView* header = m_pDetails->header();
    for (int p = 0; p < header->count(); ++p) {
        const int column = header->logicalIndex(p);
        QAction* item = menu->addAction(m_pModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        item->setCheckable(true);
        item->setChecked(header->sectionSize(column) > 0 && !header->isSectionHidden(column));
        item->setData(column);
        connect(item, &QAction::toggled, this, [this, column](bool on) { ShowColumn(column, on); });
    }
    return menu;
}

int CRDListView::GetSortKey() const { return ::GetSortKey(m_aColumnDesc, GetViewMode()); }

void CRDListView::UpdateSortMark() {
    const int index = GetSortKey() & 0xFFFF;
    const COLUMN_DESC& d = m_aColumnDesc[static_cast<std::size_t>(index)];
    const int first = FirstColumn();
    const bool marked = d.bSortColumn && index >= first && index < first + m_pModel->columnCount();
    m_pModel->SetSortMark(marked ? index - first : -1, d.nDirection == 1 ? -1 : 1);
}

void CRDListView::OnColumnClick(int column) {
    if (column < 0 || column >= m_pModel->columnCount()) return;
    SaveColumns();
    ClickColumn(m_aColumnDesc, GetViewMode(), column);
    UpdateSortMark();
    m_pModel->Sort(GetSortKey());
}

void CRDListView::ShowCondition(const CSearchCondition* cond) {
    m_doc.ClearDescription();
    for (std::string& name : m_szModeNames) name.clear();
    const int viewMode = cond ? (cond->NeedsDiscView() ? VIEW_DISCS : VIEW_TITLES) : GetViewMode();

    SaveColumns();
    m_shownRow = QPersistentModelIndex();
    m_pModel->BeginFill(viewMode);
    if (cond) {
        // The marks of the document as it is now: a reload brings other records.
        if (auto recorders = m_doc.ShareRecorders(); !m_news.IsFor(recorders))
            m_news.Load(m_doc.AppDir(), std::move(recorders));
        CFillSink sink(*m_pModel, m_szModeNames, m_news);
        RunCondition(*cond, m_doc, sink, &m_news);
    }
    m_pModel->EndFill();
    // The user may narrow this list while typing: its names are folded before the sort.
    if (m_settings.m_bFilterAsYouType) m_pModel->PrepareFilter();
    ApplyColumns();
    m_pModel->Sort(GetSortKey());
    if (!m_strFilter.empty()) m_pModel->SetFilterText(m_strFilter);

    EmitRowsChanged();
    EmitModeLabel();
}

void CRDListView::SetFilterText(const std::string& cp932) {
    if (cp932 == m_strFilter) return;
    m_strFilter = cp932;
    // Like a fill: no row stays selected, none is described.
    m_shownRow = QPersistentModelIndex();
    m_doc.ClearDescription();
    m_pModel->SetFilterText(m_strFilter);
    EmitRowsChanged();
}

void CRDListView::EmitRowsChanged() {
    emit descriptionChanged();
    emit selectionCountChanged(GetSelectedCount());
    emit rowCountChanged(m_pModel->rowCount());
}

void CRDListView::EmitModeLabel() {
    const int mode = m_settings.m_nRecMode;
    emit modeLabelChanged(mode >= 0 && mode < 5 ? lv::app::ToQ(m_szModeNames[static_cast<std::size_t>(mode)])
                                                : QString());
}

std::vector<int> CRDListView::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : m_pDetails->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CRDListView::GetSelectedCount() const {
    return static_cast<int>(m_pDetails->selectionModel()->selectedRows().size());
}

void CRDListView::OnItemChanged(const QItemSelection&, const QItemSelection&) {
    const QModelIndexList rows = m_pDetails->selectionModel()->selectedRows();
    if (rows.size() == 1) {
        // Only a newly single row loads its description.
        if (QPersistentModelIndex(rows.front()) != m_shownRow) ShowDescription(rows.front().row());
    } else {
        m_shownRow = QPersistentModelIndex();
        m_doc.ClearDescription();
        emit descriptionChanged();
    }
    emit selectionCountChanged(static_cast<int>(rows.size()));
}

void CRDListView::ShowDescription(int row) {
    if (GetViewMode() != VIEW_TITLES || row < 0) {
        m_doc.ClearDescription();
    } else {
        const CListRowRef& r = m_pModel->RowAt(row);
        const auto path = DescriptionPath(m_doc.AppDir(), *r.m_pRDName, r.m_pTitle->Field(TF_TEXTFILE));
        if (!path) return;
        m_doc.LoadDescription(*path);
        m_shownRow = QPersistentModelIndex(m_pModel->index(row, 0));
    }
    emit descriptionChanged();
}

void CRDListView::OnItemActivate(const QModelIndex& index) {
    if (GetViewMode() != VIEW_DISCS || !index.isValid()) return;
    const CRDDiscInfo& disc = *m_pModel->RowAt(index.row()).m_pDisc;
    std::vector<std::string> path{disc.m_strRDName, "DVD", disc.m_strDiscNo};
    // The tree refills this list; let the view finish its event first.
    QTimer::singleShot(0, this, [this, path] { emit selectPathRequested(path); });
}

void CRDListView::PutTextOnClipboard(const std::string& cp932) {
    if (cp932.empty()) return;
    QApplication::clipboard()->setText(lv::app::ToQ(cp932));
}

std::vector<CListRowRef> CRDListView::SelectedRecords() const {
    std::vector<CListRowRef> rows;
    for (int row : GetSelectedRows()) rows.push_back(m_pModel->RowAt(row));
    return rows;
}

void CRDListView::CopyNames() { PutTextOnClipboard(RowNamesText(SelectedRecords())); }

void CRDListView::CopyDetails() {
    // The order the user sees, hidden columns included.
    QHeaderView* header = m_pDetails->header();
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(header->count()));
    for (int p = 0; p < header->count(); ++p) order.push_back(header->logicalIndex(p));
    PutTextOnClipboard(RowDetailsText(SelectedRecords(), order, m_settings.m_nRecMode));
}

void CRDListView::SelectAllRows() {
    const int rows = m_pModel->rowCount();
    if (rows == 0) return;
    // One selection change for all rows, so the count pane is written once.
    QItemSelection all(m_pModel->index(0, 0), m_pModel->index(rows - 1, m_pModel->columnCount() - 1));
    m_pDetails->selectionModel()->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool CRDListView::CanFetchDescriptions() const {
    return ::CanFetchDescriptions(GetViewMode(), GetSelectedCount(), m_bTransferring);
}

bool CRDListView::SelectionServesDescriptions() const {
    // Asked on every selection change: the first row without sorting them all.
    int first = -1;
    for (const QModelIndex& i : m_pDetails->selectionModel()->selectedRows())
        if (first < 0 || i.row() < first) first = i.row();
    if (first < 0 || GetViewMode() != VIEW_TITLES) return true;
    const CRDRecorderLibrary* recorder = m_doc.FindRecorder(*m_pModel->RowAt(first).m_pRDName);
    return !recorder || ServesDescriptions(recorder->GetModelClass());
}

void CRDListView::FetchDescriptions() {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty()) return;
    std::vector<TITLEINFO> titles(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CListRowRef& r = m_pModel->RowAt(rows[i]);
        r.m_pTitle->GetInfo(titles[i]);
        titles[i].pszRDName = r.m_pRDName->c_str();
    }
    emit titleDownloadRequested(titles);
}

void CRDListView::RefreshRemainingTime() {
    m_pModel->RefreshRemainingTime();
    EmitModeLabel();
}

LIST_EXPORT CRDListView::GetExport() const {
    LIST_EXPORT list;
    list.nViewMode = GetViewMode();
    const QHeaderView* header = m_pDetails->header();
    for (int p = 0; p < header->count(); ++p) {
        const int column = header->logicalIndex(p);
        if (header->sectionSize(column) > 0 && !header->isSectionHidden(column)) list.columns.push_back(column);
    }
    list.rows.reserve(static_cast<std::size_t>(m_pModel->rowCount()));
    for (int row = 0; row < m_pModel->rowCount(); ++row) list.rows.push_back(m_pModel->RowAt(row));
    list.nSortKey = GetSortKey();
    list.nRecMode = m_settings.m_nRecMode;
    list.pDoc = &m_doc;
    return list;
}

void CRDListView::SaveSettings() {
    SaveColumns();
    for (int i = 0; i < COLUMN_COUNT; ++i)
        m_settings.SetColumnSetting(i, SettingFromDesc(m_aColumnDesc[static_cast<std::size_t>(i)]));
    m_settings.m_nListStyle = m_nListStyle;
}

// The list owns its popup: the items act on the list whichever view is active.
QMenu* CRDListView::CreateContextMenu(const QPoint& viewportPos, QWidget* parent) {
    if (!GetCurrentView()->indexAt(viewportPos).isValid()) return nullptr;
    using namespace lv::app;
    const bool titles = GetViewMode() == VIEW_TITLES;
    auto* menu = new QMenu(titles ? QStringLiteral("ﾀｲﾄﾙ一覧") : QStringLiteral("ﾃﾞｨｽｸ一覧"), parent);
    // The text after the tab is shown as the key; the window's keys do the work.
    auto add = [&](const char* text, int id, void (CRDListView::*operation)()) {
        QAction* item = menu->addAction(QString::fromUtf8(text));
        item->setData(id);
        connect(item, &QAction::triggered, this, operation);
        return item;
    };
    if (titles) {
        add("番組説明を取得(&S)\tF4", ID_DOWNLOAD_TITLE, &CRDListView::FetchDescriptions)
            ->setEnabled(CanFetchDescriptions() && SelectionServesDescriptions());
        add("ﾀｲﾄﾙ名ｺﾋﾟｰ(&C)\tCtrl+C", ID_EDIT_COPY, &CRDListView::CopyNames);
        add("ﾀｲﾄﾙ詳細ｺﾋﾟｰ(&D)\tCtrl+D", ID_EDIT_COPY_DETAILS, &CRDListView::CopyDetails);
    } else {
        add("ﾃﾞｨｽｸ名ｺﾋﾟｰ(&C)\tCtrl+C", ID_EDIT_COPY, &CRDListView::CopyNames);
        add("ﾃﾞｨｽｸ詳細ｺﾋﾟｰ(&D)\tCtrl+D", ID_EDIT_COPY_DETAILS, &CRDListView::CopyDetails);
    }
    return menu;
}

bool CRDListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu &&
        (watched == m_pDetails->viewport() || watched == m_pIcons->viewport())) {
        auto* e = static_cast<QContextMenuEvent*>(event);
        // The keyboard's menu key reports no row position: no menu.
        if (e->reason() != QContextMenuEvent::Keyboard) {
            if (QMenu* menu = CreateContextMenu(e->pos(), this)) {
                menu->exec(e->globalPos());
                delete menu;
            }
        }
        return true;
    }
    return QStackedWidget::eventFilter(watched, event);
}
