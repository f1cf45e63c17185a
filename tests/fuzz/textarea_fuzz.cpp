// libFuzzer target: a details page cut into chunks of every size the input
// chooses. The description taken out must not depend on where the cuts fall,
// and no more than a tag's length is ever held back.
#include <cstdlib>

#include "core/net/textarea.h"
#include "fuzz/fuzz_file.h"

namespace {

struct Extracted {
    std::string text;
    int result = 0;
    bool finished = false;
    bool operator==(const Extracted&) const = default;
};

// Chunk lengths from a small generator and its seed; seed 0 takes the page whole.
Extracted Extract(std::string_view page, unsigned seed) {
    const bool whole = seed == 0;
    lv::net::CTextAreaExtractor extractor;
    Extracted e;
    e.result = lv::net::CTextAreaExtractor::MORE;
    std::size_t at = 0;
    while (at < page.size() && e.result == lv::net::CTextAreaExtractor::MORE) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t n = whole ? page.size() : 1 + (seed >> 16) % 17;
        const std::string_view chunk = page.substr(at, n);
        e.result = extractor.Write(chunk.data(), chunk.size(), e.text);
        if (extractor.HeldBytes() > 64) std::abort();
        at += chunk.size();
    }
    if (e.result == lv::net::CTextAreaExtractor::MORE) e.finished = extractor.Finish(e.text);
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view page = lv::fuzz::AsText(data + 1, size - 1);
    const Extracted whole = Extract(page, 0);
    // The first byte seeds the cuts, the page follows it.
    if (Extract(page, data[0] + 1u) != whole) std::abort();
    if (Extract(page, data[0] + 257u) != whole) std::abort();
    return 0;
}
