// Starting, showing and finishing the transfers with a recorder.
#include <QMetaObject>
#include <QPointer>

#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/edit_view.h"
#include "app/shell/main_frame.h"
#include "app/shell/message_box.h"
#include "app/shell/qcodec.h"
#include "core/library/title_doc.h"
#include "core/net/http_thread.h"
#include "core/text/messages.h"

namespace {

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
    m_bTransferring = true;
    m_pTransferThread->Start();
    UpdateCommandUI();
}

void CMainFrame::StartTitleDownload(const std::vector<TITLEINFO>& titles) {
    if (m_pTransferThread) return;
    if (!m_pListener) m_pListener = std::make_unique<CFrameListener>(this);
    auto thread = std::make_unique<CDownloadTitleThread>(m_app.m_pszAppDir, ProxyFromSettings(m_app.m_settings),
                                                         m_pListener.get());
    // Only the leading titles of one recorder are fetched.
    for (const TITLEINFO& info : titles) {
        const std::string recorder = info.pszRDName ? info.pszRDName : "";
        if (thread->m_strRecorderName.empty())
            thread->m_strRecorderName = recorder;
        else if (recorder != thread->m_strRecorderName)
            break;
        auto request = std::make_unique<CDownloadTitle>();
        request->m_strPage = info.apszField[TF_PAGE] ? info.apszField[TF_PAGE] : "";
        request->m_strTextFile = info.apszField[TF_TEXTFILE] ? info.apszField[TF_TEXTFILE] : "";
        thread->m_aTitles.push_back(std::move(request));
    }
    m_pTransferThread = std::move(thread);
    m_bTransferring = true;
    m_pTransferThread->Start();
    UpdateCommandUI();
}

void CMainFrame::OnAbort() {
    if (m_pTransferThread) m_pTransferThread->Abort();
}

void CMainFrame::WaitForTransfer() {
    if (m_pTransferThread) m_pTransferThread->Wait();
}

void CMainFrame::OnTransferStatus(int status) {
    if (m_bClosing) return;
    switch (status) {
    case TRANSFER_CONNECTING:
        SetStatusIcon(true);
        SetPaneText(lv::app::ID_PANE_TRANSFER, lv::app::ToQ(lv::msg::StatusConnecting()));
        return;
    case TRANSFER_RECEIVING: SetPaneText(lv::app::ID_PANE_TRANSFER, lv::app::ToQ(lv::msg::StatusReceiving())); return;
    case TRANSFER_RECEIVED: SetPaneText(lv::app::ID_PANE_TRANSFER, lv::app::ToQ(lv::msg::StatusReceived())); return;
    case TRANSFER_FINISHED: break;
    default: return;
    }

    SetPaneText(lv::app::ID_PANE_TRANSFER, QString());
    SetStatusIcon(false);
    if (!m_pTransferThread) return;
    // The finishing status is the worker's last act; joining is short.
    m_pTransferThread->Wait();
    const bool success = m_pTransferThread->GetExitCode() == 0;
    if (!success) {
        const std::string error = m_pTransferThread->GetErrorText();
        if (!error.empty()) CMessageBox::Show(this, lv::app::ToQ(error), QMessageBox::Warning, QMessageBox::Ok);
    } else if (auto* titles = dynamic_cast<CDownloadTitleThread*>(m_pTransferThread.get())) {
        if (!titles->m_aTitles.empty()) {
            m_doc.LoadDescription(titles->m_aTitles.back()->m_strPath);
            if (m_pEdit) GetEditView()->Refresh();
        }
    } else if (dynamic_cast<CDownloadLibraryThread*>(m_pTransferThread.get())) {
        m_doc.ReloadFromOwnPath();
        m_doc.UpdateAllViews(nullptr, 0, nullptr);
    }
    m_pTransferThread.reset();
    m_bTransferring = false;
    UpdateCommandUI();
    emit transferEnded(success);
}
