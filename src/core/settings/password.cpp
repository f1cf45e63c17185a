#include "core/settings/password.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

#include <array>
#include <cstring>
#include <memory>

#include "core/text/base64.h"
#include "core/text/cp932.h"

namespace lv::settings {

namespace {

// Our own key. Changing it makes every stored password unreadable.
constexpr std::array<unsigned char, 16> kKey = {0x4c, 0x76, 0x9e, 0x21, 0xd3, 0x58, 0x0b, 0xa7,
                                                0x6f, 0xe2, 0x35, 0x94, 0x1c, 0xc8, 0x7a, 0x03};

// One block, no chaining, no padding: the block is already exactly 16 bytes.
#ifdef _WIN32
// Any failure, whatever its status, is just a password that cannot be
// protected or read.
bool CryptBlock(const unsigned char* in, unsigned char* out, bool encrypt) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (::BCryptOpenAlgorithmProvider(&alg, BCRYPT_AES_ALGORITHM, nullptr, 0) < 0) return false;
    BCRYPT_KEY_HANDLE key = nullptr;
    ULONG n = 0;
    bool ok = ::BCryptSetProperty(alg, BCRYPT_CHAINING_MODE,
                                  reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                  sizeof(BCRYPT_CHAIN_MODE_ECB), 0) >= 0 &&
              ::BCryptGenerateSymmetricKey(alg, &key, nullptr, 0, const_cast<PUCHAR>(kKey.data()),
                                           static_cast<ULONG>(kKey.size()), 0) >= 0;
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
#else
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

bool CryptBlock(const unsigned char* in, unsigned char* out, bool encrypt) {
    CipherCtx ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx) return false;
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, kKey.data(), nullptr, encrypt ? 1 : 0) != 1)
        return false;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    int n = 0, tail = 0;
    if (EVP_CipherUpdate(ctx.get(), out, &n, in, static_cast<int>(PASSWORD_BLOCK)) != 1) return false;
    if (EVP_CipherFinal_ex(ctx.get(), out + n, &tail) != 1) return false;
    return n + tail == static_cast<int>(PASSWORD_BLOCK);
}
#endif

}  // namespace

std::optional<std::string> ProtectPassword(std::string_view password) {
    unsigned char block[PASSWORD_BLOCK] = {};
    std::size_t n = text::CutLength(password, PASSWORD_BLOCK);
    std::memcpy(block, password.data(), n);
    unsigned char sealed[PASSWORD_BLOCK];
    if (!CryptBlock(block, sealed, true)) return std::nullopt;
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
    if (!CryptBlock(reinterpret_cast<const unsigned char*>(raw->data()), plain, false)) return std::nullopt;
    std::size_t end = 0;
    while (end < PASSWORD_BLOCK && plain[end] != 0) ++end;
    return std::string(reinterpret_cast<const char*>(plain), end);
}

}  // namespace lv::settings
