#include "core/net/http_thread.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "core/ini/atomic_file.h"
#include "core/net/http_transport.h"
#include "core/platform/path.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"

namespace {

constexpr std::size_t kErrorTextLimit = 255;
// A recorder's refusal with its headers fits; a hostile server's flood does not.
constexpr std::size_t kErrorDetailLimit = 4096;

// "256 MiB": the limit as the user reads it.
std::string SizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " B";
}

// The body goes straight into the destination file.
class CFileSink : public CHttpThread::CResponseSink {
public:
    CFileSink(std::FILE* file, std::function<void()> onError) : m_file(file), m_onError(std::move(onError)) {}
    ~CFileSink() override {
        if (m_file) std::fclose(m_file);
    }
    int Write(const char* data, std::size_t length) override {
        if (std::fwrite(data, 1, length, m_file) != length) {
            m_onError();
            return FAIL;
        }
        return MORE;
    }
    bool Finish() override {
        std::FILE* f = m_file;
        m_file = nullptr;
        if (std::fclose(f) != 0) {
            m_onError();
            return false;
        }
        return true;
    }

private:
    std::FILE* m_file;
    std::function<void()> m_onError;
};

}  // namespace

const std::string& TransferStatusText(int status) {
    static const std::string none;
    switch (status) {
    case TRANSFER_CONNECTING: return lv::msg::StatusConnecting();
    // Description transfers show the library's text too.
    case TRANSFER_RECEIVING: return lv::msg::StatusReceiving();
    case TRANSFER_RECEIVED: return lv::msg::StatusReceived();
    case TRANSFER_PORT_DEFAULTED: return lv::msg::PortDefaulted();
    default: return none;
    }
}

std::string TransferProgressText(long long bytes, int current, int count) {
    std::string text = lv::msg::StatusReceiving() + " ";
    char amount[48];
    if (count > 0) {
        std::snprintf(amount, sizeof amount, "%d / %d", std::max(1, std::min(current, count)), count);
    } else if (bytes < 1024) {
        std::snprintf(amount, sizeof amount, "%lld B", std::max(0LL, bytes));
    } else if (bytes < 1024 * 1024) {
        std::snprintf(amount, sizeof amount, "%.1f KB", static_cast<double>(bytes) / 1024);
    } else {
        std::snprintf(amount, sizeof amount, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    }
    return text + amount;
}

CHttpThread::CHttpThread(std::string appDir, PROXY_SETTINGS proxy, CTransferListener* listener)
    : m_strAppDir(std::move(appDir)), m_proxy(std::move(proxy)), m_pListener(listener) {}

CHttpThread::~CHttpThread() {
    if (m_thread.joinable()) m_thread.join();
}

void CHttpThread::Start() {
    m_thread = std::thread([this] { Run(); });
}

void CHttpThread::Wait() {
    if (m_thread.joinable()) m_thread.join();
}

void CHttpThread::Run() {
    int code = 1;
    if (InitInstance()) {
        code = OnStartTransfer();
    }
    ExitInstance();
    m_nExitCode = code;
    Post(TRANSFER_FINISHED);
}

void CHttpThread::Abort() {
    m_bAbort = 1;
    SetErrorText(lv::msg::Interrupted());
}

std::string CHttpThread::GetErrorText() const {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_szErrorText;
}

std::string CHttpThread::GetErrorDetail() const {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_szErrorDetail;
}

void CHttpThread::SetErrorText(const std::string& text, const std::string& detail) {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_szErrorText = text.substr(0, lv::text::CutLength(text, kErrorTextLimit));
    m_szErrorDetail = detail.substr(0, lv::text::CutLength(detail, kErrorDetailLimit));
}

void CHttpThread::SetFileErrorText(const std::string& path) {
    // A FIFO or folder where a cache file belongs fails as ENXIO or EISDIR; named as what it is.
    const int err = errno;
    std::string why;
    SetErrorText(lv::RefuseSpecialFile(path, &why) ? why : lv::text::FileErrorText(path, err));
}

std::FILE* CHttpThread::CreateOutputFile(const std::string& path) {
#ifdef _WIN32
    return ::_wfopen(lv::platform::FsPath(path).c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

void CHttpThread::Post(int status) {
    if (m_pListener) m_pListener->OnTransferStatus(status);
}

int CHttpThread::OnStartTransfer() {
    int code = 1;
    if (Connect(m_strRecorderName)) code = DoTransfer() ? 0 : 1;
    return code;
}

bool CHttpThread::Connect(const std::string& name) {
    Post(TRANSFER_CONNECTING);
    CNetNaviSetting setting(m_strAppDir);
    if (!setting.SetName(name) || !setting.Load()) return false;
    // An unreadable profile leaves no host to try: its reason is the failure.
    if (!setting.GetErrorText().empty()) {
        SetErrorText(setting.GetErrorText());
        return false;
    }
    if (setting.IsPortDefaulted()) Post(TRANSFER_PORT_DEFAULTED);
    m_nModelClass = setting.GetModelClass();
    m_strModel = setting.GetModel();
    m_strLibraryPath = setting.GetLibraryPath();
    m_strDiscPath = setting.GetDiscPath();
    m_strCacheFolder = setting.GetCacheFolder();
    // Credentials go to the client only when security is on, whatever the profile holds.
    const std::string user = setting.GetUser();
    const std::string password = setting.GetPassword();
    const bool auth = setting.GetAuth() != 0;
    return OpenConnection(setting.GetHost(), setting.GetPort() & 0xFFFF, auth ? user.c_str() : nullptr,
                          auth ? password.c_str() : nullptr);
}

std::unique_ptr<CHttpThread::CResponseSink> CHttpThread::ReadResponse(const std::string& destination) {
    std::FILE* f = CreateOutputFile(destination);
    if (!f) {
        SetFileErrorText(destination);
        return nullptr;
    }
    return std::make_unique<CFileSink>(f, [this, destination] { SetFileErrorText(destination); });
}

bool CHttpThread::Fetch(const std::string& objectPath, const char* destination) {
    if (Aborted()) return false;
    CRequest request(*this, destination);
    const bool exchanged = Send(objectPath, request);
    return request.End(exchanged);
}

bool CHttpThread::CRequest::OnHeaders(long status, std::string headers) {
    m_status = status;
    m_headers = std::move(headers);
    m_headersDone = true;
    if (!WantsBody() || m_receiving) return true;
    m_receiving = true;
    m_thread.Post(TRANSFER_RECEIVING);
    m_sink = m_thread.ReadResponse(m_destination);
    if (!m_sink) {
        m_failed = true;
        return false;
    }
    return true;
}

int CHttpThread::CRequest::OnBody(const char* data, std::size_t length) {
    // Only the status was wanted, or the answer is an error: read no further.
    if (!WantsBody() || !m_sink) return DONE;
    if (m_thread.Aborted()) {
        m_failed = true;  // the stop's text stays
        return FAIL;
    }
    if (length == 0) return MORE;
    m_bodyBytes += length;
    if (m_bodyBytes > m_thread.m_nMaxBodyBytes) {
        std::string text = lv::msg::TooLarge();
        text.replace(text.find("%s"), 2, SizeText(m_thread.m_nMaxBodyBytes));
        m_thread.SetErrorText(text);
        m_failed = true;
        return FAIL;
    }
    if (m_firstChunk) {
        m_firstChunk = false;
        if (!m_thread.CheckFirstChunk(data, length)) {
            m_failed = true;
            return FAIL;
        }
    }
    m_thread.m_nBytesReceived += static_cast<long long>(length);
    const int r = m_sink->Write(data, length);
    if (r == FAIL) m_failed = true;
    return r;
}

bool CHttpThread::CRequest::End(bool exchanged) {
    std::unique_ptr<CResponseSink> sink = std::move(m_sink);
    bool ok = false;
    if (!exchanged) {
        // The text is the transport's or the request's own.
    } else if (m_status == 401) {
        // A refused login says what to check; the status line follows.
        const std::string statusLine = m_headers.substr(0, m_headers.find_first_of("\r\n"));
        m_thread.SetErrorText(lv::msg::ErrAuthFailed() + "\n" + statusLine, m_headers);
    } else if (m_status != 200) {
        m_thread.SetErrorText(m_headers.empty() ? lv::msg::UnknownError() : m_headers, m_headers);
    } else if (!m_destination) {
        ok = true;
    } else {
        if (!m_receiving) {
            // A 200 without a header block cannot happen with a real server;
            // still give the body a file.
            m_thread.Post(TRANSFER_RECEIVING);
            m_receiving = true;
            sink = m_thread.ReadResponse(m_destination);
        }
        ok = sink && sink->Finish();
    }
    if (m_receiving) {
        // A failed read closes its file as it stands; the body is not finished.
        sink.reset();
        m_thread.Post(TRANSFER_RECEIVED);
    }
    return ok;
}
