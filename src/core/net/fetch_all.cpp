#include "core/net/fetch_all.h"

#include <algorithm>

#include "core/library/new_titles.h"
#include "core/library/title_doc.h"
#include "core/text/messages.h"

CFetchAllLibraries::CFetchAllLibraries(const CRDTitleDoc& doc) {
    for (const auto& recorder : doc.GetRecorders())
        if (std::find(m_aNames.begin(), m_aNames.end(), recorder->GetName()) == m_aNames.end())
            m_aNames.push_back(recorder->GetName());
}

std::unique_ptr<CDownloadLibraryThread> CFetchAllLibraries::Next(const std::string& appDir, const PROXY_SETTINGS& proxy,
                                                                 CTransferListener* listener) {
    if (m_bStopped || m_nNext >= m_aNames.size()) return nullptr;
    auto thread = std::make_unique<CDownloadLibraryThread>(appDir, proxy, listener);
    thread->m_strRecorderName = m_aNames[m_nNext++];
    return thread;
}

void CFetchAllLibraries::Finished(const CDownloadLibraryThread& thread) {
    if (thread.GetExitCode() == 0) {
        ++m_nSucceeded;
        if (!thread.GetNewsError().empty()) {
            m_aNewsFailures.push_back({thread.m_strRecorderName, thread.GetNewsError()});
            return;
        }
        m_nNew += thread.GetNewCount();
        m_nRemoved += thread.GetRemovedCount();
    } else {
        m_aFailures.push_back({thread.m_strRecorderName, thread.GetErrorText()});
    }
}

std::string CFetchAllLibraries::StatusText(std::string_view text) const {
    if (text.empty() || m_nNext == 0) return std::string(text);
    return std::to_string(m_nNext) + "/" + std::to_string(m_aNames.size()) + " " + m_aNames[m_nNext - 1] + " " +
           std::string(text);
}

std::string CFetchAllLibraries::NewsText() const {
    std::string text = NewsStatusText(m_nNew, m_nRemoved);
    for (const FAILURE& f : m_aNewsFailures) text += "\n" + f.strRecorder + ": " + f.strError;
    return text;
}

std::string CFetchAllLibraries::SummaryText() const {
    if (m_aFailures.empty()) return {};
    std::string text = lv::msg::FetchAllFailed();
    for (const FAILURE& f : m_aFailures) {
        text += "\n\n" + f.strRecorder;
        std::string error = f.strError;
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r')) error.pop_back();
        if (!error.empty()) text += "\n" + error;
    }
    return text;
}
