#pragma once
// The program's only top-level window: splitters with the three views, menus,
// toolbar, quick-search bar, status bar, command enabling, and the one place
// where transfers with a recorder are started, shown and finished.
#include <QMainWindow>
#include <QPointer>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/search/keyword_combo.h"
#include "core/library/records.h"
#include "core/search/search_condition.h"
#include "core/shell/cache_cleanup.h"
#include "core/shell/command_ui.h"

class QAction;
class QComboBox;
class QLabel;
class QSplitter;
class QToolBar;
class QTimer;
class QPushButton;
class CLibrovistaApp;
class CRDTitleDoc;
class CRDTreeView;
class CRDListView;
class CRDEditView;
class CHttpThread;
class CTransferListener;
class CFetchAllLibraries;
class CDocView;
class CStatusPane;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(CLibrovistaApp& app, CRDTitleDoc& doc);
    ~CMainFrame() override;

    CRDTreeView* GetTreeView() const { return m_pTree; }
    CRDListView* GetListView() const { return m_pList; }
    CRDEditView* GetEditView() const { return m_pEdit; }
    CRDTitleDoc& GetDocument() const { return m_doc; }
    CLibrovistaApp& GetApp() const { return m_app; }

    // The action of a command id, or null.
    QAction* Action(int id) const;

    // Status-bar panes: 0 the message pane, else a PaneId.
    void SetPaneText(int paneId, const QString& text);
    QString GetPaneText(int paneId) const;
    void SetStatusIcon(bool busy);

    bool IsClosed() const { return m_bClosing; }
    // Starts a description download for the leading titles of one recorder.
    void StartTitleDownload(const std::vector<TITLEINFO>& titles);

    // Recomputes every command's enabled and ticked state.
    void UpdateCommandUI();
    // Names the recorders whose caches could not be read, after each load.
    void ShowLoadErrors();

public slots:
    void OnQuickSearch();
    void OnSearch();
    void OnDeleteLibraryCache();
    void OnDeleteUnusedDescriptions();
    void OnDeleteAllDescriptions();
    void OnNetNaviSetting();
    void OnOptions();
    void OnTransferStatus(int status);

signals:
    // The document has read its files again: the views show it anew.
    void documentReloaded();
    void paneTextChanged(int paneId, const QString& text);
    // A transfer's end has been handled (views already updated).
    void transferEnded(bool success);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Prompts of menus, bars and boxes go to the message pane.
    bool event(QEvent* event) override;

private:
    QAction* MakeAction(int id, bool checkable = false);
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateToolBar();
    void CreateQuickSearchBar();
    void CreateStatusBar();
    void CreateClient();
    void ConnectViews();
    COMMAND_STATE GetCommandState() const;
    void SetTransferring(bool busy);
    void ShowDescriptionsReason(bool noDescriptions);
    void EndTransfer();
    void RestorePlacement();

    void OnDownloadLibrary();
    void OnDownloadAllLibraries();
    // Starts the next recorder of a download of all; false when none is left.
    bool StartNextOfAll();
    void EndFetchAll();
    // A transfer's status text, led by "n/N name" while all recorders are fetched.
    std::string WithRecorder(const std::string& text) const;
    void OnAbort();
    void OnEditCopy();
    void OnEditCopyDetails();
    void OnEditSelectAll();
    void OnDownloadTitle();
    void OnUpOneLevel();
    void OnExportList();
    void OnViewType(int id);
    void OnDiscDisplay(int bit);
    void OnRecMode(int mode);
    void OnFilterToggle(bool on);
    void OnFilterEdited();
    void WaitForTransfer();
    void ShowProgress();
    void ShowSearchResults(const CSearchCondition& condition);
    void CleanCache(CLEANUP_KIND kind);
    void OnFocusChanged(QWidget* now);
    void ShowPrompt(const QString& prompt);

    CLibrovistaApp& m_app;
    CRDTitleDoc& m_doc;
    // The condition of the last quick or condition search.
    CSearchCondition m_condition;

    QSplitter* m_pMainSplitter = nullptr;
    QSplitter* m_pRightSplitter = nullptr;
    CRDTreeView* m_pTree = nullptr;
    CRDListView* m_pList = nullptr;
    CRDEditView* m_pEdit = nullptr;
    // The view that last had the keyboard focus (tree, list or description),
    // or null: copy, select-all, detail copy and F4 go to it.
    QPointer<QWidget> m_pActiveView;
    QToolBar* m_pToolBar = nullptr;
    QToolBar* m_pQuickBar = nullptr;
    QPushButton* m_pQuickButton = nullptr;
    CKeywordComboBox* m_pQuickBox = nullptr;
    CStatusPane* m_pMessagePane = nullptr;
    QString m_strMessage;  // the message pane's own text, under a prompt
    QString m_strPrompt;   // the prompt of what the pointer rests on
    std::map<int, CStatusPane*> m_aPanes;
    QLabel* m_pTransferIcon = nullptr;
    QIcon m_hIconIdle;
    QIcon m_hIconBusy;
    std::map<int, QAction*> m_aActions;

    bool m_bTransferring = false;
    int m_nLastStatus = 0;
    QTimer* m_pProgressTimer = nullptr;
    QTimer* m_pFilterTimer = nullptr;  // the list narrows once typing pauses
    std::string m_strFilterTyped;      // what the user left in the quick box
    bool m_bClosing = false;
    std::unique_ptr<CTransferListener> m_pListener;
    std::unique_ptr<CHttpThread> m_pTransferThread;
    std::unique_ptr<CFetchAllLibraries> m_pFetchAll;  // while every recorder's library is downloaded
    std::unique_ptr<CDocView> m_pReloadWatch;         // sends documentReloaded
};
