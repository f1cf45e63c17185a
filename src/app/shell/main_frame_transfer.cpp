// Starting, showing and finishing the transfers with a recorder.
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include "app/dialogs/message_box.h"
#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/shell/qcodec.h"
#include "app/views/edit_view.h"
#include "app/views/list_view.h"
#include "core/library/new_titles.h"
#include "core/library/title_doc.h"
#include "core/net/fetch_all.h"
#include "core/net/http_thread.h"

namespace {

constexpr int kProgressIntervalMs = 250;

// Called on the worker thread: every status becomes a queued call on the window's thread.
class CFrameListener : public CTransferListener {
public:
    explicit CFrameListener(CMainFrame* frame) : m_pFrame(frame) {}
    void OnTransferStatus(int status) override {
        CMainFrame* frame = m_pFrame;
        QMetaObject::invokeMethod(
            frame, [frame, status] { frame->OnTransferStatus(status); }, Qt::QueuedConnection);
    }

private:
    CMainFrame* m_pFrame;
};

}  // namespace

void CMainFrame::OnDownloadLibrary() {
    if (m_pTransferThread) return;
    if (!m_pListener) m_pListener = std::make_unique<CFrameListener>(this);
    auto thread = std::make_unique<CDownloadLibraryThread>(m_app.m_pszAppDir, ProxyFromSettings(m_app.m_settings),
                                                           m_pListener.get());
    thread->m_strRecorderName = m_doc.GetCurrentRecorder();
    m_pTransferThread = std::move(thread);
    SetTransferring(true);
    m_pTransferThread->Start();
}

void CMainFrame::OnDownloadAllLibraries() {
    if (m_pTransferThread) return;
    if (!m_pListener) m_pListener = std::make_unique<CFrameListener>(this);
    m_pFetchAll = std::make_unique<CFetchAllLibraries>(m_doc);
    SetTransferring(true);
    if (!StartNextOfAll()) EndFetchAll();
}

bool CMainFrame::StartNextOfAll() {
    std::unique_ptr<CDownloadLibraryThread> thread =
        m_pFetchAll->Next(m_app.m_pszAppDir, ProxyFromSettings(m_app.m_settings), m_pListener.get());
    if (!thread) return false;
    m_pTransferThread = std::move(thread);
    m_nLastStatus = 0;
    m_pTransferThread->Start();
    return true;
}

// One reload for all recorders, then one message for all failures.
void CMainFrame::EndFetchAll() {
    const std::unique_ptr<CFetchAllLibraries> all = std::move(m_pFetchAll);
    if (all->AnySucceeded()) {
        m_doc.ReloadFromOwnPath();
        m_doc.UpdateAllViews(nullptr, 0, nullptr);
    }
    SetTransferring(false);
    if (all->AnySucceeded()) SetPaneText(lv::app::ID_PANE_TRANSFER, lv::app::ToQ(all->NewsText()));
    const std::string summary = all->SummaryText();
    if (!summary.empty()) CMessageBox::Show(this, lv::app::ToQ(summary), QMessageBox::Warning, QMessageBox::Ok);
    emit transferEnded(all->Failures().empty());
}

void CMainFrame::StartTitleDownload(const std::vector<TITLEINFO>& titles) {
    if (m_pTransferThread) return;
    if (!m_pListener) m_pListener = std::make_unique<CFrameListener>(this);
    auto thread = std::make_unique<CDownloadTitleThread>(m_app.m_pszAppDir, ProxyFromSettings(m_app.m_settings),
                                                         m_pListener.get());
    thread->QueueTitles(titles);
    m_pTransferThread = std::move(thread);
    SetTransferring(true);
    m_pTransferThread->Start();
}

void CMainFrame::SetTransferring(bool busy) {
    m_bTransferring = busy;
    m_nLastStatus = 0;
    // While a body arrives the pane shows how much has come.
    if (!m_pProgressTimer) {
        m_pProgressTimer = new QTimer(this);
        m_pProgressTimer->setInterval(kProgressIntervalMs);
        connect(m_pProgressTimer, &QTimer::timeout, this, &CMainFrame::ShowProgress);
    }
    if (busy)
        m_pProgressTimer->start();
    else
        m_pProgressTimer->stop();
    m_pList->SetTransferring(busy);
    UpdateCommandUI();
}

void CMainFrame::OnAbort() {
    if (m_pFetchAll) m_pFetchAll->Stop();
    if (m_pTransferThread) m_pTransferThread->Abort();
}

void CMainFrame::WaitForTransfer() {
    if (m_pTransferThread) m_pTransferThread->Wait();
}

void CMainFrame::OnTransferStatus(int status) {
    if (m_bClosing || status < TRANSFER_CONNECTING || status > TRANSFER_PORT_DEFAULTED) return;
    if (status == TRANSFER_CONNECTING) SetStatusIcon(true);
    m_nLastStatus = status;
    SetPaneText(lv::app::ID_PANE_TRANSFER, lv::app::ToQ(WithRecorder(TransferStatusText(status))));
    // Each description starts with this status: its number shows at once.
    if (status == TRANSFER_RECEIVING && m_pTransferThread && m_pTransferThread->GetItemCount() > 0) ShowProgress();
    if (status == TRANSFER_FINISHED) EndTransfer();
}

void CMainFrame::ShowProgress() {
    if (!m_pTransferThread || m_bClosing || m_nLastStatus != TRANSFER_RECEIVING) return;
    const CHttpThread& t = *m_pTransferThread;
    SetPaneText(
        lv::app::ID_PANE_TRANSFER,
        lv::app::ToQ(WithRecorder(TransferProgressText(t.GetBytesReceived(), t.GetCurrentItem(), t.GetItemCount()))));
}

std::string CMainFrame::WithRecorder(const std::string& text) const {
    return m_pFetchAll ? m_pFetchAll->StatusText(text) : text;
}

void CMainFrame::EndTransfer() {
    SetStatusIcon(false);
    if (!m_pTransferThread) return;
    // The finishing status is the worker's last act; joining is short.
    m_pTransferThread->Wait();
    const bool success = m_pTransferThread->GetExitCode() == 0;
    if (m_pFetchAll) {
        // A failed recorder keeps its cache; the others go on.
        m_pFetchAll->Finished(static_cast<const CDownloadLibraryThread&>(*m_pTransferThread));
        m_pTransferThread.reset();
        if (!StartNextOfAll()) EndFetchAll();
        return;
    }
    std::string news;
    if (!success) {
        const std::string error = m_pTransferThread->GetErrorText();
        if (!error.empty()) CMessageBox::Show(this, lv::app::ToQ(error), QMessageBox::Warning, QMessageBox::Ok);
    } else if (auto* titles = dynamic_cast<CDownloadTitleThread*>(m_pTransferThread.get())) {
        if (!titles->m_aTitles.empty()) {
            m_doc.LoadDescription(titles->m_aTitles.back()->m_strPath);
            if (m_pEdit) GetEditView()->Refresh();
        }
    } else if (auto* library = dynamic_cast<CDownloadLibraryThread*>(m_pTransferThread.get())) {
        news = library->GetNewsText();
        m_doc.ReloadFromOwnPath();
        m_doc.UpdateAllViews(nullptr, 0, nullptr);
    }
    m_pTransferThread.reset();
    SetTransferring(false);
    if (!news.empty()) SetPaneText(lv::app::ID_PANE_TRANSFER, lv::app::ToQ(news));
    emit transferEnded(success);
}
