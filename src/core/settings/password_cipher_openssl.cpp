#include <openssl/evp.h>

#include <memory>

#include "core/settings/password.h"
#include "core/settings/password_cipher.h"

namespace lv::settings {

namespace {
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
}  // namespace

bool CryptBlock(const std::array<unsigned char, 16>& key, const unsigned char* in, unsigned char* out, bool encrypt) {
    CipherCtx ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx) return false;
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1)
        return false;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    int n = 0, tail = 0;
    if (EVP_CipherUpdate(ctx.get(), out, &n, in, static_cast<int>(PASSWORD_BLOCK)) != 1) return false;
    if (EVP_CipherFinal_ex(ctx.get(), out + n, &tail) != 1) return false;
    return n + tail == static_cast<int>(PASSWORD_BLOCK);
}

}  // namespace lv::settings
