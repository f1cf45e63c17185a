#pragma once
// Half-width folding of code page 932 text for the title search: the
// full-width forms of ASCII, the ideographic space, katakana and katakana
// punctuation become their single-byte forms (a voiced katakana becomes the
// plain one followed by the separate voiced mark), then ASCII A-Z become
// a-z. Hiragana, kanji and every other character stay as they are.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lv::text {

// Room that FoldInto needs for an input of n bytes.
constexpr std::size_t FoldCapacity(std::size_t n) { return n + n / 2 + 4; }

// Folds s into out, which holds at least FoldCapacity(s.size()) bytes;
// returns the folded length. No allocation.
std::size_t FoldInto(std::string_view s, char* out);

std::string FoldHalfWidth(std::string_view s);

// A search text folded once, tested against many texts with one reused buffer.
class CFoldedMatcher {
public:
    explicit CFoldedMatcher(std::string_view needle);

    // Whether the folded text contains the folded needle, starting at a
    // character boundary. An empty needle is found in every text.
    bool Contains(std::string_view text);
    // The same test for a text folded already (FoldInto, FoldHalfWidth).
    bool ContainsFolded(std::string_view folded) const;

    const std::string& Needle() const { return m_needle; }

private:
    std::string m_needle;
    std::vector<char> m_buf;
};

// Position of needle in hay starting at a character boundary of hay; npos when absent.
std::size_t FindAtBoundary(std::string_view hay, std::string_view needle);

}  // namespace lv::text
