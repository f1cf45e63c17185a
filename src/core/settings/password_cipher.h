#pragma once
// One block of a stored password through AES-128 with `key`, one block, no
// chaining, no padding: the system's cipher (BCrypt on Windows, OpenSSL
// elsewhere). False on any failure: a password that cannot be protected or read.
#include <array>

namespace lv::settings {

bool CryptBlock(const std::array<unsigned char, 16>& key, const unsigned char* in, unsigned char* out, bool encrypt);

}  // namespace lv::settings
