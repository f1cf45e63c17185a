#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "core/ini/atomic_file.h"
#include "core/library/description_path.h"
#include "core/library/records.h"
#include "core/net/http_thread.h"
#include "core/net/request_path.h"
#include "core/net/textarea.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace {

constexpr char kDetailsPath[] = "/library/tt_info.htm";

// The text of a page's TEXTAREA element, each line with CR LF, goes into a
// temporary file that joins the transfer's batch only when the page was read
// whole: a failure, a stop or a kill leaves the old description as it was. A
// short text is held and written at the end, and not at all when the
// description already holds it; a long one goes on into the file as it comes.
class CDescriptionSink : public CHttpThread::CResponseSink {
public:
    struct Hooks {
        std::function<void(std::string tmp)> keep;     // the finished temporary joins the batch
        std::function<bool()> commitDue;               // the batch goes in place when due
        std::function<void(const std::string&)> fail;  // empty path: no usable element
    };
    CDescriptionSink(std::string path, std::string stem, Hooks hooks)
        : m_path(std::move(path)), m_stem(std::move(stem)), m_hooks(std::move(hooks)) {}
    ~CDescriptionSink() override {
        if (m_file) std::fclose(m_file);
        if (!m_tmp.empty()) lv::platform::Unlink(m_tmp);
    }

    // A slow page does not hold back the pages read before it.
    int Write(const char* data, std::size_t length) override {
        if (!m_hooks.commitDue()) return FAIL;
        auto r = m_extractor.Write(data, length, m_text);
        if (r == lv::net::CTextAreaExtractor::FAIL) {
            m_hooks.fail({});
            return FAIL;
        }
        if (m_text.size() > kHeldBytes && !Put()) return FAIL;
        return r == lv::net::CTextAreaExtractor::DONE ? DONE : MORE;
    }

    bool Finish() override {
        if (!m_extractor.Finish(m_text)) {
            m_hooks.fail({});
            return false;
        }
        // Named now, as a rename over it would be refused later.
        if (lv::RefuseSpecialFile(m_path, nullptr)) return Fail();
        if (m_file) {
            const bool put = Put();
            std::FILE* f = std::exchange(m_file, nullptr);
            if (std::fclose(f) != 0 || !put) return Fail();
        } else if (lv::HoldsBytes(m_path, m_text)) {
            return true;
        } else if ((m_tmp = lv::WriteTempFile(m_stem, m_text)).empty()) {
            return Fail();
        }
        m_hooks.keep(std::exchange(m_tmp, std::string()));
        return true;
    }

private:
    static constexpr std::size_t kHeldBytes = 64 * 1024;

    bool Fail() {
        m_hooks.fail(m_path);
        return false;
    }
    // The text so far into the temporary file, made at the first call.
    bool Put() {
        if (!m_file) {
            m_tmp = lv::CreateTempFile(m_stem);
            m_file = m_tmp.empty() ? nullptr : CHttpThread::CreateOutputFile(m_tmp);
            if (!m_file) return Fail();
        }
        if (std::fwrite(m_text.data(), 1, m_text.size(), m_file) != m_text.size()) return Fail();
        m_text.clear();
        return true;
    }

    std::string m_path;
    std::string m_stem;  // of the temporary file's name
    Hooks m_hooks;
    lv::net::CTextAreaExtractor m_extractor;
    std::string m_text;           // not yet in the file
    std::FILE* m_file = nullptr;  // once the text is too long to hold
    std::string m_tmp;            // empty once it has joined the batch
};

}  // namespace

std::unique_ptr<CHttpThread::CResponseSink> CDownloadTitleThread::ReadResponse(const std::string& destination) {
    // Named as the library download's temporary files, so the same clean-ups find it.
    const std::u8string folder = lv::platform::FsPath(destination).parent_path().u8string() + u8"/";
    CDescriptionSink::Hooks hooks;
    hooks.keep = [this, destination](std::string tmp) {
        if (m_batch.Size() == 0) m_batchStarted = std::chrono::steady_clock::now();
        m_batch.Add(std::move(tmp), destination);
    };
    hooks.commitDue = [this] { return CommitPages(false); };
    hooks.fail = [this](const std::string& path) {
        if (path.empty())
            SetErrorText(lv::msg::DescriptionFailed());
        else
            SetFileErrorText(path);
    };
    return std::make_unique<CDescriptionSink>(
        destination, std::string(folder.begin(), folder.end()) + lv::kTransferTempPrefix, std::move(hooks));
}

bool CDownloadTitleThread::CommitPages(bool force, bool report) {
    if (m_batch.Size() == 0) return true;
    if (!force && m_batch.Size() < m_nBatchPages &&
        std::chrono::steady_clock::now() - m_batchStarted < std::chrono::seconds(m_nBatchSeconds))
        return true;
    std::string failed;
    if (m_batch.Commit(&failed)) return true;
    if (report) SetFileErrorText(failed);
    return false;
}

bool CDownloadTitleThread::DoTransfer() {
    const auto started = std::filesystem::file_time_type::clock::now();
    std::error_code ec;
    std::filesystem::create_directories(lv::platform::FsPath(m_strCacheFolder),
                                        ec);  // a failure shows when a file is made
    int item = 0;
    bool ok = true;
    for (auto& title : m_aTitles) {
        SetCurrentItem(++item);
        title->m_strPath = DescriptionPath(m_strCacheFolder, title->m_strTextFile);
        std::string page = "/library/" + lv::net::EscapePageName(title->m_strPage);
        if (m_nModelClass == 2) {
            ok = Fetch(page, title->m_strPath.c_str());
        } else if (m_nModelClass == 3) {
            ok = Fetch(page, nullptr) && Fetch(kDetailsPath, title->m_strPath.c_str());
        }
        if (ok) ok = CommitPages(false);
        if (!ok) break;
    }
    // Every page read whole goes in place, also at a stop or a failure, whose text stays.
    if (!CommitPages(true, ok) || !ok) return false;
    // Pages of killed transfers, as a fetch removes them.
    lv::RemoveStaleTemps(m_strCacheFolder, lv::kTransferTempPrefix, started);
    return true;
}

void CDownloadTitleThread::QueueTitles(const std::vector<TITLEINFO>& titles) {
    auto field = [](const char* text) { return std::string(text ? text : ""); };
    // Only the leading titles of one recorder: the transfer talks to one recorder.
    for (const TITLEINFO& info : titles) {
        const std::string recorder = field(info.pszRDName);
        if (m_strRecorderName.empty())
            m_strRecorderName = recorder;
        else if (recorder != m_strRecorderName)
            break;
        auto request = std::make_unique<CDownloadTitle>();
        request->m_strPage = field(info.apszField[TF_PAGE]);
        request->m_strTextFile = field(info.apszField[TF_TEXTFILE]);
        m_aTitles.push_back(std::move(request));
    }
}
