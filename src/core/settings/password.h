#pragma once
// The stored form of a recorder password: the password in one zero-filled
// 16-byte block, encrypted with AES-128 under the program's fixed key, as
// 24 characters of base64 (22 and "==").
#include <optional>
#include <string>
#include <string_view>

namespace lv::settings {

constexpr std::size_t PASSWORD_BLOCK = 16;
constexpr std::size_t PROTECTED_LENGTH = 24;

// The first 16 bytes of the password (never half a double-byte character),
// encrypted and encoded; nullopt when the cipher fails.
std::optional<std::string> ProtectPassword(std::string_view password);

// Whether a stored value has the protected form (24 characters ending "==").
bool IsProtectedForm(std::string_view value);

// The password in a protected value: the decrypted block up to its first zero
// byte. nullopt when the value is not valid base64 or the cipher fails.
std::optional<std::string> UnprotectPassword(std::string_view value);

}  // namespace lv::settings
