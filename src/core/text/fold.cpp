#include "core/text/fold.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "core/text/codec.h"
#include "core/text/cp932.h"

namespace lv::text {

namespace {

// The full-width katakana and punctuation whose half-width forms are the
// single bytes 0xA1 to 0xDF, in that byte order.
constexpr const char kHalfKanaOrder[] =
    "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
// Voiced katakana and the plain ones they are made of (plus the voiced mark 0xDE).
constexpr const char kVoiced[] = "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴヾ";
constexpr const char kVoicedBase[] = "カキクケコサシスセソタチツテトハヒフヘホウヽ";
// Semi-voiced katakana (plus the semi-voiced mark 0xDF).
constexpr const char kSemiVoiced[] = "パピプペポ";
constexpr const char kSemiVoicedBase[] = "ハヒフヘホ";

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// An entry holds up to three output bytes in its low bytes and the count in
// the top byte, so that one 32-bit store writes a whole character.
constexpr std::uint32_t Entry(unsigned char b0) { return b0 | (1u << 24); }
constexpr std::uint32_t Entry(unsigned char b0, unsigned char b1) { return b0 | (b1 << 8) | (2u << 24); }
constexpr std::uint32_t Entry(unsigned char b0, unsigned char b1, unsigned char b2) {
    return b0 | (b1 << 8) | (b2 << 16) | (3u << 24);
}

struct FoldTable {
    std::array<unsigned char, 256> single{};
    std::array<std::uint32_t, 65536> dbcs{};  // lead*256+trail
};

unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// The double-byte codes of a text that is all double-byte in code page 932.
std::vector<std::uint16_t> Codes(const char* utf8) {
    std::string s = Utf8ToCp932(utf8);
    std::vector<std::uint16_t> codes;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        codes.push_back(
            static_cast<std::uint16_t>(static_cast<unsigned char>(s[i]) << 8 | static_cast<unsigned char>(s[i + 1])));
    return codes;
}

// The single code point of a one-character UTF-8 text; 0 for anything else.
char32_t OneCodePoint(const std::string& u) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(u[i]); };
    if (u.size() == 1) return b(0);
    if (u.size() == 2 && (b(0) >> 5) == 6) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (u.size() == 3 && (b(0) >> 4) == 14) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return 0;
}

// Which single byte a full-width character folds to, by its code point; 0 for none.
unsigned char FoldedAscii(char32_t cp) {
    if (cp >= 0xFF01 && cp <= 0xFF5E && cp != 0xFF3C) return Lower(static_cast<unsigned char>(cp - 0xFEE0));
    switch (cp) {
    case 0x3000: return ' ';  // ideographic space
    case 0x2018:              // the quotes of Japanese fonts, opening and closing
    case 0x2019: return '\'';
    case 0x201C:
    case 0x201D: return '"';
    case 0xFFE4: return '|';   // full-width broken bar
    case 0xFFE5: return '\\';  // yen sign: the single-byte yen of code page 932
    default: return 0;
    }
}

// NEC's and IBM's extensions gave some characters two or three codes. The
// one the platform writes: JIS X 0208 before NEC row 13, row 13 before the
// IBM extensions, and the IBM extensions (FA40-FC4B) before their NEC-selected
// copies (ED40-EEFC).
bool Preferred(int code, int other) {
    auto necSelected = [](int c) { return c >= 0xED40 && c <= 0xEEFC; };
    if (necSelected(other) != necSelected(code)) return necSelected(other);
    return code < other;
}

constexpr std::uint32_t Same(int code) {
    return Entry(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
}

void Build(FoldTable& t) {
    for (int c = 0; c < 256; ++c) t.single[c] = Lower(static_cast<unsigned char>(c));
    for (int code = 0; code < 65536; ++code) t.dbcs[code] = Same(code);

    std::vector<char32_t> cps(65536);
    std::vector<int> preferred(0x10000, 0);  // code point -> the code written for it; all lie in the BMP
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const int code = lead * 256 + trail;
            char32_t cp = OneCodePoint(Cp932ToUtf8(std::string_view(pair, 2)));
            if (cp == 0 || cp == 0xFFFD || cp >= preferred.size()) continue;
            cps[code] = cp;
            if (!preferred[cp] || Preferred(code, preferred[cp])) preferred[cp] = code;
        }
    }
    for (int code = 0; code < 65536; ++code) {
        if (!cps[code]) continue;
        unsigned char a = FoldedAscii(cps[code]);
        t.dbcs[code] = a ? Entry(a) : Same(preferred[cps[code]]);
    }

    std::vector<unsigned char> half(65536);  // full-width code -> half-width byte
    std::vector<std::uint16_t> kana = Codes(kHalfKanaOrder);
    for (std::size_t k = 0; k < kana.size(); ++k) {
        half[kana[k]] = static_cast<unsigned char>(0xA1 + k);
        t.dbcs[kana[k]] = Entry(static_cast<unsigned char>(0xA1 + k));
    }
    auto composed = [&](const char* marked, const char* plain, unsigned char mark) {
        std::vector<std::uint16_t> m = Codes(marked), p = Codes(plain);
        for (std::size_t k = 0; k < m.size() && k < p.size(); ++k) {
            unsigned char h = half[p[k]];
            t.dbcs[m[k]] = h ? Entry(h, mark)
                             : Entry(static_cast<unsigned char>(p[k] >> 8), static_cast<unsigned char>(p[k]), mark);
        }
    };
    composed(kVoiced, kVoicedBase, kVoicedMark);
    composed(kSemiVoiced, kSemiVoicedBase, kSemiVoicedMark);
}

const FoldTable& GetFoldTable() {
    static FoldTable table;
    static std::once_flag once;
    std::call_once(once, [] { Build(table); });
    return table;
}

inline void Put(char* out, std::uint32_t e) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &e, 4);
    } else {
        out[0] = static_cast<char>(e);
        out[1] = static_cast<char>(e >> 8);
        out[2] = static_cast<char>(e >> 16);
    }
}

}  // namespace

std::size_t FoldInto(std::string_view s, char* out) {
    const FoldTable& t = GetFoldTable();
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    char* o = out;
    std::size_t i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (IsLeadByte(c) && i + 1 < n) {
            std::uint32_t e = t.dbcs[c << 8 | p[i + 1]];
            Put(o, e);
            o += e >> 24;
            i += 2;
        } else {
            *o++ = static_cast<char>(t.single[c]);
            ++i;
        }
    }
    return static_cast<std::size_t>(o - out);
}

std::string FoldHalfWidth(std::string_view s) {
    std::string out(FoldCapacity(s.size()), '\0');
    out.resize(FoldInto(s, out.data()));
    return out;
}

std::size_t FindAtBoundary(std::string_view hay, std::string_view needle) {
    if (needle.empty()) return 0;
    if (needle.size() > hay.size()) return std::string_view::npos;
    const char* base = hay.data();
    const std::size_t lastStart = hay.size() - needle.size();
    const char first = needle[0];
    std::size_t boundary = 0;  // the character boundaries are walked only as far as a candidate
    std::size_t from = 0;
    while (from <= lastStart) {
        const void* hit = std::memchr(base + from, first, lastStart - from + 1);
        if (!hit) break;
        std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        while (boundary < pos) boundary += CharLength(hay, boundary);
        if (boundary == pos && std::memcmp(base + pos, needle.data(), needle.size()) == 0) {
            // A match is a whole number of characters: it may not end on a lead byte whose
            // second byte lies beyond it.
            std::size_t end = pos;
            while (end < pos + needle.size()) end += CharLength(hay, end);
            if (end == pos + needle.size()) return pos;
        }
        from = pos + 1;
    }
    return std::string_view::npos;
}

CFoldedMatcher::CFoldedMatcher(std::string_view needle) : m_needle(FoldHalfWidth(needle)) {}

bool CFoldedMatcher::Contains(std::string_view text) {
    if (m_needle.empty()) return true;
    std::size_t need = FoldCapacity(text.size());
    if (m_buf.size() < need) m_buf.resize(need < 1024 ? 1024 : need);
    std::size_t len = FoldInto(text, m_buf.data());
    return ContainsFolded(std::string_view(m_buf.data(), len));
}

bool CFoldedMatcher::ContainsFolded(std::string_view folded) const {
    return FindAtBoundary(folded, m_needle) != std::string_view::npos;
}

}  // namespace lv::text
