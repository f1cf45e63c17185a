// The Japanese texts of WinINet's and Winsock's failures, and the system's own text.
#include <windows.h>
#include <wininet.h>

#include "core/net/error_text.h"
#include "core/text/messages.h"

// WinINet reports some network failures with Winsock's codes (Wine does so
// where Windows has its own): both mean the same to the user.
std::string ClientErrorText(int code, bool proxy) {
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
