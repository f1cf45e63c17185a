#pragma once
// Code page 932 text held as bytes: stepping by whole characters, trimming,
// cutting and comparing without ever splitting a double-byte character.
#include <cstddef>
#include <string>
#include <string_view>

namespace lv::text {

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// 0x40-0x7E and 0x80-0xFC can be the second byte of a double-byte character.
constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Length in bytes of the character at position pos: 2 for a lead byte that has
// a byte after it, else 1. A lead byte at the very end is one character.
inline std::size_t CharLength(std::string_view s, std::size_t pos) {
    return (IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

// A null text pointer from a flat view reads as an empty text.
constexpr const char* OrEmpty(const char* p) { return p ? p : ""; }

// Removes trailing bytes found in `chars` (single-byte characters only), never
// touching the trail byte of a double-byte character.
void TrimRight(std::string& s, std::string_view chars);

// Removes leading characters found in `chars`.
void TrimLeft(std::string& s, std::string_view chars);

// Removes every single-byte character found in `chars`, stepping by whole characters.
std::string RemoveChars(std::string_view s, std::string_view chars);

// The largest prefix length <= limit that does not end inside a double-byte character.
std::size_t CutLength(std::string_view s, std::size_t limit);

// Character-wise comparison: a double-byte character ranks as lead*256+trail,
// above every single byte; a prefix ranks first. Returns <0, 0 or >0.
int Compare(std::string_view a, std::string_view b);

// Position of `needle` in `hay` at or after `from`, starting only at character
// boundaries; npos when absent. An empty needle matches at `from`.
std::size_t Find(std::string_view hay, std::string_view needle, std::size_t from = 0);

// Whether `text` begins with `prefix`, ASCII letters without regard to case
// and every other character exactly; a trail byte is never taken for a letter.
bool BeginsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace lv::text
