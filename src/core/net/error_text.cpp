#include "core/net/error_text.h"

#include <curl/curl.h>

#include "core/text/messages.h"
#include "core/text/system_errors.h"

std::string TransferErrorText(int code, std::string_view original) {
    std::string japanese;
    switch (static_cast<CURLcode>(code)) {
    case CURLE_COULDNT_RESOLVE_HOST: japanese = lv::msg::ErrHostNotFound(); break;
    case CURLE_COULDNT_RESOLVE_PROXY: japanese = lv::msg::ErrProxyNotFound(); break;
    case CURLE_COULDNT_CONNECT: japanese = lv::msg::ErrCannotConnect(); break;
    case CURLE_OPERATION_TIMEDOUT: japanese = lv::msg::ErrTimedOut(); break;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE: japanese = lv::msg::ErrConnectionReset(); break;
    case CURLE_PROXY: japanese = lv::msg::ErrProxy(); break;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_HTTP2:
    case CURLE_HTTP3: japanese = lv::msg::ErrBadResponse(); break;
    default: break;
    }
    return lv::text::WithOriginal(japanese, original);
}
