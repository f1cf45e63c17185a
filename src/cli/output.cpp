#include "cli/output.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "cli/console.h"
#include "core/library/recorder_library.h"
#include "core/text/codec.h"
#include "core/text/cp932.h"

namespace lv::cli {

namespace {
void AppendEscaped(std::string& out, std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        // In code page 932 a backslash byte can be the second half of a character;
        // a tab, CR or LF never is, so a stray lead byte does not hide one.
        std::size_t n = text::CharLength(s, i);
        if (n == 2 && static_cast<unsigned char>(s[i + 1]) < 0x40) n = 1;
        if (n == 1) {
            switch (s[i]) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += s[i];
            }
        } else {
            out.append(s.substr(i, n));
        }
        i += n;
    }
}
// True for a byte that starts a control character this program did not
// write: C0 but TAB, LF and CR LF, DEL, and in UTF-8 the lead byte of U+0080-U+009F.
// Code page 932 trail bytes are 0x40 and up but never DEL, so a byte scan is safe there.
bool IsForeignControl(std::string_view s, std::size_t i, bool cp932) {
    const auto c = static_cast<unsigned char>(s[i]);
    // CR LF ends the lines of descriptions and of a server's headers.
    if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') return false;
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) return true;
    if (cp932 || c != 0xC2 || i + 1 == s.size()) return false;
    const auto next = static_cast<unsigned char>(s[i + 1]);
    return next >= 0x80 && next < 0xA0;
}

// Bytes that may start such a character (CR and 0xC2 only with what follows).
constexpr std::array<bool, 256> kMaybeControl = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 0x20; ++c) t[static_cast<std::size_t>(c)] = c != '\t' && c != '\n';
    t[0x7F] = t[0xC2] = true;
    return t;
}();

// Such characters as "\x1b", or "\u001b" inside a JSON string, so that a
// recorder's or a server's bytes never drive the terminal.
void EscapeControls(std::string& s, bool cp932, bool json) {
    std::size_t i = 0;
    for (; i < s.size(); ++i)
        if (kMaybeControl[static_cast<unsigned char>(s[i])] && IsForeignControl(s, i, cp932)) break;
    if (i == s.size()) return;
    std::string out = s.substr(0, i);
    static const char kHex[] = "0123456789abcdef";
    for (; i < s.size(); ++i) {
        if (!IsForeignControl(s, i, cp932)) {
            out += s[i];
            continue;
        }
        if (static_cast<unsigned char>(s[i]) == 0xC2) ++i;
        const auto c = static_cast<unsigned char>(s[i]);
        out += json ? "\\u00" : "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    s = std::move(out);
}
// Printable ASCII but the backslash: the same in UTF-8, with nothing to escape.
bool IsPlainAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; });
}
}  // namespace

void FinishOutput() {
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    const int error = errno;
    if (std::fclose(stdout) != 0 || failed) throw WriteError{error ? error : errno ? errno : EIO};
}

std::string Output::Encode(std::string_view cp932) const {
    return m_cp932 ? std::string(cp932) : text::Cp932ToUtf8(cp932);
}

void Output::Line(const std::vector<std::string_view>& values) {
    // One reused buffer: a line costs no allocation once the longest is seen.
    m_line.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) m_line += '\t';
        if (m_cp932)
            AppendEscaped(m_line, values[i]);
        else if (IsPlainAscii(values[i]))
            m_line += values[i];  // most values of a record: dates, times, numbers
        else
            // Escaped by character: converting each value on its own would cost a string.
            text::AppendUtf8(m_line, values[i], true);
    }
    m_line += '\n';
    EscapeControls(m_line, m_cp932, false);
    Write(m_out, m_line, m_cp932);
}

void Output::Text(std::string_view cp932, std::FILE* to) {
    std::string s = Encode(cp932);
    if (s.empty() || s.back() != '\n') s += '\n';
    EscapeControls(s, m_cp932, false);
    Write(to, s, m_cp932);
}

void Output::OpenObject() {
    m_line.clear();
    m_line += m_bListOpen ? ",\n{" : "[\n{";
    m_bListOpen = true;
}

void Output::Key(const char* key) {
    if (m_line.back() != '{') m_line += ',';
    m_line += '"';
    m_line += key;
    m_line += "\":";
}

void Output::CloseObject() {
    m_line += '}';
    // Only JSON strings can hold them: C0 is escaped already, DEL and C1 are not.
    EscapeControls(m_line, false, true);
    Write(m_out, m_line, false);
}

void Output::EndList(bool failed) {
    if (!m_json || !m_bListBegun || (failed && !m_bListOpen)) return;
    Write(m_out, m_bListOpen ? "\n]\n" : "[]\n", false);
}

void Output::Record(std::initializer_list<FIELD> fields) {
    if (!m_json) {
        m_values.clear();
        for (const FIELD& f : fields)
            if (f.kind != FIELD::NONE) m_values.push_back(f.value);
        Line(m_values);
        return;
    }
    OpenObject();
    for (const FIELD& f : fields) {
        Key(f.key);
        switch (f.kind) {
        case FIELD::TEXT: text::AppendJsonString(m_line, f.value); break;
        case FIELD::NUMBER: m_line += f.value; break;
        case FIELD::BOOL: m_line += f.value == "1" ? "true" : "false"; break;
        case FIELD::NONE: m_line += "null"; break;
        }
    }
    CloseObject();
}

void Output::Labels(const CRDRecorderLibrary& lib) {
    const auto& labels = lib.ModeLabels();
    if (labels.empty()) return;
    if (m_json) {
        OpenObject();
        m_line += "\"type\":\"labels\",\"recorder\":";
        text::AppendJsonString(m_line, lib.GetName());
        m_line += ",\"labels\":[";
        for (std::size_t i = 0; i < labels.size(); ++i) {
            if (i) m_line += ',';
            text::AppendJsonString(m_line, labels[i]);
        }
        m_line += ']';
        CloseObject();
        return;
    }
    std::vector<std::string_view> v{"L", lib.GetName()};
    for (const auto& l : labels) v.emplace_back(l);
    Line(v);
}

void Output::Disc(const CRDDiscInfo& d) {
    const std::string flags = std::to_string(d.m_nFlags);
    if (m_json) {
        Record({{"type", "disc"},
                {"flags", flags, FIELD::NUMBER},
                {"recorder", d.m_strRDName},
                {"disc", d.m_strDiscNo},
                {"remaining", d.m_strFree},
                {"label", d.m_strLabel},
                {"remaining1", d.m_strFreeN[0]},
                {"remaining2", d.m_strFreeN[1]},
                {"remaining3", d.m_strFreeN[2]},
                {"remaining4", d.m_strFreeN[3]},
                {"remaining5", d.m_strFreeN[4]}});
        return;
    }
    m_values.assign({"D", flags, d.m_strRDName, d.m_strDiscNo, d.m_strFree, d.m_strLabel});
    for (const auto& f : d.m_strFreeN) m_values.emplace_back(f);
    Line(m_values);
}

void Output::Title(const std::string& rdName, const CRDTitleInfo& t) {
    const std::string genre = std::to_string(t.m_nGenre);  // short: no allocation
    if (m_json) {
        // The keys in the order of the record line's fields.
        static const char* const kKeys[TF_COUNT] = {
            "disc",       "title",      "genre",      "date",       "weekday",    "time", "channel", "remaining",
            "remaining1", "remaining2", "remaining3", "remaining4", "remaining5", "page", "textFile"};
        OpenObject();
        m_line += "\"type\":\"title\",\"recorder\":";
        text::AppendJsonString(m_line, rdName);
        for (int f = 0; f < TF_TEXTFILE; ++f) {
            Key(kKeys[f]);
            text::AppendJsonString(m_line, t.Field(static_cast<TITLE_FIELD>(f)));
        }
        Key(kKeys[TF_TEXTFILE]);
        text::AppendJsonString(m_line, t.FileName(m_name));
        Key("genreCode");
        m_line += genre;
        CloseObject();
        return;
    }
    m_values.assign({"T", rdName});
    for (int f = 0; f < TF_TEXTFILE; ++f) m_values.push_back(t.Field(static_cast<TITLE_FIELD>(f)));
    m_values.push_back(t.FileName(m_name));
    m_values.emplace_back(genre);
    Line(m_values);
}

}  // namespace lv::cli
