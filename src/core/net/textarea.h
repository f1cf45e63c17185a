#pragma once
// Cuts the text of a page's TEXTAREA element out of a body that arrives in
// chunks of any size: each byte is looked at once and only a few bytes are
// held between chunks, however long the page's lines are.
#include <cstddef>
#include <string>

namespace lv::net {

class CTextAreaExtractor {
public:
    enum Result { FAIL = 0, MORE = 1, DONE = 2 };

    // Appends to `out` the description text found in the chunk, each line
    // ending in CR LF. FAIL: the page has no usable element (an opening tag
    // without ">" on its line); DONE: the closing tag was seen, the rest of
    // the page is not wanted.
    Result Write(const char* data, std::size_t length, std::string& out);
    // The page has ended: appends the open last line, if any. False when
    // no element was found.
    bool Finish(std::string& out);

    // Bytes held back between chunks: a possible start of the closing tag (a
    // run of CRs is kept as a count).
    std::size_t HeldBytes() const { return m_nMatched; }

private:
    enum State { SEEK_OPEN, SEEK_GT, INSIDE, FINISHED };
    void EndLine(std::string& out);
    void FlushHeld(std::string& out);

    State m_state = SEEK_OPEN;
    std::size_t m_nMatched = 0;   // bytes of the tag being matched
    std::size_t m_nCRs = 0;       // CRs seen inside the element, not yet known to end the line
    bool m_bTrail = false;        // the next byte is the second byte of a double-byte character
    bool m_bLineStarted = false;  // bytes of the current line have arrived inside the element
};

}  // namespace lv::net
