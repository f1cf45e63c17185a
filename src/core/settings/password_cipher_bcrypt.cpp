#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include "core/settings/password.h"
#include "core/settings/password_cipher.h"

namespace lv::settings {

// Any failure, whatever its status, is just a password that cannot be
// protected or read.
bool CryptBlock(const std::array<unsigned char, 16>& secret, const unsigned char* in, unsigned char* out,
                bool encrypt) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (::BCryptOpenAlgorithmProvider(&alg, BCRYPT_AES_ALGORITHM, nullptr, 0) < 0) return false;
    BCRYPT_KEY_HANDLE key = nullptr;
    ULONG n = 0;
    bool ok = ::BCryptSetProperty(alg, BCRYPT_CHAINING_MODE,
                                  reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                  sizeof(BCRYPT_CHAIN_MODE_ECB), 0) >= 0 &&
              ::BCryptGenerateSymmetricKey(alg, &key, nullptr, 0, const_cast<PUCHAR>(secret.data()),
                                           static_cast<ULONG>(secret.size()), 0) >= 0;
    if (ok) {
        auto* input = const_cast<PUCHAR>(in);
        const ULONG size = static_cast<ULONG>(PASSWORD_BLOCK);
        ok = (encrypt ? ::BCryptEncrypt(key, input, size, nullptr, nullptr, 0, out, size, &n, 0)
                      : ::BCryptDecrypt(key, input, size, nullptr, nullptr, 0, out, size, &n, 0)) >= 0;
    }
    if (key) ::BCryptDestroyKey(key);
    ::BCryptCloseAlgorithmProvider(alg, 0);
    return ok && n == PASSWORD_BLOCK;
}

}  // namespace lv::settings
