#include "core/settings/password.h"

#include <array>
#include <cstring>

#include "core/settings/password_cipher.h"
#include "core/text/base64.h"
#include "core/text/cp932.h"

namespace lv::settings {

namespace {

// Our own key. Changing it makes every stored password unreadable.
constexpr std::array<unsigned char, 16> kKey = {0x4c, 0x76, 0x9e, 0x21, 0xd3, 0x58, 0x0b, 0xa7,
                                                0x6f, 0xe2, 0x35, 0x94, 0x1c, 0xc8, 0x7a, 0x03};

}  // namespace

std::optional<std::string> ProtectPassword(std::string_view password) {
    unsigned char block[PASSWORD_BLOCK] = {};
    std::size_t n = text::CutLength(password, PASSWORD_BLOCK);
    std::memcpy(block, password.data(), n);
    unsigned char sealed[PASSWORD_BLOCK];
    if (!CryptBlock(kKey, block, sealed, true)) return std::nullopt;
    std::string b64 = text::Base64Encode(std::string_view(reinterpret_cast<const char*>(sealed), PASSWORD_BLOCK));
    if (b64.size() != PROTECTED_LENGTH) return std::nullopt;
    return b64;
}

bool IsProtectedForm(std::string_view value) {
    return value.size() == PROTECTED_LENGTH && value.substr(PROTECTED_LENGTH - 2) == "==";
}

std::optional<std::string> UnprotectPassword(std::string_view value) {
    if (!IsProtectedForm(value)) return std::nullopt;
    const std::optional<std::string> raw = text::Base64Decode(value);
    if (!raw || raw->size() != PASSWORD_BLOCK) return std::nullopt;
    unsigned char plain[PASSWORD_BLOCK];
    if (!CryptBlock(kKey, reinterpret_cast<const unsigned char*>(raw->data()), plain, false)) return std::nullopt;
    std::size_t end = 0;
    while (end < PASSWORD_BLOCK && plain[end] != 0) ++end;
    return std::string(reinterpret_cast<const char*>(plain), end);
}

}  // namespace lv::settings
