// The transfer's transport on WinINet: one session and one connection per
// transfer, synchronous requests read chunk by chunk.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

#include "core/net/error_text.h"
#include "core/net/http_thread.h"
#include "core/net/http_transport.h"

namespace {

constexpr DWORD kChunk = 4096;

// Every request reaches the recorder: nothing from or into the cache, no
// cookies, no redirect followed, no dialog, as the libcurl transport does;
// one connection for the transfer's requests where the server keeps it open.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                                INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_COOKIES |
                                INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI | INTERNET_FLAG_KEEP_CONNECTION;

// Core texts are code page 932.
std::wstring Wide(std::string_view text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int n =
        ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// WinINet takes the host name as it is and puts it into the Host header and,
// through a proxy, into the request line: a hand-edited host must not carry
// a path, a user or another port there. The characters libcurl refuses in a
// host; an IPv6 address in brackets holds hex digits, colons and dots only.
bool IsPlausibleHost(std::string_view host) {
    if (host.empty()) return false;
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') return false;
        return host.substr(1, host.size() - 2).find_first_not_of("0123456789abcdefABCDEF:.") == std::string_view::npos;
    }
    for (char c : host) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
        if (std::string_view("/\\:?#@!{}[]$'\"^`*<>=;,+&()%").find(c) != std::string_view::npos) return false;
    }
    return true;
}

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET handle = nullptr) : m_handle(handle) {}
    ~CInternetHandle() { Reset(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    void Reset(HINTERNET handle = nullptr) {
        if (m_handle) ::InternetCloseHandle(m_handle);
        m_handle = handle;
    }
    HINTERNET Get() const { return m_handle; }

private:
    HINTERNET m_handle;
};

// Sets the three time-outs on a handle; a recorder that sends nothing for
// that long is given up.
void SetTimeouts(HINTERNET handle, long seconds) {
    DWORD ms = static_cast<DWORD>(std::max(1L, seconds)) * 1000;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(handle, option, &ms, sizeof ms);
}

// A body that moves less than the minimum on average over the stall time is
// given up, as libcurl's low-speed limit does: a trickle keeps each read
// within the receive time-out but never ends.
class CStallWatch {
public:
    CStallWatch(long seconds, long minBytesPerSecond)
        : m_window(std::max(1L, seconds)),
          m_minBytes(static_cast<std::uint64_t>(std::max(0L, minBytesPerSecond)) *
                     static_cast<std::uint64_t>(std::max(1L, seconds))) {}
    bool TooSlow(std::size_t bytes) {
        m_bytes += bytes;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_start < m_window) return false;
        const bool slow = m_bytes < m_minBytes;
        m_start = now;
        m_bytes = 0;
        return slow;
    }

private:
    std::chrono::seconds m_window;
    std::uint64_t m_minBytes;
    std::uint64_t m_bytes = 0;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// The complete raw headers of the answer, status line first; empty when they
// cannot be read.
std::string RawHeaders(HINTERNET request) {
    DWORD size = 0;
    ::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
    if (size == 0) return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &size, nullptr)) return {};
    text.resize(size / sizeof(wchar_t));
    return Narrow(text);
}

// The length the answer announces, when it announces one.
std::optional<std::uint64_t> ContentLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    wchar_t* end = nullptr;
    const unsigned long long length = std::wcstoull(text, &end, 10);
    if (end == text || *end != L'\0') return std::nullopt;
    return length;
}

}  // namespace

struct CHttpThread::Impl {
    CInternetHandle session;
    CInternetHandle connection;
    std::string address;  // "host:port" of the recorder, for error texts
    std::string proxy;    // "host:port" of a named proxy, or empty
    bool auth = false;    // the profile's security is on

    // Sets the text of a WinINet or Winsock failure; the system's text,
    // naming where it went wrong, is the detail.
    void SetError(CHttpThread& thread, DWORD code) const {
        std::string message = InternetMessageText(code);
        if (message.empty()) message = "error " + std::to_string(code);
        std::string where = address;
        // Through a named proxy the name resolved and the peer reached are the proxy's.
        if (!proxy.empty() && (code == ERROR_INTERNET_NAME_NOT_RESOLVED || code == ERROR_INTERNET_CANNOT_CONNECT)) {
            where = proxy;
            if (code == ERROR_INTERNET_NAME_NOT_RESOLVED) code = ERROR_INTERNET_PROXY_SERVER_UNREACHABLE;
        }
        const std::string detail = where + ": " + message;
        thread.SetErrorText(TransferErrorText(static_cast<int>(code), detail, !proxy.empty()), detail);
    }
};

void CHttpThread::ImplDeleter::operator()(Impl* impl) const { delete impl; }

bool CHttpThread::InitInstance() {
    m_pImpl.reset(new Impl);
    // The proxy choice is read once, when the transfer starts.
    DWORD access = INTERNET_OPEN_TYPE_PRECONFIG;
    std::wstring proxy;
    if (m_proxy.bUseIE) {
        // The system's configuration.
    } else if (!m_proxy.bEnable) {
        access = INTERNET_OPEN_TYPE_DIRECT;
    } else {
        access = INTERNET_OPEN_TYPE_PROXY;
        m_pImpl->proxy = m_proxy.strHost + ":" + std::to_string(m_proxy.nPort);
        proxy = Wide(m_pImpl->proxy);
    }
    // A named proxy serves every host, loopback too, which WinINet would
    // otherwise bypass.
    HINTERNET session = ::InternetOpenW(L"Librovista", access, proxy.empty() ? nullptr : proxy.c_str(),
                                        proxy.empty() ? nullptr : L"<-loopback>", INTERNET_FLAG_DONT_CACHE);
    if (!session) {
        m_pImpl->SetError(*this, ::GetLastError());
        return false;
    }
    m_pImpl->session.Reset(session);
    SetTimeouts(session, m_nStallSeconds);
    return true;
}

void CHttpThread::ExitInstance() {
    if (!m_pImpl) return;
    m_pImpl->connection.Reset();
    m_pImpl->session.Reset();
}

bool CHttpThread::OpenConnection(const std::string& host, int port, const char* user, const char* password) {
    Impl& im = *m_pImpl;
    im.address = host + ":" + std::to_string(port);
    if (!IsPlausibleHost(host)) {
        im.SetError(*this, ERROR_INTERNET_INVALID_URL);
        return false;
    }
    // The client answers the recorder's challenges with the credentials.
    const std::wstring wuser = user ? Wide(user) : std::wstring();
    const std::wstring wpassword = password ? Wide(password) : std::wstring();
    HINTERNET connection = ::InternetConnectW(im.session.Get(), Wide(host).c_str(), static_cast<INTERNET_PORT>(port),
                                              user ? wuser.c_str() : nullptr, password ? wpassword.c_str() : nullptr,
                                              INTERNET_SERVICE_HTTP, INTERNET_FLAG_EXISTING_CONNECT, 1);
    if (!connection) {
        im.SetError(*this, ::GetLastError());
        return false;
    }
    im.connection.Reset(connection);
    im.auth = user != nullptr;
    return true;
}

bool CHttpThread::Send(const std::string& objectPath, CRequest& request) {
    Impl& im = *m_pImpl;
    auto fail = [&](DWORD code) {
        im.SetError(*this, code);
        return false;
    };
    // Without security the client answers no challenge, not even with the
    // user's Windows logon, as libcurl without credentials does not.
    const DWORD flags = kRequestFlags | (im.auth ? 0 : INTERNET_FLAG_NO_AUTH);
    CInternetHandle handle(::HttpOpenRequestW(im.connection.Get(), L"GET", Wide(objectPath).c_str(), L"HTTP/1.0",
                                              nullptr, nullptr, flags, 1));
    HINTERNET req = handle.Get();
    if (!req) return fail(::GetLastError());
    SetTimeouts(req, m_nStallSeconds);
    if (!::HttpSendRequestW(req, nullptr, 0, nullptr, 0)) return fail(::GetLastError());

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(req, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return fail(::GetLastError());
    if (!request.OnHeaders(static_cast<long>(status), status == 200 ? std::string() : RawHeaders(req))) return false;
    if (!request.WantsBody()) return true;  // the request is closed unread

    // WinINet ends a body that the server cut short as if it were whole;
    // libcurl reports the cut, and so does this transport.
    const std::optional<std::uint64_t> announced = ContentLength(req);
    std::uint64_t received = 0;
    CStallWatch watch(m_nStallSeconds, m_nMinBytesPerSecond);
    char buffer[kChunk];
    for (;;) {
        // Waits for what the server sends next, so that a read takes what has come.
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(req, &available, 0, 0)) return fail(::GetLastError());
        DWORD read = 0;
        if (available > 0 && !::InternetReadFile(req, buffer, std::min(available, kChunk), &read))
            return fail(::GetLastError());
        if (read == 0) break;  // the end of the body
        received += read;
        const int r = request.OnBody(buffer, read);
        if (r == CRequest::FAIL) return false;
        if (r == CRequest::DONE) {
            if (announced && *announced - std::min(received, *announced) <= kMaxUnwantedBytes)
                while (::InternetReadFile(req, buffer, kChunk, &read) && read > 0) {
                }
            return true;
        }
        if (watch.TooSlow(read)) return fail(ERROR_INTERNET_TIMEOUT);
    }
    if (announced && received < *announced) return fail(ERROR_INTERNET_CONNECTION_RESET);
    return true;
}
