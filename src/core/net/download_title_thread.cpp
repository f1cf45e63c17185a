#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

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

// Writes the text of the page's TEXTAREA element, each line with CR LF.
class CTextAreaSink : public CHttpThread::CResponseSink {
public:
    CTextAreaSink(std::FILE* file, std::string path, std::function<void(const std::string&)> fail)
        : m_file(file), m_path(std::move(path)), m_fail(std::move(fail)) {}
    ~CTextAreaSink() override {
        if (m_file) std::fclose(m_file);
    }

    int Write(const char* data, std::size_t length) override {
        m_out.clear();
        auto r = m_extractor.Write(data, length, m_out);
        if (r == lv::net::CTextAreaExtractor::FAIL) {
            m_fail({});
            return FAIL;
        }
        if (!Put()) return FAIL;
        return r == lv::net::CTextAreaExtractor::DONE ? DONE : MORE;
    }

    bool Finish() override {
        m_out.clear();
        bool ok = m_extractor.Finish(m_out);
        if (!ok) m_fail({});
        ok = ok && Put();
        std::FILE* f = m_file;
        m_file = nullptr;
        if (std::fclose(f) != 0 && ok) {
            m_fail(m_path);
            return false;
        }
        return ok;
    }

private:
    bool Put() {
        if (std::fwrite(m_out.data(), 1, m_out.size(), m_file) != m_out.size()) {
            m_fail(m_path);
            return false;
        }
        return true;
    }

    std::FILE* m_file;
    std::string m_path;
    std::function<void(const std::string&)> m_fail;  // empty path: no usable element
    lv::net::CTextAreaExtractor m_extractor;
    std::string m_out;  // the text of one chunk
};

// The description goes into a temporary file that replaces the old one only
// when the page was read whole: a failure, a stop or a kill leaves the old
// description as it was.
class CReplacingSink : public CHttpThread::CResponseSink {
public:
    CReplacingSink(std::unique_ptr<CResponseSink> inner, std::string tmp, std::string path,
                   std::function<void(const std::string&)> fail)
        : m_inner(std::move(inner)), m_tmp(std::move(tmp)), m_path(std::move(path)), m_fail(std::move(fail)) {}
    ~CReplacingSink() override {
        m_inner.reset();  // closes the file first
        if (!m_tmp.empty()) lv::platform::Unlink(m_tmp);
    }

    int Write(const char* data, std::size_t length) override { return m_inner->Write(data, length); }

    bool Finish() override {
        if (!m_inner->Finish()) return false;
        if (!lv::CommitFile(m_tmp, m_path)) {
            m_fail(m_path);
            return false;
        }
        m_tmp.clear();
        return true;
    }

private:
    std::unique_ptr<CResponseSink> m_inner;
    std::string m_tmp;  // empty once it has become the description
    std::string m_path;
    std::function<void(const std::string&)> m_fail;
};

}  // namespace

std::unique_ptr<CHttpThread::CResponseSink> CDownloadTitleThread::ReadResponse(const std::string& destination) {
    // Named as the library download's temporary files, so the same clean-ups find it.
    const std::u8string folder = lv::platform::FsPath(destination).parent_path().u8string() + u8"/";
    std::string tmp = lv::CreateTempFile(std::string(folder.begin(), folder.end()) + lv::kTransferTempPrefix);
    std::FILE* f = tmp.empty() ? nullptr : CreateOutputFile(tmp);
    if (!f) {
        if (!tmp.empty()) lv::platform::Unlink(tmp);
        SetFileErrorText(destination);
        return nullptr;
    }
    auto fail = [this](const std::string& path) {
        if (path.empty())
            SetErrorText(lv::msg::DescriptionFailed());
        else
            SetFileErrorText(path);
    };
    auto inner = std::make_unique<CTextAreaSink>(f, destination, fail);
    return std::make_unique<CReplacingSink>(std::move(inner), std::move(tmp), destination, fail);
}

bool CDownloadTitleThread::DoTransfer() {
    const auto started = std::filesystem::file_time_type::clock::now();
    std::error_code ec;
    std::filesystem::create_directories(lv::platform::FsPath(m_strCacheFolder),
                                        ec);  // a failure shows when a file is made
    int item = 0;
    for (auto& title : m_aTitles) {
        SetCurrentItem(++item);
        title->m_strPath = DescriptionPath(m_strCacheFolder, title->m_strTextFile);
        std::string page = "/library/" + lv::net::EscapePageName(title->m_strPage);
        bool ok = true;
        if (m_nModelClass == 2) {
            ok = Fetch(page, title->m_strPath.c_str());
        } else if (m_nModelClass == 3) {
            ok = Fetch(page, nullptr) && Fetch(kDetailsPath, title->m_strPath.c_str());
        }
        if (!ok) return false;
    }
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
