#include "core/platform/code_page.h"

#include <windows.h>

namespace lv::platform {

Cp932Decoder::Cp932Decoder() = default;
Cp932Decoder::~Cp932Decoder() = default;

bool Cp932Decoder::Available() const { return ::IsValidCodePage(932) != 0; }

char32_t Cp932Decoder::Decode(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > 2) return 0;
    // Windows gives the single bytes 0x80, 0xA0 and 0xFD-0xFF characters of
    // its own that the published table (and every other converter) lacks.
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1 && (first == 0x80 || first == 0xA0 || first >= 0xFD)) return 0;
    wchar_t out[2];
    const int n =
        ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out, 2);
    return n == 1 ? static_cast<char32_t>(out[0]) : 0;
}

}  // namespace lv::platform
