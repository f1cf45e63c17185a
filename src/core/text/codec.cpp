#include "core/text/codec.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "core/platform/code_page.h"
#include "core/text/cp932.h"

namespace lv::text {

namespace {

// Both directions as tables, built once from the system's converter so that
// converting a whole list costs a lookup per character.
struct Tables {
    std::array<char32_t, 256> single{};               // 0 = not a character
    std::array<char32_t, 65536> dbcs{};               // lead*256+trail -> code point, 0 = none
    std::unordered_map<char32_t, std::uint16_t> enc;  // code point -> bytes (one or two)
};

const Tables& GetTables() {
    static Tables t;
    static std::once_flag once;
    std::call_once(once, [] {
        lv::platform::Cp932Decoder decoder;
        for (int b = 0; b < 0x80; ++b) t.single[b] = static_cast<char32_t>(b);
        if (decoder.Available()) {
            for (int b = 0x80; b < 0x100; ++b) {
                if (IsLeadByte(static_cast<unsigned char>(b))) continue;
                const char c = static_cast<char>(b);
                t.single[b] = decoder.Decode(std::string_view(&c, 1));
            }
            for (int lead = 0x81; lead <= 0xFC; ++lead) {
                if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
                for (int trail = 0x40; trail <= 0xFC; ++trail) {
                    if (trail == 0x7F) continue;
                    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                    t.dbcs[lead * 256 + trail] = decoder.Decode(std::string_view(pair, 2));
                }
            }
        } else {
            // Without the converter at least the half-width katakana are known.
            for (int b = 0xA1; b <= 0xDF; ++b) t.single[b] = static_cast<char32_t>(0xFF61 + b - 0xA1);
        }
        for (int b = 0; b < 0x100; ++b)
            if (t.single[b] || b == 0) t.enc.emplace(t.single[b], static_cast<std::uint16_t>(b));
        // First code wins: NEC and IBM duplicates map back to the earlier code.
        for (int code = 0x8140; code <= 0xFCFC; ++code)
            if (t.dbcs[code]) t.enc.emplace(t.dbcs[code], static_cast<std::uint16_t>(code));
        // What other platforms type for the characters that code page 932 maps elsewhere.
        const std::pair<char32_t, std::uint16_t> alias[] = {{0x301C, 0x8160}, {0x2016, 0x8161}, {0x2212, 0x817C},
                                                            {0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00AC, 0x81CA},
                                                            {0x2014, 0x815C}, {0x00A5, 0x5C},   {0x203E, 0x7E}};
        for (auto [cp, code] : alias) t.enc.emplace(cp, code);
    });
    return t;
}

// Writes cp as UTF-8 at o and returns the end; at most four bytes.
char* PutUtf8(char* o, char32_t cp) {
    if (cp < 0x80) {
        *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<char>(0xC0 | (cp >> 6));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (cp >> 12));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return o;
}

// Decodes one UTF-8 sequence at s[i]; returns U+FFFD and advances one byte on an error.
char32_t NextUtf8(std::string_view s, std::size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += n;
    return cp;
}

}  // namespace

void AppendUtf8(std::string& out, std::string_view s, bool escapes) {
    const Tables& t = GetTables();
    // A byte gives at most three bytes of UTF-8 (a pair at most four).
    const std::size_t old = out.size();
    out.resize(old + 3 * s.size());
    char* o = out.data() + old;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        if (IsLeadByte(c)) {
            cp = i + 1 < s.size() ? t.dbcs[c * 256 + static_cast<unsigned char>(s[i + 1])] : 0;
            // An invalid pair costs only its lead byte, so a stray lead byte
            // does not swallow the ASCII character after it.
            i += cp ? 2 : 1;
            if (!cp) cp = 0xFFFD;
        } else {
            cp = t.single[c];
            if (!cp && c) cp = 0xFFFD;
            ++i;
        }
        if (escapes && (cp == U'\\' || cp == U'\t' || cp == U'\r' || cp == U'\n')) {
            *o++ = '\\';
            *o++ = cp == U'\\' ? '\\' : cp == U'\t' ? 't' : cp == U'\r' ? 'r' : 'n';
        } else {
            o = PutUtf8(o, cp);
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

void AppendJsonString(std::string& out, std::string_view s) {
    thread_local std::string utf8;
    utf8.clear();
    AppendUtf8(utf8, s, false);
    out += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out.append("\\u00").append(1, kHex[u >> 4]).append(1, kHex[u & 15]);
            }
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendValidCp932(std::string& out, std::string_view s) {
    const Tables& t = GetTables();
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(c)) {
            // As in AppendUtf8: a bad pair costs only its lead byte.
            if (i + 1 < s.size() && t.dbcs[c * 256 + static_cast<unsigned char>(s[i + 1])]) {
                out.append(s.substr(i, 2));
                i += 2;
            } else {
                out += '?';
                ++i;
            }
        } else {
            out += t.single[c] || !c ? s[i] : '?';
            ++i;
        }
    }
}

std::string Cp932ToUtf8(std::string_view s) {
    std::string out;
    AppendUtf8(out, s, false);
    return out;
}

std::string Utf8ToCp932(std::string_view s, bool* ok) {
    const Tables& t = GetTables();
    std::string out;
    out.reserve(s.size());
    bool all = true;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = NextUtf8(s, i);
        auto it = t.enc.find(cp);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (it == t.enc.end()) {
            out += '?';
            all = false;
        } else if (it->second > 0xFF) {
            out += static_cast<char>(it->second >> 8);
            out += static_cast<char>(it->second & 0xFF);
        } else {
            out += static_cast<char>(it->second);
        }
    }
    if (ok) *ok = all;
    return out;
}

bool CodePointToCp932(char32_t cp, std::string& out) {
    out.clear();
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return true;
    }
    const Tables& t = GetTables();
    auto it = t.enc.find(cp);
    if (it == t.enc.end()) {
        out += '?';
        return false;
    }
    if (it->second > 0xFF) out += static_cast<char>(it->second >> 8);
    out += static_cast<char>(it->second & 0xFF);
    return true;
}

}  // namespace lv::text
