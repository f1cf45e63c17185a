#pragma once
// Conversion between code page 932 bytes and UTF-8, used only at the edges
// (printing, typing, clipboard). The core itself never converts.
#include <string>
#include <string_view>

namespace lv::text {

// A byte sequence that is not valid code page 932 becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// The same appended to out. With `escapes`, a backslash, tab, CR or LF
// character is written as two characters: "\\", "\t", "\r", "\n" (lines
// that keep one record each).
void AppendUtf8(std::string& out, std::string_view cp932, bool escapes);

// The text as a quoted JSON string: UTF-8 as above, with quote, backslash
// and every control character escaped, so the result is always valid JSON.
void AppendJsonString(std::string& out, std::string_view cp932);

// The bytes as stored, but each byte sequence that is not valid code page
// 932 replaced by "?": a file in code page 932 that every reader can decode.
void AppendValidCp932(std::string& out, std::string_view cp932);

// A character with no code page 932 form becomes "?"; `ok`, when given, tells
// whether every character had one.
std::string Utf8ToCp932(std::string_view utf8, bool* ok = nullptr);

// The code page 932 bytes of one Unicode character; false when it has none.
bool CodePointToCp932(char32_t cp, std::string& out);

}  // namespace lv::text
