#include "core/net/http_thread.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "core/net/error_text.h"
#include "core/net/request_path.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"

namespace {

constexpr std::size_t kErrorTextLimit = 255;
constexpr long kChunk = 4096;
// A recorder's header block is a few hundred bytes; far more is no answer of one.
constexpr std::size_t kMaxHeaderBytes = 256 * 1024;

// "256 MiB": the limit as the user reads it.
std::string SizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " B";
}

void GlobalInit() {
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
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

// The client gives up on a header line too long to hold; that is a malformed
// answer, not a shortage of memory.
bool IsHeaderTooLarge(CURLcode rc) {
#if LIBCURL_VERSION_NUM >= 0x080600
    if (rc == CURLE_TOO_LARGE) return true;
#endif
    return rc == CURLE_OUT_OF_MEMORY;
}

}  // namespace

struct CHttpThread::Impl {
    CURL* curl = nullptr;
    std::string base;  // scheme, host and port
    char errbuf[CURL_ERROR_SIZE] = {};

    // State of the request under way.
    std::string headers;  // raw headers of the last response, CR LF separated
    long status = 0;
    bool headersDone = false;
    bool firstChunk = true;
    bool sinkDone = false;  // the sink wanted no more of the body
    bool sinkFailed = false;
    bool stoppedAfterStatus = false;
    bool receiving = false;     // TRANSFER_RECEIVING posted, the body goes to the sink
    bool createFailed = false;  // the destination could not be created
    bool badResponse = false;   // the header block is no HTTP answer a recorder gives
    std::size_t headerBytes = 0;
    std::uint64_t bodyBytes = 0;
    const char* destination = nullptr;
    std::unique_ptr<CHttpThread::CResponseSink> sink;
};

const std::string& TransferStatusText(int status) {
    static const std::string none;
    switch (status) {
    case TRANSFER_CONNECTING: return lv::msg::StatusConnecting();
    // Description transfers show the library's text too.
    case TRANSFER_RECEIVING: return lv::msg::StatusReceiving();
    case TRANSFER_RECEIVED: return lv::msg::StatusReceived();
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
    : m_strAppDir(std::move(appDir)),
      m_pImpl(std::make_unique<Impl>()),
      m_proxy(std::move(proxy)),
      m_pListener(listener) {}

CHttpThread::~CHttpThread() {
    if (m_thread.joinable()) m_thread.join();
    if (m_pImpl->curl) curl_easy_cleanup(m_pImpl->curl);
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

void CHttpThread::SetErrorText(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_szErrorText = text.substr(0, lv::text::CutLength(text, kErrorTextLimit));
}

void CHttpThread::SetFileErrorText(const std::string& path) { SetErrorText(lv::text::FileErrorText(path, errno)); }

void CHttpThread::Post(int status) {
    if (m_pListener) m_pListener->OnTransferStatus(status);
}

bool CHttpThread::InitInstance() {
    GlobalInit();
    CURL* c = curl_easy_init();
    if (!c) {
        SetErrorText(curl_easy_strerror(CURLE_FAILED_INIT));
        return false;
    }
    m_pImpl->curl = c;
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Librovista");
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_pImpl->errbuf);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kChunk);
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    // A recorder that stops answering must not hold the transfer forever.
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, m_nStallSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, m_nMinBytesPerSecond);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, m_nStallSeconds);
    // The proxy choice is read once, when the transfer starts.
    if (m_proxy.bUseIE) {
        // The system's configuration: the proxy environment of the session.
    } else if (!m_proxy.bEnable) {
        curl_easy_setopt(c, CURLOPT_PROXY, "");
    } else {
        std::string proxy = m_proxy.strHost + ":" + std::to_string(m_proxy.nPort);
        curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(c, CURLOPT_NOPROXY, "");
    }
    return true;
}

int CHttpThread::OnStartTransfer() {
    int code = 1;
    if (Connect(m_strRecorderName)) code = DoTransfer() ? 0 : 1;
    return code;
}

void CHttpThread::ExitInstance() {
    if (m_pImpl->curl) {
        curl_easy_cleanup(m_pImpl->curl);
        m_pImpl->curl = nullptr;
    }
}

bool CHttpThread::Connect(const std::string& name) {
    Post(TRANSFER_CONNECTING);
    CNetNaviSetting setting(m_strAppDir);
    if (!setting.SetName(name) || !setting.Load()) return false;
    m_nModelClass = setting.GetModelClass();
    m_strModel = setting.GetModel();
    m_strLibraryPath = setting.GetLibraryPath();
    m_strDiscPath = setting.GetDiscPath();
    m_strCacheFolder = setting.GetCacheFolder();

    // The host goes through the URL parser on its own, so that a hand-edited
    // host cannot smuggle a user, path or another port into the address.
    CURLU* url = curl_url();
    CURLUcode rc = curl_url_set(url, CURLUPART_SCHEME, "http", 0);
    if (!rc) rc = curl_url_set(url, CURLUPART_HOST, setting.GetHost().c_str(), 0);
    if (!rc) rc = curl_url_set(url, CURLUPART_PORT, std::to_string(setting.GetPort() & 0xFFFF).c_str(), 0);
    char* text = nullptr;
    if (!rc) rc = curl_url_get(url, CURLUPART_URL, &text, 0);
    if (rc) {
        SetErrorText(curl_url_strerror(rc));
        curl_url_cleanup(url);
        return false;
    }
    m_pImpl->base = text;
    if (!m_pImpl->base.empty() && m_pImpl->base.back() == '/') m_pImpl->base.pop_back();
    curl_free(text);
    curl_url_cleanup(url);

    CURL* c = m_pImpl->curl;
    if (setting.GetAuth()) {
        curl_easy_setopt(c, CURLOPT_HTTPAUTH, CURLAUTH_BASIC | CURLAUTH_DIGEST);
        curl_easy_setopt(c, CURLOPT_USERNAME, setting.GetUser().c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, setting.GetPassword().c_str());
    }
    return true;
}

std::unique_ptr<CHttpThread::CResponseSink> CHttpThread::ReadResponse(const std::string& destination) {
    std::FILE* f = std::fopen(destination.c_str(), "wb");
    if (!f) {
        SetFileErrorText(destination);
        return nullptr;
    }
    return std::make_unique<CFileSink>(f, [this, destination] { SetFileErrorText(destination); });
}

bool CHttpThread::Fetch(const std::string& objectPath, const char* destination) {
    if (Aborted()) return false;
    Impl& im = *m_pImpl;
    CURL* c = im.curl;
    if (!c) return false;
    im.headers.clear();
    im.status = 0;
    im.headersDone = false;
    im.firstChunk = true;
    im.sinkDone = im.sinkFailed = im.stoppedAfterStatus = false;
    im.receiving = im.createFailed = im.badResponse = false;
    im.headerBytes = 0;
    im.bodyBytes = 0;
    im.destination = destination;
    im.sink.reset();
    im.errbuf[0] = '\0';

    // Headers first: the status decides whether a body is read at all.
    auto onHeader = +[](char* data, std::size_t size, std::size_t n, void* user) -> std::size_t {
        auto* self = static_cast<CHttpThread*>(user);
        Impl& im = *self->m_pImpl;
        std::size_t len = size * n;
        im.headerBytes += len;
        if (im.headerBytes > kMaxHeaderBytes) {
            im.badResponse = true;
            return 0;
        }
        std::string_view line(data, len);
        if (line.rfind("HTTP/", 0) == 0) {
            // A new response (after an authentication challenge, say) starts afresh.
            im.headers.clear();
            im.headersDone = false;
        }
        if (line == "\r\n" || line == "\n") {
            im.headersDone = true;
            curl_easy_getinfo(im.curl, CURLINFO_RESPONSE_CODE, &im.status);
        }
        im.headers.append(line);
        if (im.headersDone && im.status == 200 && im.destination && !im.receiving) {
            im.receiving = true;
            self->Post(TRANSFER_RECEIVING);
            im.sink = self->ReadResponse(im.destination);
            if (!im.sink) {
                im.createFailed = true;
                return 0;
            }
        }
        return len;
    };

    auto onBody = +[](char* data, std::size_t size, std::size_t n, void* user) -> std::size_t {
        auto* self = static_cast<CHttpThread*>(user);
        Impl& im = *self->m_pImpl;
        std::size_t len = size * n;
        if (im.status != 200 || !im.destination) {
            // Only the status was wanted, or the answer is an error: read no further.
            im.stoppedAfterStatus = true;
            return CURL_WRITEFUNC_ERROR;
        }
        if (self->Aborted() || !im.sink) return CURL_WRITEFUNC_ERROR;
        im.bodyBytes += len;
        if (im.bodyBytes > self->m_nMaxBodyBytes) {
            std::string text = lv::msg::TooLarge();
            text.replace(text.find("%s"), 2, SizeText(self->m_nMaxBodyBytes));
            self->SetErrorText(text);
            im.sinkFailed = true;
            return CURL_WRITEFUNC_ERROR;
        }
        if (im.firstChunk) {
            im.firstChunk = false;
            if (!self->CheckFirstChunk(data, len)) {
                im.sinkFailed = true;
                return CURL_WRITEFUNC_ERROR;
            }
        }
        self->m_nBytesReceived += static_cast<long long>(len);
        int r = im.sink->Write(data, len);
        if (r == CResponseSink::MORE) return len;
        (r == CResponseSink::DONE ? im.sinkDone : im.sinkFailed) = true;
        return CURL_WRITEFUNC_ERROR;
    };

    // Called at least once a second, also while connecting or waiting: a stop is felt promptly.
    auto onProgress = +[](void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
        return static_cast<CHttpThread*>(user)->Aborted() ? 1 : 0;
    };

    std::string url = im.base + objectPath;
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);

    CURLcode rc = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &im.status);
    std::unique_ptr<CResponseSink> sink = std::move(im.sink);

    bool ok;
    if (im.createFailed) {
        ok = false;  // the destination could not be created; the text is set
    } else if (im.badResponse || (!im.headersDone && IsHeaderTooLarge(rc))) {
        SetErrorText(lv::msg::ErrBadResponse());
        ok = false;
    } else if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && (im.stoppedAfterStatus || im.sinkDone))) {
        // A stop keeps its own text, a failed body its own; any other failure is the client's.
        bool stopped = Aborted() && (rc == CURLE_ABORTED_BY_CALLBACK || rc == CURLE_WRITE_ERROR);
        if (!stopped && !im.sinkFailed)
            SetErrorText(TransferErrorText(rc, im.errbuf[0] ? im.errbuf : curl_easy_strerror(rc)));
        ok = false;
    } else if (im.status != 200) {
        SetErrorText(im.headers.empty() ? lv::msg::UnknownError() : im.headers);
        ok = false;
    } else if (!destination) {
        ok = true;
    } else {
        if (!im.receiving) {
            // A 200 without a header block cannot happen with a real server;
            // still give the body a file.
            Post(TRANSFER_RECEIVING);
            im.receiving = true;
            sink = ReadResponse(destination);
        }
        ok = sink && sink->Finish();
        sink.reset();
        Post(TRANSFER_RECEIVED);
        return ok;
    }
    if (im.receiving) {
        // A failed read closes its file as it stands; the body is not finished.
        sink.reset();
        Post(TRANSFER_RECEIVED);
    }
    return ok;
}
