#include "core/net/textarea.h"

#include <gtest/gtest.h>

#include <string>

using lv::net::CTextAreaExtractor;

namespace {

struct Outcome {
    bool ok;
    std::string text;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) { return os << o.ok << " [" << o.text << "]"; }

// The page fed in chunks of `chunk` bytes, as the network may cut it.
Outcome Extract(const std::string& page, std::size_t chunk) {
    CTextAreaExtractor x;
    std::string out;
    for (std::size_t at = 0; at < page.size(); at += chunk) {
        auto r = x.Write(page.data() + at, std::min(chunk, page.size() - at), out);
        if (r == CTextAreaExtractor::FAIL) return {false, out};
        if (r == CTextAreaExtractor::DONE) return {true, out};
    }
    bool ok = x.Finish(out);
    return {ok, out};
}

TEST(TextAreaExtractor, CutsTheElementOutWhateverTheChunks) {
    const std::pair<std::string, Outcome> cases[] = {
        // Attributes, one word and the closing tag on one line.
        {"<HTML>\r\n<TEXTAREA rows=4>word</TEXTAREA>\r\nrest", {true, "word\r\n"}},
        // The text after ">" is the first line, even when empty; the last line
        // holds what stands before the closing tag.
        {"x<TEXTAREA>\r\none\r\ntwo\n\r\nthree\r\n</TEXTAREA>", {true, "\r\none\r\ntwo\r\n\r\nthree\r\n\r\n"}},
        // All trailing CRs end the line; a CR inside the line is text.
        {"<TEXTAREA>a\r\rb\r\r\r\nc\r</TEXTAREA>", {true, "a\r\rb\r\nc\r\r\n"}},
        // A page that ends inside the element keeps everything.
        {"<TEXTAREA>\r\nopen\r\nend", {true, "\r\nopen\r\nend\r\n"}},
        {"<TEXTAREA>\r\nopen\r\n", {true, "\r\nopen\r\n"}},
        // Broken starts of the closing tag are text.
        {"<TEXTAREA>a</TEXT</TEXTAREA <</TEXTAREA>", {true, "a</TEXT</TEXTAREA <\r\n"}},
        {"<TEXTAREA>a</TEX\r\nb</TEXTAREA>", {true, "a</TEX\r\nb\r\n"}},
        // Entities and markup are not decoded.
        {"<TEXTAREA>&amp;<b></TEXTAREA>", {true, "&amp;<b>\r\n"}},
        // A tag never starts on the second byte of a double-byte character.
        {"\x81<TEXTAREA>x</TEXTAREA>", {false, ""}},
        {"<TEXTAREA>\x82\xA0\x81</TEXTAREA>y</TEXTAREA>", {true, "\x82\xA0\x81</TEXTAREA>y\r\n"}},
        {"<TEXTAREA title=\"\x81>\">z</TEXTAREA>", {true, "z\r\n"}},
        // A lead byte before a line end stands alone; the next line starts afresh.
        {"\x81\n<TEXTAREA>\x81\r\n</TEXTAREA>", {true, "\x81\r\n\r\n"}},
        // No usable element: lower case, no tag at all, or ">" not on the tag's line.
        {"<textarea>x</textarea>", {false, ""}},
        {"<HTML></HTML>", {false, ""}},
        {"<TEXTAREA\r\n>x</TEXTAREA>", {false, ""}},
        {"<TEXTAREA rows=1", {false, ""}},
        {"", {false, ""}},
    };
    for (const auto& [page, want] : cases) {
        for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, page.size() + 1}) {
            SCOPED_TRACE(page + " in chunks of " + std::to_string(chunk));
            EXPECT_EQ(Extract(page, chunk), want);
        }
    }
}

TEST(TextAreaExtractor, HoldsOnlyAFewBytesOfAnEndlessLine) {
    const std::string block(64 * 1024, 'a');
    std::string out;
    CTextAreaExtractor outside;
    for (int i = 0; i < 16; ++i) ASSERT_EQ(outside.Write(block.data(), block.size(), out), CTextAreaExtractor::MORE);
    EXPECT_LE(outside.HeldBytes(), 16u);
    EXPECT_TRUE(out.empty());

    CTextAreaExtractor inside;
    const std::string tag = "<TEXTAREA>";
    inside.Write(tag.data(), tag.size(), out);
    std::size_t total = 0;
    for (int i = 0; i < 16; ++i) {
        out.clear();
        ASSERT_EQ(inside.Write(block.data(), block.size(), out), CTextAreaExtractor::MORE);
        total += out.size();
        // The text goes out with its chunk, not at the end of the line.
        EXPECT_GE(out.size(), block.size() - 16);
    }
    EXPECT_EQ(total, 16 * block.size());
    EXPECT_LE(inside.HeldBytes(), 16u);
}

}  // namespace
