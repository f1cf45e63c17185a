#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "core/library/description_path.h"
#include "core/library/records.h"
#include "core/net/http_thread.h"
#include "core/net/request_path.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace {

constexpr char kOpenTag[] = "<TEXTAREA";
constexpr char kCloseTag[] = "</TEXTAREA>";
constexpr char kDetailsPath[] = "/library/tt_info.htm";

// Cuts the text of the page's TEXTAREA element out line by line; each line is
// written with CR LF. Only the current line is held in memory.
class CTextAreaSink : public CHttpThread::CResponseSink {
public:
    CTextAreaSink(std::FILE* file, std::string path, std::function<void(const std::string&)> fail)
        : m_file(file), m_path(std::move(path)), m_fail(std::move(fail)) {}
    ~CTextAreaSink() override {
        if (m_file) std::fclose(m_file);
    }

    int Write(const char* data, std::size_t length) override {
        m_partial.append(data, length);
        std::size_t start = 0;
        for (std::size_t nl; (nl = m_partial.find('\n', start)) != std::string::npos; start = nl + 1) {
            int r = Line(m_partial.substr(start, nl - start));
            if (r != MORE) {
                // Done or failed: nothing after this line is looked at, not even by Finish.
                m_partial.clear();
                return r;
            }
        }
        m_partial.erase(0, start);
        return MORE;
    }

    bool Finish() override {
        int r = MORE;
        if (!m_partial.empty() && !m_done) r = Line(m_partial);
        if (r == MORE && !m_done && !m_inside) {
            m_fail({});
            r = FAIL;
        }
        std::FILE* f = m_file;
        m_file = nullptr;
        if (std::fclose(f) != 0 && r != FAIL) {
            m_fail(m_path);
            return false;
        }
        return r != FAIL;
    }

private:
    int Emit(std::string_view text) {
        std::string out(text);
        out += "\r\n";
        if (std::fwrite(out.data(), 1, out.size(), m_file) != out.size()) {
            m_fail(m_path);
            return FAIL;
        }
        return MORE;
    }

    int Line(std::string line) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (m_inside) {
            std::size_t close = lv::text::Find(line, kCloseTag);
            if (close == std::string::npos) return Emit(line);
            int r = Emit(std::string_view(line).substr(0, close));
            m_done = true;
            return r == MORE ? DONE : r;
        }
        std::size_t open = lv::text::Find(line, kOpenTag);
        if (open == std::string::npos) return MORE;
        std::size_t gt = lv::text::Find(line, ">", open);
        if (gt == std::string::npos) {
            m_fail({});
            return FAIL;
        }
        m_inside = true;
        std::string_view rest = std::string_view(line).substr(gt + 1);
        std::size_t close = lv::text::Find(rest, kCloseTag);
        if (close == std::string::npos) return Emit(rest);
        int r = Emit(rest.substr(0, close));
        m_done = true;
        return r == MORE ? DONE : r;
    }

    std::FILE* m_file;
    std::string m_path;
    std::function<void(const std::string&)> m_fail;  // empty path: no usable element
    std::string m_partial;
    bool m_inside = false;
    bool m_done = false;
};

}  // namespace

std::unique_ptr<CHttpThread::CResponseSink> CDownloadTitleThread::ReadResponse(const std::string& destination) {
    std::FILE* f = std::fopen(destination.c_str(), "wb");
    if (!f) {
        SetFileErrorText(destination);
        return nullptr;
    }
    return std::make_unique<CTextAreaSink>(f, destination, [this](const std::string& path) {
        if (path.empty())
            SetErrorText(lv::msg::DescriptionFailed());
        else
            SetFileErrorText(path);
    });
}

bool CDownloadTitleThread::DoTransfer() {
    std::error_code ec;
    std::filesystem::create_directories(m_strCacheFolder, ec);  // a failure shows when a file is made
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
