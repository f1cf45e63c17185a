#pragma once
// The failures users meet, in Japanese, with the system's or the library's
// own text after it in brackets for diagnosis. Shared by window and CLI.
#include <string>
#include <string_view>

namespace lv::text {

// "<Japanese> (<original>)"; the original alone when there is no Japanese text.
std::string WithOriginal(const std::string& japanese, std::string_view original);

// The reason for a system error number (errno).
std::string SystemErrorText(int errnum);
// A failed file operation: the file, then the reason for errnum.
std::string FileErrorText(const std::string& path, int errnum);

}  // namespace lv::text
