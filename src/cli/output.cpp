#include "cli/output.h"

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
}  // namespace

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
        else
            // Escaped by character: converting each value on its own would cost a string.
            text::AppendUtf8(m_line, values[i], true);
    }
    m_line += '\n';
    std::fwrite(m_line.data(), 1, m_line.size(), m_out);
}

void Output::Text(std::string_view cp932, std::FILE* to) {
    std::string s = Encode(cp932);
    s += '\n';
    std::fwrite(s.data(), 1, s.size(), to);
}

void Output::Labels(const CRDRecorderLibrary& lib) {
    const auto& labels = lib.ModeLabels();
    if (labels.empty()) return;
    std::vector<std::string_view> v{"L", lib.Name()};
    for (const auto& l : labels) v.emplace_back(l);
    Line(v);
}

void Output::Disc(const CRDDiscInfo& d) {
    const std::string flags = std::to_string(d.m_nFlags);
    m_values.assign({"D", flags, d.m_strRDName, d.m_strDiscNo, d.m_strFree, d.m_strLabel});
    for (const auto& f : d.m_strFreeN) m_values.emplace_back(f);
    Line(m_values);
}

void Output::Title(const std::string& rdName, const CRDTitleInfo& t) {
    const std::string genre = std::to_string(t.m_nGenre);  // short: no allocation
    m_values.assign({"T", rdName});
    for (int f = 0; f < TF_COUNT; ++f) m_values.push_back(t.Field(static_cast<TITLE_FIELD>(f)));
    m_values.emplace_back(genre);
    Line(m_values);
}

}  // namespace lv::cli
