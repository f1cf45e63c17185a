#include "app/shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/dialogs/message_box.h"
#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/image_file.h"
#include "app/shell/main_frame_print.h"
#include "app/shell/qcodec.h"
#include "app/shell/status_pane.h"
#include "app/views/edit_view.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "core/net/fetch_all.h"
#include "core/net/http_thread.h"
#include "core/text/messages.h"

using namespace lv::app;

namespace {

constexpr int kQuickSearchBytes = 64;
// A pause in typing this long narrows the list; keys typed faster cost nothing.
constexpr int kFilterDelayMs = 150;

}  // namespace

namespace {

// The document's word that it was reloaded, as the window's signal.
class CReloadWatch : public CDocView {
public:
    explicit CReloadWatch(CMainFrame* frame) : m_frame(frame) {}
    void OnUpdate(CDocView*, long, void*) override { emit m_frame->documentReloaded(); }

private:
    CMainFrame* m_frame;
};

}  // namespace

CMainFrame::CMainFrame(CLibrovistaApp& app, CRDTitleDoc& doc) : m_app(app), m_doc(doc) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Librovista"));
    setWindowIcon(QIcon(ImageFile(QStringLiteral("app"))));
    m_hIconIdle = QIcon(ImageFile(QStringLiteral("status_idle")));
    m_hIconBusy = QIcon(ImageFile(QStringLiteral("status_busy")));

    CreateActions();
    CreateClient();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    RestorePlacement();
    if (!m_app.m_barState.isEmpty()) restoreState(m_app.m_barState);
    statusBar()->setVisible(m_app.m_bStatusBar);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    ConnectViews();
    UpdateCommandUI();
    m_pReloadWatch = std::make_unique<CReloadWatch>(this);
    m_doc.AddView(m_pReloadWatch.get());
}

void CMainFrame::ShowLoadErrors() {
    const std::string errors = m_doc.LoadErrorsText();
    if (!errors.empty() && !m_bClosing)
        CMessageBox::Show(this, lv::app::ToQ(errors), QMessageBox::Warning, QMessageBox::Ok);
}

void CMainFrame::ConnectViews() {
    connect(this, &CMainFrame::documentReloaded, m_pTree, &CRDTreeView::Rebuild);
    connect(this, &CMainFrame::documentReloaded, m_pEdit, &CRDEditView::Refresh);
    // The message waits until every view shows the reloaded document.
    connect(this, &CMainFrame::documentReloaded, this, &CMainFrame::ShowLoadErrors, Qt::QueuedConnection);
    connect(m_pTree, &CRDTreeView::nodeSelected, m_pList, &CRDListView::ShowCondition);
    connect(m_pTree, &CRDTreeView::nodeSelected, m_pEdit, &CRDEditView::Refresh);
    connect(m_pTree, &CRDTreeView::selectionHandled, this, &CMainFrame::UpdateCommandUI);
    connect(m_pList, &CRDListView::selectionCountChanged, this, [this](int selected) {
        // A prompt shown before may speak of the rows that were selected.
        ShowPrompt(QString());
        SetPaneText(ID_PANE_SELECTED, QStringLiteral("選択 %1個").arg(selected));
        UpdateCommandUI();
    });
    connect(m_pList, &CRDListView::rowCountChanged, this, [this](int rows) {
        SetPaneText(ID_PANE_TOTAL, QStringLiteral("全オブジェクト %1個").arg(rows));
        UpdateCommandUI();
    });
    connect(m_pList, &CRDListView::modeLabelChanged, this,
            [this](const QString& label) { SetPaneText(ID_PANE_RECMODE, label); });
    connect(m_pList, &CRDListView::descriptionChanged, m_pEdit, &CRDEditView::Refresh);
    connect(m_pList, &CRDListView::selectPathRequested, m_pTree, &CRDTreeView::SelectPath);
    connect(m_pList, &CRDListView::titleDownloadRequested, this, &CMainFrame::StartTitleDownload);
}

CMainFrame::~CMainFrame() {
    m_doc.RemoveView(m_pReloadWatch.get());
    // Focus moves while the children go; the views must not be asked then.
    disconnect(qApp, nullptr, this, nullptr);
    // A transfer still running must end before its listener goes.
    if (m_pTransferThread) WaitForTransfer();
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_aActions.find(id);
    return it == m_aActions.end() ? nullptr : it->second;
}

QAction* CMainFrame::MakeAction(int id, bool checkable) {
    const COMMAND_TEXT* text = FindCommandText(id);
    // The whole menu text: a menu shows the part after the tab as the key, so
    // it reads "BS" as our menu text spells it, not Qt's own key name.
    auto* action = new QAction(text ? QString::fromUtf8(text->pszMenu) : QString::number(id), this);
    action->setObjectName(QStringLiteral("ID_%1").arg(id));
    action->setData(id);
    if (text) {
        const QString key = MenuShortcut(text->pszMenu);
        if (!key.isEmpty()) action->setShortcut(QKeySequence(key));
        action->setStatusTip(QString::fromUtf8(text->pszPrompt));
        action->setToolTip(QString::fromUtf8(text->pszTooltip));
    }
    const QString image = ImageFile(QStringLiteral("toolbar/%1").arg(id));
    if (QFile::exists(image)) action->setIcon(QIcon(image));
    action->setCheckable(checkable);
    addAction(action);  // keys work even while a bar or menu is hidden
    m_aActions[id] = action;
    return action;
}

void CMainFrame::CreateActions() {
    connect(MakeAction(ID_DOWNLOAD_LIBRARY), &QAction::triggered, this, &CMainFrame::OnDownloadLibrary);
    connect(MakeAction(ID_DOWNLOAD_ALL_LIBRARIES), &QAction::triggered, this, &CMainFrame::OnDownloadAllLibraries);
    connect(MakeAction(ID_DOWNLOAD_TITLE), &QAction::triggered, this, &CMainFrame::OnDownloadTitle);
    connect(MakeAction(ID_ABORT), &QAction::triggered, this, &CMainFrame::OnAbort);
    connect(MakeAction(ID_CLEAN_LIBRARY), &QAction::triggered, this, &CMainFrame::OnDeleteLibraryCache);
    connect(MakeAction(ID_CLEAN_UNUSED), &QAction::triggered, this, &CMainFrame::OnDeleteUnusedDescriptions);
    connect(MakeAction(ID_CLEAN_DESCRIPTIONS), &QAction::triggered, this, &CMainFrame::OnDeleteAllDescriptions);
    connect(MakeAction(ID_EXPORT_LIST), &QAction::triggered, this, &CMainFrame::OnExportList);
    connect(MakeAction(ID_PRINT_DISC_LABELS), &QAction::triggered, this, [this] { lv::app::PrintDiscLabels(*this); });
    connect(MakeAction(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    connect(MakeAction(ID_EDIT_COPY), &QAction::triggered, this, &CMainFrame::OnEditCopy);
    connect(MakeAction(ID_EDIT_COPY_DETAILS), &QAction::triggered, this, &CMainFrame::OnEditCopyDetails);
    connect(MakeAction(ID_EDIT_SELECT_ALL), &QAction::triggered, this, &CMainFrame::OnEditSelectAll);
    connect(MakeAction(ID_QUICK_SEARCH), &QAction::triggered, this, &CMainFrame::OnQuickSearch);
    connect(MakeAction(ID_SEARCH), &QAction::triggered, this, &CMainFrame::OnSearch);
    connect(MakeAction(ID_UP_ONE_LEVEL), &QAction::triggered, this, &CMainFrame::OnUpOneLevel);
    connect(MakeAction(ID_VIEW_TOOLBAR, true), &QAction::triggered, this, [this](bool on) {
        m_pToolBar->setVisible(on);
        UpdateCommandUI();
    });
    connect(MakeAction(ID_VIEW_STATUS_BAR, true), &QAction::triggered, this, [this](bool on) {
        statusBar()->setVisible(on);
        UpdateCommandUI();
    });
    connect(MakeAction(ID_VIEW_QUICKSEARCHBAR, true), &QAction::triggered, this, [this](bool on) {
        m_pQuickBar->setVisible(on);
        UpdateCommandUI();
    });
    connect(MakeAction(ID_VIEW_FILTER, true), &QAction::triggered, this, &CMainFrame::OnFilterToggle);
    for (int id = ID_VIEW_SMALLICON; id <= ID_VIEW_BYNAME; ++id)
        connect(MakeAction(id, id != ID_VIEW_LINEUP && id != ID_VIEW_BYNAME), &QAction::triggered, this,
                [this, id] { OnViewType(id); });
    connect(MakeAction(ID_DISC_NAME, true), &QAction::triggered, this, [this] { OnDiscDisplay(2); });
    connect(MakeAction(ID_DISC_FREE, true), &QAction::triggered, this, [this] { OnDiscDisplay(1); });
    for (int mode = 0; mode < 5; ++mode)
        connect(MakeAction(ID_REC_MODE1 + mode, true), &QAction::triggered, this, [this, mode] { OnRecMode(mode); });
    connect(MakeAction(ID_NETNAVI_SETTING), &QAction::triggered, this, &CMainFrame::OnNetNaviSetting);
    connect(MakeAction(ID_OPTIONS), &QAction::triggered, this, &CMainFrame::OnOptions);
    connect(MakeAction(ID_HELP_README), &QAction::triggered, this, [this] { m_app.OnHelpReadme(); });
    connect(MakeAction(ID_HELP_HOMEPAGE), &QAction::triggered, this, [this] { m_app.OnHelpHomepage(); });
    connect(MakeAction(ID_APP_ABOUT), &QAction::triggered, this, [this] { m_app.OnAppAbout(); });
}

void CMainFrame::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
    };
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    add(file, {ID_DOWNLOAD_LIBRARY, ID_DOWNLOAD_ALL_LIBRARIES, ID_DOWNLOAD_TITLE, ID_ABORT, 0, ID_EXPORT_LIST,
               ID_PRINT_DISC_LABELS, 0});
    QMenu* cache = file->addMenu(QStringLiteral("ｷｬｯｼｭのｸﾘｰﾝｱｯﾌﾟ"));
    add(cache, {ID_CLEAN_LIBRARY, ID_CLEAN_UNUSED, ID_CLEAN_DESCRIPTIONS});
    add(file, {0, ID_APP_EXIT});

    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    add(edit, {ID_EDIT_COPY, ID_EDIT_COPY_DETAILS, 0, ID_EDIT_SELECT_ALL, 0, ID_QUICK_SEARCH, ID_SEARCH});

    QMenu* view = bar->addMenu(QStringLiteral("表示(&V)"));
    add(view, {ID_UP_ONE_LEVEL, 0, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_QUICKSEARCHBAR, ID_VIEW_FILTER, 0,
               ID_VIEW_LIST, ID_VIEW_DETAILS, 0});
    QMenu* disc = view->addMenu(QStringLiteral("ﾃﾞｨｽｸ表示形式"));
    add(disc, {ID_DISC_NAME, ID_DISC_FREE});
    QMenu* modes = view->addMenu(QStringLiteral("残量時間"));
    add(modes, {ID_REC_MODE1, ID_REC_MODE1 + 1, ID_REC_MODE1 + 2, ID_REC_MODE1 + 3, ID_REC_MODE1 + 4});

    QMenu* tools = bar->addMenu(QStringLiteral("ﾂｰﾙ"));
    add(tools, {ID_NETNAVI_SETTING, ID_OPTIONS});

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    add(help, {ID_HELP_README, ID_HELP_HOMEPAGE, 0, ID_APP_ABOUT});

    // Menus show the state of the moment, as the enabling pass computes it.
    for (QMenu* menu : {file, cache, edit, view, disc, modes, tools, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::CreateToolBars() {
    CreateToolBar();
    CreateQuickSearchBar();
    for (QToolBar* bar : {m_pToolBar, m_pQuickBar})
        connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = addToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"));
    m_pToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_pToolBar->setIconSize(QSize(16, 16));
    for (int id : std::initializer_list<int>{ID_DOWNLOAD_LIBRARY,
                                             ID_DOWNLOAD_ALL_LIBRARIES,
                                             ID_DOWNLOAD_TITLE,
                                             ID_ABORT,
                                             0,
                                             ID_EDIT_COPY,
                                             ID_SEARCH,
                                             0,
                                             ID_UP_ONE_LEVEL,
                                             ID_VIEW_LIST,
                                             ID_VIEW_DETAILS,
                                             0,
                                             ID_NETNAVI_SETTING,
                                             ID_OPTIONS,
                                             0,
                                             ID_REC_MODE1,
                                             ID_REC_MODE1 + 1,
                                             ID_REC_MODE1 + 2,
                                             ID_REC_MODE1 + 3,
                                             ID_REC_MODE1 + 4,
                                             0,
                                             ID_APP_ABOUT}) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(Action(id));
    }
}

// The keyword box with its button; with the filter on, typing narrows the list.
void CMainFrame::CreateQuickSearchBar() {
    m_pQuickBar = new QToolBar(QStringLiteral("ｸｲｯｸｻｰﾁ ﾊﾞｰ"), this);
    m_pQuickBar->setObjectName(QStringLiteral("QuickSearchBar"));
    m_pQuickBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    m_pQuickButton = new QPushButton(QStringLiteral("ｸｲｯｸｻｰﾁ"), m_pQuickBar);
    m_pQuickButton->setObjectName(QStringLiteral("QuickSearchButton"));
    m_pQuickButton->setToolTip(QStringLiteral("ｸｲｯｸｻｰﾁ"));
    m_pQuickButton->setStatusTip(QStringLiteral("ｷｰﾜｰﾄﾞ検索します"));
    m_pQuickButton->setDefault(true);
    m_pQuickBox = new CKeywordComboBox(m_pQuickBar);
    m_pQuickBox->setObjectName(QStringLiteral("QuickSearchBox"));
    m_pQuickBox->setMinimumContentsLength(24);
    m_pQuickBox->setToolTip(QStringLiteral("検索ｷｰﾜｰﾄﾞ入力"));
    m_pQuickBox->setStatusTip(QStringLiteral("検索ｷｰﾜｰﾄﾞを入力します"));
    m_pQuickBox->LimitText(kQuickSearchBytes);
    m_pQuickBar->addWidget(m_pQuickButton);
    m_pQuickBar->addWidget(m_pQuickBox);
    addToolBar(Qt::TopToolBarArea, m_pQuickBar);
    m_pQuickBox->SetHistoryFolder(m_app.m_pszAppDir);
    m_pQuickBox->LoadHistory();
    connect(m_pQuickButton, &QPushButton::clicked, this, &CMainFrame::OnQuickSearch);
    connect(m_pQuickBox, &CKeywordComboBox::enterPressed, this, &CMainFrame::OnQuickSearch);
    m_pFilterTimer = new QTimer(this);
    m_pFilterTimer->setSingleShot(true);
    m_pFilterTimer->setInterval(kFilterDelayMs);
    connect(m_pFilterTimer, &QTimer::timeout, this, [this] { m_pList->SetFilterText(m_strFilterTyped); });
    // Typed or chosen from the history by the user; the quick search's own
    // change of the box's text is not typing.
    connect(m_pQuickBox->lineEdit(), &QLineEdit::textEdited, this, &CMainFrame::OnFilterEdited);
    connect(m_pQuickBox, &QComboBox::textActivated, this, &CMainFrame::OnFilterEdited);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    m_pMessagePane = new CStatusPane(false, bar);
    m_pMessagePane->setObjectName(QStringLiteral("MessagePane"));
    bar->addWidget(m_pMessagePane, 1);
    auto makePane = [this](int id, QWidget* parent) {
        auto* pane = new CStatusPane(true, parent);
        pane->setObjectName(QStringLiteral("Pane%1").arg(id));
        m_aPanes[id] = pane;
        return pane;
    };
    bar->addPermanentWidget(makePane(ID_PANE_SELECTED, bar));
    bar->addPermanentWidget(makePane(ID_PANE_TOTAL, bar));
    bar->addPermanentWidget(makePane(ID_PANE_RECMODE, bar));
    // Room for counts of any list the recorders hold.
    m_aPanes[ID_PANE_SELECTED]->ReserveFor(QStringLiteral("選択 99999個"));
    m_aPanes[ID_PANE_TOTAL]->ReserveFor(QStringLiteral("全オブジェクト 99999個"));
    auto* transfer = new QWidget(bar);
    auto* layout = new QHBoxLayout(transfer);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pTransferIcon = new QLabel(transfer);
    m_pTransferIcon->setObjectName(QStringLiteral("TransferIcon"));
    m_pTransferIcon->setFixedSize(16, 16);
    CStatusPane* text = makePane(ID_PANE_TRANSFER, transfer);
    // The usual progress; the pane widens for a longer text when one comes.
    text->ReserveFor(ToQ(TransferProgressText(1023 * 1024, 0, 0)));
    layout->addWidget(m_pTransferIcon);
    layout->addWidget(text, 1);
    bar->addPermanentWidget(transfer);
    SetPaneText(0, QStringLiteral("ﾚﾃﾞｨ"));
    SetStatusIcon(false);
}

void CMainFrame::CreateClient() {
    m_pMainSplitter = new QSplitter(Qt::Horizontal, this);
    m_pMainSplitter->setObjectName(QStringLiteral("MainSplitter"));
    m_pMainSplitter->setChildrenCollapsible(false);
    m_pTree = new CRDTreeView(m_app.m_settings, m_app.m_images, m_doc, m_pMainSplitter);
    m_pRightSplitter = new QSplitter(Qt::Vertical, m_pMainSplitter);
    m_pRightSplitter->setObjectName(QStringLiteral("RightSplitter"));
    m_pRightSplitter->setChildrenCollapsible(false);
    m_pList = new CRDListView(m_app.m_settings, m_app.m_images, m_doc, m_pRightSplitter);
    m_pEdit = new CRDEditView(m_doc, m_pRightSplitter);
    // Like a static splitter: the first pane keeps its size, the second takes the rest.
    m_pMainSplitter->setStretchFactor(0, 0);
    m_pMainSplitter->setStretchFactor(1, 1);
    m_pRightSplitter->setStretchFactor(0, 0);
    m_pRightSplitter->setStretchFactor(1, 1);
    m_pMainSplitter->setSizes({std::max(1, m_app.m_settings.m_nSplitWidth), 1});
    m_pRightSplitter->setSizes({std::max(1, m_app.m_settings.m_nSplitHeight), 1});
    setCentralWidget(m_pMainSplitter);
}

void CMainFrame::RestorePlacement() {
    const RECT_SETTING& rc = m_app.m_settings.m_rcWindow;
    setWindowState(Qt::WindowNoState);
    resize(std::max(1, rc.right - rc.left), std::max(1, rc.bottom - rc.top));
    move(rc.left, rc.top);
}

void CMainFrame::SetPaneText(int paneId, const QString& text) {
    if (paneId == 0) {
        m_strMessage = text;
        if (m_strPrompt.isEmpty()) m_pMessagePane->SetText(text);
    } else if (const auto it = m_aPanes.find(paneId); it != m_aPanes.end()) {
        it->second->SetText(text);
    } else {
        return;
    }
    emit paneTextChanged(paneId, text);
}

QString CMainFrame::GetPaneText(int paneId) const {
    if (paneId == 0) return m_strMessage;
    const auto it = m_aPanes.find(paneId);
    return it == m_aPanes.end() ? QString() : it->second->GetText();
}

void CMainFrame::ShowPrompt(const QString& prompt) {
    m_strPrompt = prompt;
    m_pMessagePane->SetText(prompt.isEmpty() ? m_strMessage : prompt);
}

bool CMainFrame::event(QEvent* event) {
    // The bar's own way would paint the prompt over the message pane, cut
    // where the permanent panes begin.
    if (event->type() == QEvent::StatusTip) {
        ShowPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::SetStatusIcon(bool busy) {
    m_pTransferIcon->setPixmap((busy ? m_hIconBusy : m_hIconIdle).pixmap(16, 16));
}

COMMAND_STATE CMainFrame::GetCommandState() const {
    COMMAND_STATE state;
    state.bTransferring = m_bTransferring;
    state.bRecorderChosen = !m_doc.GetCurrentRecorder().empty();
    state.bHasRecorders = !m_doc.GetRecorders().empty();
    state.nActiveView = m_pActiveView == m_pList   ? ACTIVE_LIST
                        : m_pActiveView == m_pEdit ? ACTIVE_EDIT
                        : m_pActiveView == m_pTree ? ACTIVE_TREE
                                                   : ACTIVE_NONE;
    state.nListViewMode = m_pList->GetViewMode();
    state.nSelectedRows = m_pList->GetSelectedCount();
    state.nListRows = m_pList->GetModel()->rowCount();
    state.bSelectionServesDescriptions = m_pList->SelectionServesDescriptions();
    state.bTreeCanGoUp = m_pTree->CanGoUp();
    state.nListStyle = m_pList->GetListStyle();
    state.nDiscDisplay = m_app.m_settings.m_nDiscDisplay;
    state.nRecMode = m_app.m_settings.m_nRecMode;
    return state;
}

void CMainFrame::UpdateCommandUI() {
    if (!m_pList || !m_pTree) return;
    const COMMAND_UI ui = GetCommandUI(GetCommandState());
    auto enable = [this](int id, bool on) {
        if (QAction* a = Action(id)) a->setEnabled(on);
    };
    auto check = [this](int id, bool on) {
        if (QAction* a = Action(id)) a->setChecked(on);
    };
    enable(ID_DOWNLOAD_LIBRARY, ui.bDownloadLibrary);
    enable(ID_DOWNLOAD_ALL_LIBRARIES, ui.bDownloadAllLibraries);
    enable(ID_DOWNLOAD_TITLE, ui.bDownloadTitle);
    ShowDescriptionsReason(ui.bNoDescriptions);
    enable(ID_ABORT, ui.bAbort);
    for (int id : {ID_CLEAN_LIBRARY, ID_CLEAN_UNUSED, ID_CLEAN_DESCRIPTIONS}) enable(id, ui.bCleanCache);
    enable(ID_NETNAVI_SETTING, ui.bNetNaviSetting);
    enable(ID_EDIT_COPY, ui.bEditCopy);
    enable(ID_EDIT_SELECT_ALL, ui.bEditSelectAll);
    enable(ID_EDIT_COPY_DETAILS, ui.bEditCopyDetails);
    enable(ID_UP_ONE_LEVEL, ui.bUpOneLevel);
    enable(ID_EXPORT_LIST, ui.bExportList);
    enable(ID_PRINT_DISC_LABELS, lv::app::CanPrintDiscLabels(*this));
    enable(ID_VIEW_LINEUP, ui.bLineUp);

    check(ID_VIEW_TOOLBAR, !m_pToolBar->isHidden());
    check(ID_VIEW_STATUS_BAR, !statusBar()->isHidden());
    check(ID_VIEW_QUICKSEARCHBAR, !m_pQuickBar->isHidden());
    check(ID_VIEW_FILTER, m_app.m_settings.m_bFilterAsYouType != 0);
    check(ID_VIEW_LARGEICON, ui.abListStyle[LIST_LARGEICON]);
    check(ID_VIEW_DETAILS, ui.abListStyle[LIST_DETAILS]);
    check(ID_VIEW_SMALLICON, ui.abListStyle[LIST_SMALLICON]);
    check(ID_VIEW_LIST, ui.abListStyle[LIST_LIST]);
    check(ID_DISC_NAME, ui.bDiscName);
    check(ID_DISC_FREE, ui.bDiscFree);
    for (int mode = 0; mode < 5; ++mode) check(ID_REC_MODE1 + mode, ui.abRecMode[static_cast<std::size_t>(mode)]);
}

// F4 on a recorder without descriptions would do nothing: the command's tip
// and the message pane say why it is off.
void CMainFrame::ShowDescriptionsReason(bool noDescriptions) {
    QAction* f4 = Action(ID_DOWNLOAD_TITLE);
    const COMMAND_TEXT* text = FindCommandText(ID_DOWNLOAD_TITLE);
    if (!f4 || !text) return;
    const QString reason = ToQ(lv::msg::NoDescriptions());
    const QString tip = QString::fromUtf8(text->pszTooltip);
    f4->setToolTip(noDescriptions ? tip + QStringLiteral(" - ") + reason : tip);
    f4->setStatusTip(noDescriptions ? reason : QString::fromUtf8(text->pszPrompt));
    if (noDescriptions)
        SetPaneText(0, reason);
    else if (GetPaneText(0) == reason)
        SetPaneText(0, QStringLiteral("ﾚﾃﾞｨ"));
}

// A view stays active while the focus moves to a bar or a dialog and back.
void CMainFrame::OnFocusChanged(QWidget* now) {
    for (QWidget* w = now; w; w = w->parentWidget()) {
        if (w == m_pTree || w == m_pList || w == m_pEdit) {
            if (m_pActiveView != w) {
                m_pActiveView = w;
                UpdateCommandUI();
            }
            return;
        }
        if (w == this) return;
    }
}

void CMainFrame::OnEditCopy() {
    if (m_pActiveView == m_pEdit)
        m_pEdit->copy();
    else if (m_pActiveView == m_pList)
        m_pList->CopyNames();
}

void CMainFrame::OnEditCopyDetails() {
    if (m_pActiveView == m_pList) m_pList->CopyDetails();
}

void CMainFrame::OnEditSelectAll() {
    if (m_pActiveView == m_pEdit)
        m_pEdit->selectAll();
    else if (m_pActiveView == m_pList)
        m_pList->SelectAllRows();
}

void CMainFrame::OnDownloadTitle() {
    if (m_pActiveView == m_pList && m_pList->CanFetchDescriptions()) m_pList->FetchDescriptions();
}

void CMainFrame::OnUpOneLevel() { m_pTree->UpOneLevel(); }

void CMainFrame::OnViewType(int id) {
    switch (id) {
    case ID_VIEW_SMALLICON: m_pList->SetListStyle(LIST_SMALLICON); break;
    case ID_VIEW_LARGEICON: m_pList->SetListStyle(LIST_LARGEICON); break;
    case ID_VIEW_LIST: m_pList->SetListStyle(LIST_LIST); break;
    case ID_VIEW_DETAILS: m_pList->SetListStyle(LIST_DETAILS); break;
    case ID_VIEW_LINEUP: m_pList->ArrangeIcons(); break;
    default: break;
    }
    UpdateCommandUI();
}

void CMainFrame::OnDiscDisplay(int bit) {
    m_app.m_settings.m_nDiscDisplay ^= bit;
    m_pTree->UpdateDiscLabels();
    UpdateCommandUI();
}

void CMainFrame::OnRecMode(int mode) {
    m_app.m_settings.m_nRecMode = mode;
    m_pTree->UpdateDiscLabels();
    m_pList->RefreshRemainingTime();
    UpdateCommandUI();
}

void CMainFrame::OnFilterToggle(bool on) {
    m_app.m_settings.m_bFilterAsYouType = on;
    m_pFilterTimer->stop();
    // The list's names are folded now rather than at the first key typed.
    if (on) m_pList->GetModel()->PrepareFilter();
    // Turned on, the box's text narrows at once; turned off, the whole list is back.
    m_strFilterTyped = on ? m_pQuickBox->GetText() : std::string();
    m_pList->SetFilterText(m_strFilterTyped);
    UpdateCommandUI();
}

void CMainFrame::OnFilterEdited() {
    if (!m_app.m_settings.m_bFilterAsYouType) return;
    m_strFilterTyped = m_pQuickBox->GetText();
    m_pFilterTimer->start();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A running transfer is stopped as Esc stops it, so the window does not
    // hang until the network gives up; its end is no longer reported. The
    // cache is only ever replaced by rename, so it stays whole.
    m_bClosing = true;
    if (m_pTransferThread) {
        m_pTransferThread->Abort();
        WaitForTransfer();
    }
    if (windowState() == Qt::WindowNoState) {
        const QPoint pos = this->pos();
        const QSize size = this->size();
        m_app.m_settings.m_rcWindow = {pos.x(), pos.y(), pos.x() + size.width(), pos.y() + size.height()};
    }
    m_app.m_barState = saveState();
    m_app.m_bStatusBar = !statusBar()->isHidden();
    m_app.m_settings.m_nSplitWidth = m_pMainSplitter->sizes().value(0);
    m_app.m_settings.m_nSplitHeight = m_pRightSplitter->sizes().value(0);
    m_pList->SaveSettings();
    event->accept();
}
