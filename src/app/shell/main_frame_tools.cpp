// The user's tools in the window: quick and condition search, the cache
// clean-ups, the recorder profiles and the options.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "app/dialogs/file_dialog.h"
#include "app/dialogs/message_box.h"
#include "app/search/keyword_combo.h"
#include "app/search/search_dialog.h"
#include "app/settings/netnavi_dialog.h"
#include "app/settings/prop_page_proxy.h"
#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/shell/qcodec.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "core/shell/cache_cleanup.h"
#include "core/views/list_export.h"

using lv::app::ToQ;

// The tree's search-results node takes the condition and is selected anew,
// so that the search always runs.
void CMainFrame::ShowSearchResults(const CSearchCondition& condition) {
    SEARCHCONDITION flat;
    condition.GetCondition(flat);
    m_pTree->SetSearchCondition(flat);
    m_pTree->ShowSearchResults();
}

void CMainFrame::OnQuickSearch() {
    // Typing not yet applied narrows now, so that it is not applied to the results later.
    if (m_pFilterTimer->isActive()) {
        m_pFilterTimer->stop();
        m_pList->SetFilterText(m_strFilterTyped);
    }
    const std::string keyword = m_pQuickBox->GetText();
    if (keyword.empty()) {
        m_pQuickBox->setFocus();
        return;
    }
    m_pQuickBox->AddKeyword(keyword);
    // The box shows the entry the prefix search finds; the search uses the typed text.
    const int found = m_pQuickBox->FindStringPrefix(0, keyword);
    if (found >= 0) m_pQuickBox->setCurrentIndex(found);
    m_pQuickBox->SaveHistory();
    const SEARCHCONDITION flat{SC_DVD_TITLES | SC_TEXT, "", "", keyword.c_str(), "", "", 0};
    m_condition.SetCondition(flat);
    ShowSearchResults(m_condition);
}

void CMainFrame::OnSearch() {
    CSearchDialog dialog(m_app.m_pszAppDir, this);
    dialog.m_pCondition = &m_condition;
    dialog.m_pDoc = &m_doc;
    dialog.m_pImageList = &m_app.m_images;
    if (dialog.exec() != QDialog::Accepted) return;
    ShowSearchResults(m_condition);
}

void CMainFrame::CleanCache(CLEANUP_KIND kind) {
    const std::string recorder = m_doc.GetCurrentRecorder();
    const QString question = ToQ(CleanupQuestion(kind, recorder));
    if (CMessageBox::Show(this, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    CLEANUPRESULT result;
    switch (kind) {
    case CLEANUP_LIBRARY: result = DeleteLibraryCache(m_app.m_pszAppDir, recorder); break;
    case CLEANUP_UNUSED_DESCRIPTIONS: result = DeleteUnusedDescriptions(m_doc, m_app.m_pszAppDir, recorder); break;
    case CLEANUP_ALL_DESCRIPTIONS: result = DeleteAllDescriptions(m_app.m_pszAppDir, recorder); break;
    }
    // A file that could not be deleted ends the command there.
    if (result.bFailed) {
        CMessageBox::Show(this, ToQ(result.strError), QMessageBox::Critical, QMessageBox::Ok);
        return;
    }
    CMessageBox::Show(this, ToQ(CleanupResultText(result.nCount)), QMessageBox::NoIcon, QMessageBox::Ok);
    if (kind == CLEANUP_LIBRARY) {
        m_doc.ReloadFromOwnPath();
        m_doc.UpdateAllViews(nullptr, 0, nullptr);
    }
    UpdateCommandUI();
}

void CMainFrame::OnDeleteLibraryCache() {
    if (!m_bTransferring && !m_doc.GetCurrentRecorder().empty()) CleanCache(CLEANUP_LIBRARY);
}

void CMainFrame::OnDeleteUnusedDescriptions() {
    if (!m_bTransferring && !m_doc.GetCurrentRecorder().empty()) CleanCache(CLEANUP_UNUSED_DESCRIPTIONS);
}

void CMainFrame::OnDeleteAllDescriptions() {
    if (!m_bTransferring && !m_doc.GetCurrentRecorder().empty()) CleanCache(CLEANUP_ALL_DESCRIPTIONS);
}

void CMainFrame::OnNetNaviSetting() {
    if (m_bTransferring) return;
    CNetNaviListDialog dialog(m_app.m_pszAppDir, this);
    dialog.m_pDoc = &m_doc;
    dialog.exec();
    UpdateCommandUI();
}

void CMainFrame::OnOptions() {
    CPropertySheet sheet(QStringLiteral("オプション"), this);
    sheet.AddPage(new CPropPageProxy(m_app.m_settings), QStringLiteral("ﾌﾟﾛｷｼ設定"));
    sheet.exec();
}

// The list as shown goes to a file; the filter chooses the format unless the
// name's extension names another.
void CMainFrame::OnExportList() {
    static const EXPORT_FORMAT kFormats[] = {EXPORT_CSV_UTF8, EXPORT_CSV_CP932, EXPORT_HTML, EXPORT_JSON};
    const QStringList filters{QStringLiteral("CSV UTF-8 (*.csv)"), QStringLiteral("CSV ｼﾌﾄJIS (*.csv)"),
                              QStringLiteral("HTML (*.html *.htm)"), QStringLiteral("JSON (*.json)")};
    const LIST_EXPORT list = m_pList->GetExport();
    if (list.rows.empty()) return;
    int filter = 0;
    const QString chosen =
        CFileDialog::GetSaveFileName(this, QStringLiteral("一覧のｴｸｽﾎﾟｰﾄ"),
                                     QDir::home().filePath(QStringLiteral("librovista.csv")), filters, filter);
    if (chosen.isEmpty()) return;
    const EXPORT_FORMAT picked = filter >= 0 && filter < filters.size() ? kFormats[filter] : EXPORT_CSV_UTF8;
    const std::string path = QFile::encodeName(chosen).toStdString();
    const EXPORT_FORMAT format = ExportFormatFor(path, picked);
    std::string error;
    if (!ExportListToFile(list, format, WithExportExtension(path, format), error))
        CMessageBox::Show(this, ToQ(error), QMessageBox::Critical);
}
