// The transfer's transport on libcurl: one easy handle per transfer, whose
// connection cache gives the reuse.
#include <curl/curl.h>

#include <string>
#include <string_view>

#include "core/net/error_text.h"
#include "core/net/http_thread.h"
#include "core/net/http_transport.h"
#include "core/text/messages.h"

namespace {

constexpr long kChunk = 4096;
// A recorder's header block is a few hundred bytes; far more is no answer of one.
constexpr std::size_t kMaxHeaderBytes = 256 * 1024;
constexpr auto kMaxUnwanted = static_cast<curl_off_t>(kMaxUnwantedBytes);

void GlobalInit() {
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

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
    curl_slist* requestHeaders = nullptr;
    std::string base;  // scheme, host and port
    char errbuf[CURL_ERROR_SIZE] = {};
    bool namedProxy = false;  // a refused connection is the proxy's

    // The request under way.
    CRequest* request = nullptr;
    std::string headers;  // raw headers of the answer being read, CR LF separated
    std::size_t headerBytes = 0;
    bool badResponse = false;  // the header block is no HTTP answer a recorder gives
    bool bodyDone = false;     // the request wanted no more of the body
    curl_off_t unwanted = 0;   // bytes of the body read after that

    void Cleanup() {
        if (curl) curl_easy_cleanup(curl);
        curl = nullptr;
        curl_slist_free_all(requestHeaders);
        requestHeaders = nullptr;
    }

    // Headers first: the status decides whether a body is read at all.
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t n, void* user) {
        Impl& im = *static_cast<Impl*>(user);
        std::size_t len = size * n;
        im.headerBytes += len;
        if (im.headerBytes > kMaxHeaderBytes) {
            im.badResponse = true;
            return 0;
        }
        std::string_view line(data, len);
        // A new answer (after an authentication challenge, say) starts afresh.
        if (line.rfind("HTTP/", 0) == 0) im.headers.clear();
        im.headers.append(line);
        if (line == "\r\n" || line == "\n") {
            long status = 0;
            curl_easy_getinfo(im.curl, CURLINFO_RESPONSE_CODE, &status);
            if (!im.request->OnHeaders(status, im.headers)) return 0;
        }
        return len;
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t n, void* user) {
        Impl& im = *static_cast<Impl*>(user);
        std::size_t len = size * n;
        if (!im.bodyDone) {
            const int r = im.request->OnBody(data, len);
            if (r == CRequest::MORE) return len;
            if (r == CRequest::FAIL) return CURL_WRITEFUNC_ERROR;
            im.bodyDone = true;
            // The rest of a short body is read, so that the connection stays.
            curl_off_t length = -1, received = 0;
            curl_easy_getinfo(im.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            curl_easy_getinfo(im.curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
            if (length < 0 || length - received > kMaxUnwanted) return CURL_WRITEFUNC_ERROR;
            return len;
        }
        im.unwanted += static_cast<curl_off_t>(len);
        return im.unwanted <= kMaxUnwanted ? len : CURL_WRITEFUNC_ERROR;
    }

    // Called at least once a second, also while connecting or waiting: a stop is felt promptly.
    static int OnProgress(void* thread, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<CHttpThread*>(thread)->Aborted() ? 1 : 0;
    }
};

void CHttpThread::ImplDeleter::operator()(Impl* impl) const {
    impl->Cleanup();
    delete impl;
}

bool CHttpThread::InitInstance() {
    GlobalInit();
    m_pImpl.reset(new Impl);
    CURL* c = curl_easy_init();
    if (!c) {
        SetErrorText(curl_easy_strerror(CURLE_FAILED_INIT));
        return false;
    }
    m_pImpl->curl = c;
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Librovista");
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    // As the platform's client asks: one connection for the transfer's requests
    // where the server keeps it open.
    m_pImpl->requestHeaders = curl_slist_append(nullptr, "Connection: Keep-Alive");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, m_pImpl->requestHeaders);
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
        m_pImpl->namedProxy = true;
    }
    return true;
}

void CHttpThread::ExitInstance() {
    if (m_pImpl) m_pImpl->Cleanup();
}

bool CHttpThread::OpenConnection(const std::string& host, int port, const char* user, const char* password) {
    // The host goes through the URL parser on its own, so that a hand-edited
    // host cannot smuggle a user, path or another port into the address.
    CURLU* url = curl_url();
    CURLUcode rc = curl_url_set(url, CURLUPART_SCHEME, "http", 0);
    if (!rc) rc = curl_url_set(url, CURLUPART_HOST, host.c_str(), 0);
    if (!rc) rc = curl_url_set(url, CURLUPART_PORT, std::to_string(port).c_str(), 0);
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
    if (user) {
        curl_easy_setopt(c, CURLOPT_HTTPAUTH, CURLAUTH_BASIC | CURLAUTH_DIGEST);
        curl_easy_setopt(c, CURLOPT_USERNAME, user);
        curl_easy_setopt(c, CURLOPT_PASSWORD, password);
    }
    return true;
}

bool CHttpThread::Send(const std::string& objectPath, CRequest& request) {
    Impl& im = *m_pImpl;
    CURL* c = im.curl;
    if (!c) return false;
    im.request = &request;
    im.headers.clear();
    im.headerBytes = 0;
    im.badResponse = im.bodyDone = false;
    im.unwanted = 0;
    im.errbuf[0] = '\0';

    std::string url = im.base + objectPath;
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, Impl::OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &im);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Impl::OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &im);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Impl::OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);

    const CURLcode rc = curl_easy_perform(c);
    im.request = nullptr;
    if (request.Failed()) return false;  // the request's text stands
    if (im.badResponse || (!request.HeadersDone() && IsHeaderTooLarge(rc))) {
        SetErrorText(lv::msg::ErrBadResponse());
        return false;
    }
    if (rc == CURLE_OK || (rc == CURLE_WRITE_ERROR && im.bodyDone)) return true;
    // A stop keeps its own text; any other failure is the client's.
    if (!(Aborted() && rc == CURLE_ABORTED_BY_CALLBACK)) {
        const std::string original = im.errbuf[0] ? im.errbuf : curl_easy_strerror(rc);
        SetErrorText(TransferErrorText(rc, original, im.namedProxy), original);
    }
    return false;
}
