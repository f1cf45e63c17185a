#include "core/net/error_text.h"

#ifdef _WIN32
#include <windows.h>
#include <wininet.h>
#else
#include <curl/curl.h>
#endif

#include "core/text/messages.h"

namespace {

#ifdef _WIN32
// WinINet reports some network failures with Winsock's codes (Wine does so
// where Windows has its own): both mean the same to the user.
std::string JapaneseText(int code, bool proxy) {
    switch (static_cast<DWORD>(code)) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA: return lv::msg::ErrHostNotFound();
    case ERROR_INTERNET_PROXY_SERVER_UNREACHABLE: return lv::msg::ErrProxyNotFound();
    case ERROR_INTERNET_CANNOT_CONNECT:
    case WSAECONNREFUSED:
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH: return proxy ? lv::msg::ErrProxyRefused() : lv::msg::ErrCannotConnect();
    case ERROR_INTERNET_TIMEOUT:
    case WSAETIMEDOUT: return lv::msg::ErrTimedOut();
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAENETRESET: return lv::msg::ErrConnectionReset();
    case ERROR_INTERNET_BAD_AUTO_PROXY_SCRIPT:
    case ERROR_INTERNET_UNABLE_TO_DOWNLOAD_SCRIPT: return lv::msg::ErrProxy();
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT: return lv::msg::ErrTls();
    case ERROR_HTTP_REDIRECT_FAILED:
    case ERROR_INTERNET_REDIRECT_SCHEME_CHANGE: return lv::msg::ErrTooManyRedirects();
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
    case ERROR_HTTP_INVALID_HEADER: return lv::msg::ErrBadResponse();
    default: return {};
    }
}
#else
std::string JapaneseText(int code, bool proxy) {
    switch (static_cast<CURLcode>(code)) {
    case CURLE_COULDNT_RESOLVE_HOST: return lv::msg::ErrHostNotFound();
    case CURLE_COULDNT_RESOLVE_PROXY: return lv::msg::ErrProxyNotFound();
    case CURLE_COULDNT_CONNECT: return proxy ? lv::msg::ErrProxyRefused() : lv::msg::ErrCannotConnect();
    case CURLE_OPERATION_TIMEDOUT: return lv::msg::ErrTimedOut();
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE: return lv::msg::ErrConnectionReset();
    case CURLE_PROXY: return lv::msg::ErrProxy();
    // Only a proxy named with https:// speaks TLS: the recorder is plain HTTP.
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE: return lv::msg::ErrTls();
    case CURLE_TOO_MANY_REDIRECTS: return lv::msg::ErrTooManyRedirects();
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_HTTP2:
    case CURLE_HTTP3: return lv::msg::ErrBadResponse();
    default: return {};
    }
}
#endif

}  // namespace

std::string TransferErrorText(int code, std::string_view original, bool proxy) {
    std::string japanese = JapaneseText(code, proxy);
    return japanese.empty() ? std::string(original) : japanese;
}

#ifdef _WIN32
std::string InternetMessageText(unsigned long code) {
    // WinINet's texts live in its own module; Winsock's are the system's.
    wchar_t* text = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         ::GetModuleHandleW(L"wininet.dll"), code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", text ? n : 0);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return {};
    // Core texts are code page 932; a character without a form there becomes "?".
    const int size =
        ::WideCharToMultiByte(932, 0, message.data(), static_cast<int>(message.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(932, 0, message.data(), static_cast<int>(message.size()), bytes.data(), size, nullptr,
                              nullptr);
    return bytes;
}
#endif
