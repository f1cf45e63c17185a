#pragma once
// The libraries of every recorder of a document, one after another. The
// window and the command-line tool each run a transfer their own way and hand
// it back here when it has ended; the order, the stop, the failures kept and
// the texts shown are decided here once.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/http_thread.h"

class CRDTitleDoc;

class CFetchAllLibraries {
public:
    struct FAILURE {
        std::string strRecorder;
        std::string strError;  // may be empty (a profile that no longer loads)
    };

    // In the document's order; a name listed twice is fetched once, as a
    // second download would find nothing new and forget what the first found.
    explicit CFetchAllLibraries(const CRDTitleDoc& doc);

    // The next recorder's transfer, not started yet; null once every recorder
    // has had its turn or after Stop.
    std::unique_ptr<CDownloadLibraryThread> Next(const std::string& appDir, const PROXY_SETTINGS& proxy,
                                                 CTransferListener* listener);
    // The transfer that Next gave has ended (its thread joined).
    void Finished(const CDownloadLibraryThread& thread);
    // No further recorder starts; the running transfer is the caller's to abort.
    void Stop() { m_bStopped = true; }

    // "n/N name" and the transfer's own text; empty for an empty text.
    std::string StatusText(std::string_view text) const;

    const std::vector<FAILURE>& Failures() const { return m_aFailures; }
    bool AnySucceeded() const { return m_nSucceeded > 0; }
    // Summed over the recorders that succeeded and saved their news.
    int GetNewCount() const { return m_nNew; }
    int GetRemovedCount() const { return m_nRemoved; }
    // The counts, then each recorder whose news could not be saved, with why.
    std::string NewsText() const;
    // The recorders that failed, each with its error text; empty when none did.
    std::string SummaryText() const;

private:
    std::vector<std::string> m_aNames;
    std::size_t m_nNext = 0;  // how many have been handed out
    bool m_bStopped = false;
    int m_nSucceeded = 0;
    int m_nNew = 0;
    int m_nRemoved = 0;
    std::vector<FAILURE> m_aFailures;
    std::vector<FAILURE> m_aNewsFailures;
};
