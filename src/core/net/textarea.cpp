#include "core/net/textarea.h"

#include <string_view>

#include "core/text/cp932.h"

namespace lv::net {

namespace {
// Tags are matched in upper case only, as the recorders write them. Neither
// tag has a prefix that recurs inside it, so a failed partial match never
// hides the start of another.
constexpr std::string_view kOpenTag = "<TEXTAREA";
constexpr std::string_view kCloseTag = "</TEXTAREA>";
}  // namespace

void CTextAreaExtractor::FlushHeld(std::string& out) {
    out.append(m_nCRs, '\r');
    m_nCRs = 0;
    out.append(kCloseTag.substr(0, m_nMatched));
    m_nMatched = 0;
}

void CTextAreaExtractor::EndLine(std::string& out) {
    // Trailing CRs are line-end bytes, not text.
    m_nCRs = 0;
    out.append(kCloseTag.substr(0, m_nMatched));
    m_nMatched = 0;
    out += "\r\n";
    m_bLineStarted = false;
}

CTextAreaExtractor::Result CTextAreaExtractor::Write(const char* data, std::size_t length, std::string& out) {
    if (m_state == FINISHED) return DONE;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = data[i];
        // A line ends at LF wherever it stands; every search starts afresh on the next line.
        if (c == '\n') {
            m_bTrail = false;
            if (m_state == INSIDE) {
                EndLine(out);
            } else if (m_state == SEEK_GT) {
                return FAIL;  // the opening tag's ">" must stand on its line
            } else {
                m_nMatched = 0;
            }
            continue;
        }
        const bool boundary = !m_bTrail;
        m_bTrail = boundary && text::IsLeadByte(static_cast<unsigned char>(c));
        switch (m_state) {
        case SEEK_OPEN:
            // The tag's bytes are ASCII: inside a match every byte is a boundary.
            if (boundary && c == kOpenTag[m_nMatched]) {
                if (++m_nMatched == kOpenTag.size()) {
                    m_nMatched = 0;
                    m_state = SEEK_GT;
                }
            } else {
                m_nMatched = (boundary && c == kOpenTag[0]) ? 1 : 0;
            }
            break;
        case SEEK_GT:
            if (boundary && c == '>') {
                m_state = INSIDE;
                m_bLineStarted = true;  // the text after ">" is the first line, even when empty
            }
            break;
        case INSIDE:
            m_bLineStarted = true;
            if (boundary && c == kCloseTag[m_nMatched]) {
                if (++m_nMatched == kCloseTag.size()) {
                    // The CRs before the tag are text: the line did not end there.
                    out.append(m_nCRs, '\r');
                    m_nCRs = 0;
                    m_nMatched = 0;
                    out += "\r\n";
                    m_state = FINISHED;
                    return DONE;
                }
                break;
            }
            if (m_nMatched > 0 || (m_nCRs > 0 && c != '\r')) FlushHeld(out);
            if (boundary && c == kCloseTag[0]) {
                m_nMatched = 1;
            } else if (c == '\r') {
                ++m_nCRs;
            } else {
                out += c;
            }
            break;
        case FINISHED: return DONE;
        }
    }
    return MORE;
}

bool CTextAreaExtractor::Finish(std::string& out) {
    if (m_state == INSIDE && m_bLineStarted) EndLine(out);
    return m_state == INSIDE || m_state == FINISHED;
}

}  // namespace lv::net
