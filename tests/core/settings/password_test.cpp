// Stored passwords read the same on every platform: the expected forms were
// made once with the openssl command line (AES-128-ECB, the program's key, no
// padding) from the zero-filled 16-byte block.
#include <gtest/gtest.h>

#include "core/settings/password.h"

namespace {

TEST(StoredPassword, KnownPasswordsGiveTheSameBytesOnEveryPlatformAndReadBack) {
    struct KNOWN {
        std::string password;
        std::string stored;
        std::string readBack;
    };
    const KNOWN known[] = {
        {"secret", "BLRGt+r2LDqEcxAXdEmhlg==", "secret"},
        // A full block has no zero byte to end it.
        {"0123456789abcdef", "ClC0FQG5u25kA7GJfBMLYw==", "0123456789abcdef"},
        // Only the first 16 bytes are kept, and never half a double-byte character.
        {"abcdefghijklmno\x82\xA0", "KzpcwJD4qKC2qr5X9jQ/JA==", "abcdefghijklmno"},
        {"pass\x82\xA0", "dw6Olbsfl9LJaYk9LBqNfw==", "pass\x82\xA0"},
    };
    for (const KNOWN& k : known) {
        SCOPED_TRACE(k.stored);
        EXPECT_EQ(lv::settings::ProtectPassword(k.password), k.stored);
        EXPECT_EQ(lv::settings::UnprotectPassword(k.stored), k.readBack);
    }
}

}  // namespace
