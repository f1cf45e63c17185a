#pragma once
// What the export's formats share: the bounded buffer they write through and
// the control characters none of them lets through.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/views/list_export.h"

namespace lv {

// A control character that neither HTML nor a spreadsheet should get: all
// of C0 but TAB, LF and CR, and DEL. None is ever the second byte of a code
// page 932 character, so bytes can be tested as they are.
inline bool IsStrayControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7F;
}

// The export's bytes gathered up to about kPiece and then passed on, so that
// a million rows never stand in memory as one file.
class ExportSink {
public:
    static constexpr std::size_t kPiece = std::size_t{1} << 16;
    explicit ExportSink(const std::function<bool(std::string_view)>& write) : m_write(write) {
        m_bytes.reserve(kPiece * 2);
    }
    std::string& Bytes() { return m_bytes; }
    // After each row: false once a write failed, to stop making more.
    bool Row() {
        if (m_bytes.size() >= kPiece) Pass();
        return m_ok;
    }
    bool Finish() {
        if (!m_bytes.empty()) Pass();
        return m_ok;
    }

private:
    void Pass() {
        if (m_ok) m_ok = m_write(m_bytes);
        m_bytes.clear();
    }
    const std::function<bool(std::string_view)>& m_write;
    std::string m_bytes;
    bool m_ok = true;
};

// The HTML catalogue: a section per disc, in the order the list first shows it.
bool WriteHtmlCatalogue(const LIST_EXPORT& list, ExportSink& sink);

}  // namespace lv
