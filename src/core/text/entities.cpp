#include "core/text/entities.h"

#include <array>
#include <optional>

#include "core/text/codec.h"
#include "core/text/cp932.h"

namespace lv::text {

namespace {

constexpr char32_t kNoBreakSpace = 0xA0;
constexpr char32_t kLastCodePoint = 0x10FFFF;
// Longer than any reference this decodes: "&#x10FFFF;" or "&#1114111;".
constexpr std::size_t kLongestReference = 12;

std::optional<char32_t> Numeric(std::string_view digits) {
    int base = 10;
    if (!digits.empty() && (digits.front() == 'x' || digits.front() == 'X')) {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    char32_t cp = 0;
    for (char c : digits) {
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        if (v < 0) return std::nullopt;
        cp = cp * static_cast<char32_t>(base) + static_cast<char32_t>(v);
        if (cp > kLastCodePoint) return std::nullopt;
    }
    return cp;
}

// The code page 932 text of the reference's name (between "&" and ";"), if decoded.
std::optional<std::string> Reference(std::string_view name) {
    struct NAMED {
        std::string_view name;
        char text;
    };
    static constexpr std::array<NAMED, 6> kNamed{
        {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}}};
    for (const NAMED& n : kNamed)
        if (name == n.name) return std::string(1, n.text);
    if (name.empty() || name.front() != '#') return std::nullopt;
    const std::optional<char32_t> cp = Numeric(name.substr(1));
    if (!cp || *cp == 0 || (*cp >= 0xD800 && *cp <= 0xDFFF)) return std::nullopt;
    if (*cp == kNoBreakSpace) return std::string(" ");
    std::string bytes;
    if (!CodePointToCp932(*cp, bytes)) return std::nullopt;
    return bytes;
}

}  // namespace

std::string DecodeHtmlEntities(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '&') {
            const std::size_t end = s.find(';', i + 1);
            if (end != std::string_view::npos && end - i <= kLongestReference) {
                if (const auto text = Reference(s.substr(i + 1, end - i - 1))) {
                    out += *text;
                    i = end + 1;
                    continue;
                }
            }
        }
        // Whole characters: a trail byte is never taken for "&".
        const std::size_t n = CharLength(s, i);
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

}  // namespace lv::text
