#pragma once
// Conversion between code page 932 bytes and UTF-8, used only at the edges
// (printing, typing, clipboard). The core itself never converts.
#include <string>
#include <string_view>

namespace lv::text {

// A byte sequence that is not valid code page 932 becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// One step of the same: the character at s[i] (U+FFFD for an invalid byte
// sequence), moving i past it; and a code point appended as UTF-8. For
// printers that work character by character into a buffer of their own.
char32_t DecodeCp932(std::string_view s, std::size_t& i);
void AppendUtf8(std::string& out, char32_t cp);

// A character with no code page 932 form becomes "?"; `ok`, when given, tells
// whether every character had one.
std::string Utf8ToCp932(std::string_view utf8, bool* ok = nullptr);

}  // namespace lv::text
