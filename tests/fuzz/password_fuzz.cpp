// libFuzzer target: a stored password value read back, and any password
// protected and read back as the part of it that fits.
#include <cstdlib>

#include "core/settings/password.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lv::fuzz::AsText(data, size);
    (void)lv::settings::UnprotectPassword(bytes);
    (void)lv::settings::IsProtectedForm(bytes);

    const auto stored = lv::settings::ProtectPassword(bytes);
    if (!stored) return 0;
    if (!lv::settings::IsProtectedForm(*stored)) std::abort();
    const auto back = lv::settings::UnprotectPassword(*stored);
    // What comes back is where the password begins: at most one block, cut at a zero byte.
    if (!back || back->size() > lv::settings::PASSWORD_BLOCK || bytes.substr(0, back->size()) != *back) std::abort();
    return 0;
}
