#pragma once
// Paths in the core are narrow strings: bytes on POSIX, UTF-8 on Windows.
// The standard library reads a narrow path in the C runtime's code page on
// Windows, so every path goes to std::filesystem through FsPath.
#include <filesystem>
#include <string>
#include <string_view>

namespace lv::platform {

// The core's path as the standard library's; `.string()` gives it back.
inline std::filesystem::path FsPath(std::string_view path) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

#ifdef _WIN32
// UTF-8 and the UTF-16 of the wide-character APIs; an invalid sequence becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
#endif

}  // namespace lv::platform
