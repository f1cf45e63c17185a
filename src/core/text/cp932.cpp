#include "core/text/cp932.h"

#include <cstring>

namespace lv::text {

namespace {
bool InSet(std::string_view chars, char c) { return chars.find(c) != std::string_view::npos; }
unsigned char AsciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

void TrimRight(std::string& s, std::string_view chars) {
    std::size_t keep = 0;  // end of the last character not in the set
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = CharLength(s, i);
        if (n == 2 || !InSet(chars, s[i])) keep = i + n;
        i += n;
    }
    s.resize(keep);
}

void TrimLeft(std::string& s, std::string_view chars) {
    std::size_t i = 0;
    while (i < s.size() && CharLength(s, i) == 1 && InSet(chars, s[i])) ++i;
    s.erase(0, i);
}

std::string RemoveChars(std::string_view s, std::string_view chars) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = CharLength(s, i);
        if (n == 2 || !InSet(chars, s[i])) out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

std::size_t CutLength(std::string_view s, std::size_t limit) {
    if (s.size() <= limit) return s.size();
    std::size_t i = 0;
    while (i < limit) {
        std::size_t n = CharLength(s, i);
        if (i + n > limit) break;
        i += n;
    }
    return i;
}

int Compare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        unsigned ca = static_cast<unsigned char>(a[i]);
        unsigned cb = static_cast<unsigned char>(b[j]);
        std::size_t na = CharLength(a, i), nb = CharLength(b, j);
        if (na == 2) ca = ca * 256 + static_cast<unsigned char>(a[i + 1]);
        if (nb == 2) cb = cb * 256 + static_cast<unsigned char>(b[j + 1]);
        if (ca != cb) return ca < cb ? -1 : 1;
        i += na;
        j += nb;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::size_t Find(std::string_view hay, std::string_view needle, std::size_t from) {
    if (from > hay.size()) return std::string_view::npos;
    if (needle.empty()) return from;
    // Scan boundaries from the start so that `from` is honoured only when it is one.
    std::size_t i = 0;
    while (i < from) i += CharLength(hay, i);
    const char first = needle[0];
    while (i + needle.size() <= hay.size()) {
        if (hay[i] == first && std::memcmp(hay.data() + i, needle.data(), needle.size()) == 0) return i;
        i += CharLength(hay, i);
    }
    return std::string_view::npos;
}

bool BeginsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size();) {
        const std::size_t n = CharLength(prefix, i);
        if (n == 2) {
            if (text[i] != prefix[i] || text[i + 1] != prefix[i + 1]) return false;
        } else {
            // A lone lead byte of the text must not pass for a single-byte character.
            if (CharLength(text, i) != 1) return false;
            if (AsciiLower(static_cast<unsigned char>(text[i])) != AsciiLower(static_cast<unsigned char>(prefix[i])))
                return false;
        }
        i += n;
    }
    return true;
}

}  // namespace lv::text
