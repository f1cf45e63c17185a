#include "core/ini/ini_file.h"

#include <climits>

#include "core/ini/atomic_file.h"
#include "core/text/cp932.h"

namespace lv::ini {

namespace {

// The platform's blanks around names and values: ^Z, VT and FF count too.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

// Blanks are single bytes that never occur as a trail byte, so bytewise trimming is safe.
std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Letter case is ignored only for single-byte characters: a trail byte that
// happens to be a letter belongs to a double-byte character and stays exact.
bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t n = text::CharLength(a, i);
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

// Position of the first single-byte `c`, stepping by whole characters.
std::size_t FindChar(std::string_view s, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); i += text::CharLength(s, i))
        if (s[i] == c) return i;
    return std::string_view::npos;
}

// Position of the last single-byte `c` at or after `from`, stepping by whole characters.
std::size_t FindLastChar(std::string_view s, char c, std::size_t from) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = from; i < s.size(); i += text::CharLength(s, i))
        if (s[i] == c) last = i;
    return last;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name
    std::string_view value;  // key lines only
    std::size_t eq = 0;      // position of "=" in a key line
};

Parsed Classify(std::string_view text) {
    Parsed p;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size() || text[i] == ';') return p;
    // A header runs to its last "]"; a "[" without one is no header.
    if (text[i] == '[') {
        std::size_t close = FindLastChar(text, ']', i + 1);
        if (close != text.npos) {
            p.kind = Kind::Section;
            p.name = TrimBlanks(text.substr(i + 1, close - i - 1));
            return p;
        }
    }
    std::size_t eq = text.find('=', i);  // "=" is never a trail byte
    if (eq == text.npos) return p;
    p.name = TrimBlanks(text.substr(i, eq - i));
    if (p.name.empty()) return p;
    std::string_view v = text.substr(eq + 1);
    v = TrimBlanks(v.substr(0, v.find('\0')));  // a value ends at a NUL byte
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    p.kind = Kind::Key;
    p.value = v;
    p.eq = eq;
    return p;
}

}  // namespace

std::optional<int> ParseInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long v = 0;
    std::size_t digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return std::nullopt;
    return static_cast<int>(v);
}

bool IniFile::Load(const std::string& path) {
    std::string bytes;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, &missing)) {
        m_lines.clear();
        return missing;
    }
    Parse(bytes);
    return true;
}

void IniFile::Parse(std::string_view bytes) {
    m_lines.clear();
    std::size_t pos = 0;
    // CR LF, LF and a lone CR each end a line.
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        Line line;
        if (end == bytes.npos) {
            line.text.assign(bytes.substr(pos));
            pos = bytes.size();
        } else {
            std::size_t next =
                (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? end + 2 : end + 1;
            line.text.assign(bytes.substr(pos, end - pos));
            line.eol.assign(bytes.substr(end, next - end));
            pos = next;
        }
        m_lines.push_back(std::move(line));
    }
    m_eol = (!m_lines.empty() && !m_lines.front().eol.empty()) ? m_lines.front().eol : "\r\n";
}

std::pair<std::size_t, std::size_t> IniFile::SectionRange(std::string_view section) const {
    section = TrimBlanks(section);
    std::size_t begin = std::string::npos;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        Parsed p = Classify(m_lines[i].text);
        if (p.kind != Kind::Section) continue;
        if (begin != std::string::npos) return {begin, i};
        if (EqualNoCase(p.name, section)) begin = i + 1;
    }
    return {begin, m_lines.size()};
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    auto [b, e] = SectionRange(section);
    if (b == std::string::npos) return std::nullopt;
    key = TrimBlanks(key);
    for (std::size_t i = b; i < e; ++i) {
        Parsed p = Classify(m_lines[i].text);
        if (p.kind == Kind::Key && EqualNoCase(p.name, key)) return std::string(p.value);
    }
    return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def) const {
    auto v = Find(section, key);
    return v ? *v : std::string(def);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
    auto v = Find(section, key);
    if (!v) return def;
    return ParseInt(*v).value_or(def);
}

bool IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || HasLineBreak(section) || FindChar(section, ']') != section.npos) return false;
    if (key.empty() || HasLineBreak(key) || key.find('=') != key.npos || key.front() == '[' || key.front() == ';')
        return false;
    if (HasLineBreak(value)) return false;
    // Nothing is written that would not be read back as written: a name
    // ending in a lone lead byte would swallow the "]" or "=" after it.
    const std::string header = "[" + std::string(section) + "]";
    Parsed h = Classify(header);
    if (h.kind != Kind::Section || h.name != section) return false;
    const std::string keyLine = std::string(key) + "=";  // outlives the name Classify points into
    Parsed k = Classify(keyLine);
    if (k.kind != Kind::Key || k.name != key) return false;

    auto [b, e] = SectionRange(section);
    if (b == std::string::npos) {
        if (!m_lines.empty() && m_lines.back().eol.empty()) m_lines.back().eol = m_eol;
        m_lines.push_back({header, m_eol});
        m_lines.push_back({std::string(key) + "=" + std::string(value), m_eol});
        return true;
    }
    std::size_t insertAt = b;
    for (std::size_t i = b; i < e; ++i) {
        Parsed p = Classify(m_lines[i].text);
        if (p.kind == Kind::Key && EqualNoCase(p.name, key)) {
            // Keep the key as the file spells it; only the value changes.
            m_lines[i].text = m_lines[i].text.substr(0, p.eq + 1) + std::string(value);
            return true;
        }
        if (!TrimBlanks(m_lines[i].text).empty()) insertAt = i + 1;
    }
    if (m_lines[insertAt - 1].eol.empty()) m_lines[insertAt - 1].eol = m_eol;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   Line{std::string(key) + "=" + std::string(value), m_eol});
    return true;
}

bool IniFile::SetInt(std::string_view section, std::string_view key, int value) {
    return SetString(section, key, std::to_string(value));
}

std::string IniFile::Serialize() const {
    std::string out;
    for (const auto& l : m_lines) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

bool IniFile::Save(const std::string& path, std::optional<unsigned> mode, std::string* error) const {
    return WriteFileAtomic(path, Serialize(), mode, error);
}

std::string ReadString(const std::string& path, std::string_view section, std::string_view key, std::string_view def) {
    IniFile f;
    f.Load(path);
    return f.GetString(section, key, def);
}

int ReadInt(const std::string& path, std::string_view section, std::string_view key, int def) {
    IniFile f;
    f.Load(path);
    return f.GetInt(section, key, def);
}

bool WriteString(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    IniFile f;
    if (!f.Load(path)) return false;
    if (!f.SetString(section, key, value)) return false;
    return f.Save(path);
}

}  // namespace lv::ini
