#include "core/net/error_text.h"

std::string TransferErrorText(int code, std::string_view original, bool proxy) {
    std::string japanese = ClientErrorText(code, proxy);
    return japanese.empty() ? std::string(original) : japanese;
}
