// The Japanese texts of libcurl's failures.
#include <curl/curl.h>

#include "core/net/error_text.h"
#include "core/text/messages.h"

std::string ClientErrorText(int code, bool proxy) {
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
